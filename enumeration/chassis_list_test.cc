#include "enumeration/chassis_list.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "chassis/description_discovery.h"
#include "platform/native/native_platform.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

// A description folder with a file for Acme/X1 and one whose vendor and model
// lines are empty, which is what an entry without a section maps onto.
void MakeDescriptions(const TestImage& image) {
  image.WriteRegistry(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]\r\n"
      "\"ChassisDescriptionFilePath\"=\"C:\\\\Desc\"\r\n");
  image.Write("drive_c/Desc/acme.ini",
              "[Chassis]\r\nVendor = \"Acme\"\r\nModel = \"X1\"\r\nPCIBusSegmentList = \"1,2\"\r\n"
              "[PCIBusSegment1]\r\n[PCIBusSegment2]\r\n");
  image.Write("drive_c/Desc/empty.ini",
              "[Chassis]\r\nVendor = \"\"\r\nModel = \"\"\r\nPCIBusSegmentList = \"1\"\r\n"
              "[PCIBusSegment1]\r\n");
}

// A mapped record: chassis ID, description file, first root bus (-1: no segment).
using Listed = std::tuple<int, std::string, int>;

std::vector<Listed> MapList(const std::string& list_file) {
  TestImage image;
  MakeDescriptions(image);
  if (!list_file.empty()) image.Write("drive_c/ZELTRO/PXI/PXIChassisList.ini", list_file);
  NativePlatform native(image.root());
  RunContext ctx(native.platform());
  FindChassisDescriptionFiles(ctx);
  MapListedPXI1Chassis(ctx);
  std::vector<Listed> out;
  for (const stPXISys& s : ctx.vecPXISys) {
    out.emplace_back(s.usChassisID, ToUtf8(s.szDescriptionFile.str()),
                     s.vecPCIBusSegment.empty() ? -1 : s.vecPCIBusSegment[0].usRootBusNumber);
  }
  return out;
}

const std::string kAcme1 =
    "[Chassis1]\r\nChassisID = 5\r\nVendor = \"Acme\"\r\nModel = \"X1\"\r\nPCIRootBusNumber = 7\r\n";
const std::string kAcme3 =
    "[Chassis3]\r\nChassisID = 6\r\nVendor = Acme\r\nModel = X1\r\nPCIRootBusNumber = 9\r\n";

TEST(ChassisListTest, TotalChassisDecidesHowManyEntriesAreMapped) {
  struct Case {
    const char* name;
    std::string file;
    std::vector<Listed> expected;
  } cases[] = {
      {"no file", "", {}},
      {"total missing", "[Information]\r\n" + kAcme1, {}},
      {"total zero", "[Information]\r\nTotalChassis = 0\r\n" + kAcme1, {}},
      {"total negative", "[Information]\r\nTotalChassis = -3\r\n" + kAcme1, {}},
      {"total not a number", "[Information]\r\nTotalChassis = many\r\n" + kAcme1, {}},
      {"one", "[Information]\r\nTotalChassis = 1\r\n" + kAcme1 + kAcme3, {{5, "acme.ini", 7}}},
      // Entry 2 has no section: empty vendor and model, zero numbers.
      {"three with the second missing",
       "[Information]\r\nTotalChassis = 3\r\n" + kAcme1 + kAcme3,
       {{5, "acme.ini", 7}, {0, "empty.ini", 0}, {6, "acme.ini", 9}}},
      {"number with trailing text", "[Information]\r\nTotalChassis = 1 chassis\r\n" + kAcme1,
       {{5, "acme.ini", 7}}},
      {"numbers keep their low 16 bits",
       "[Information]\r\nTotalChassis = 1\r\n[Chassis1]\r\nChassisID = 65537\r\n"
       "Vendor = Acme\r\nModel = X1\r\nPCIRootBusNumber = -1\r\n",
       {{1, "acme.ini", 65535}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MapList(c.file), c.expected) << c.name;
  }
}

TEST(ChassisListTest, AHugeTotalIsBounded) {
  // Every entry beyond the file's sections maps onto the empty description,
  // so the number of records shows how many entries were read.
  std::vector<Listed> got = MapList("[Information]\r\nTotalChassis = 2147483647\r\n");
  EXPECT_EQ(got.size(), static_cast<std::size_t>(kMaxChassisListEntries));
}

}  // namespace
}  // namespace ztrm
