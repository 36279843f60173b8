#include "simmodule/sim_config.h"

#include <gtest/gtest.h>

namespace ztsim {
namespace {

TEST(SimConfigTest, SectionsKeysAndEepromForms) {
  const SimConfig config = ParseSimConfig(
      "; comment\r\n"
      "Vendor = before any section\r\n"
      "[SystemModule]\r\n"
      "Vendor = Acme Corp\r\n"
      "model = \" S 1 \"\r\n"
      "UniqueName = u1\r\n"
      "AddressInfo = a1\r\n"
      "Eeprom = 01 02 ff, 10\r\n"
      "EepromByte.300 = 5\r\n"
      "Info.100 = 4294967295\r\n"
      "Info.0x65 = 0x10\r\n"
      "# another comment\n"
      "[Unknown]\n"
      "Vendor = ignored\n"
      "[PeripheralModule]\n"
      "Vendor = Acme Corp\n"
      "Model = P\n"
      "Info.102 = nonsense\n"
      "[Chassis]\n"
      "Vendor = Acme Corp\n"
      "Model = C\n"
      "RootBus.2 = 9\n"
      "[chassis]\n"
      "Vendor = Acme Corp\n"
      "Model = C\n");
  ASSERT_EQ(config.items.size(), 4u);
  const SimItem& s = config.items[0];
  EXPECT_EQ(s.kind, Kind::kSystemModule);
  EXPECT_EQ(s.vendor, "Acme Corp");
  EXPECT_EQ(s.model, " S 1 ");
  EXPECT_EQ(s.eeprom[0], 0x01);
  EXPECT_EQ(s.eeprom[2], 0xFF);
  EXPECT_EQ(s.eeprom[3], 0x10);
  EXPECT_EQ(s.info.at(100), 0xFFFFFFFFu);
  EXPECT_EQ(s.info.at(101), 0x10u);
  EXPECT_EQ(config.items[1].info.at(102), 0u);
  EXPECT_EQ(config.items[2].root_bus.at(2), 9u);

  EXPECT_EQ(config.Count(Kind::kChassis, "Acme Corp", "C"), 2u);
  EXPECT_EQ(config.Count(Kind::kChassis, "acme corp", "C"), 0u);
  EXPECT_EQ(config.Find(Kind::kChassis, "Acme Corp", "C", 2), &config.items[3]);
  EXPECT_EQ(config.Find(Kind::kChassis, "Acme Corp", "C", 3), nullptr);
  EXPECT_EQ(config.FindModule(Kind::kSystemModule, "u1", "a1"), &config.items[0]);
  EXPECT_EQ(config.FindModule(Kind::kPeripheralModule, "u1", "a1"), nullptr);
}

// The first ReportedCount and the first CountDelayMs set for a kind, vendor
// and model count; the delay changes no answer.
TEST(SimConfigTest, ReportedCountAndCountDelayAreTheFirstSet) {
  const SimConfig config = ParseSimConfig(
      "[SystemModule]\nVendor = V\nModel = M\n"
      "[SystemModule]\nVendor = V\nModel = M\nCountDelayMs = 2500\n"
      "[SystemModule]\nVendor = V\nModel = M\nReportedCount = 0xFFFFFFFF\nUnterminatedNames = 1\nCountDelayMs = 10\n"
      "[SystemModule]\nVendor = V\nModel = M\nReportedCount = 7\n"
      "[PeripheralModule]\nVendor = V\nModel = M\n");
  EXPECT_EQ(config.Count(Kind::kSystemModule, "V", "M"), 0xFFFFFFFFu);
  EXPECT_EQ(config.Count(Kind::kPeripheralModule, "V", "M"), 1u);
  EXPECT_EQ(config.Count(Kind::kSystemModule, "V", "N"), 0u);
  EXPECT_FALSE(config.items[0].unterminated_names);
  EXPECT_TRUE(config.items[2].unterminated_names);
  EXPECT_EQ(config.CountDelayMs(Kind::kSystemModule, "V", "M"), 2500u);
  EXPECT_EQ(config.CountDelayMs(Kind::kPeripheralModule, "V", "M"), 0u);
  EXPECT_EQ(config.CountDelayMs(Kind::kSystemModule, "V", "N"), 0u);
  // Without a ReportedCount, the sections count.
  EXPECT_EQ(ParseSimConfig("[SystemModule]\nVendor = V\nModel = M\nCountDelayMs = 5\n[SystemModule]\nVendor = V\n"
                           "Model = M\n").Count(Kind::kSystemModule, "V", "M"),
            2u);
}

}  // namespace
}  // namespace ztsim
