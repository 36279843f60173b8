#include "platform/native/native_registry.h"

#include <gtest/gtest.h>

#include "tests/platform_test_support.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

std::vector<WString> SubkeyNames(RegistryKey& key) {
  std::vector<WString> names;
  std::optional<std::uint32_t> count = key.SubkeyCount();
  for (std::uint32_t i = 0; count && i < *count; ++i) names.push_back(key.SubkeyName(i).value());
  EXPECT_FALSE(key.SubkeyName(count.value_or(0)).has_value());
  return names;
}

// Measured under Wine 8.0: letters folded to lower case, so '_' sorts before
// them; every script folds through the same table as file names (RegCreateKeyW
// and RegEnumKeyExW for all 1163 pairs), and dotless i has no other case.
TEST(NativeRegistryTest, SubkeysEnumerateInWinesOrder) {
  TestImage image;
  std::string body = "Windows Registry Editor Version 5.00\r\n\r\n";
  for (const char* name : {"Zeta", "Beta", "alpha", "_u", "9", "10", "a", "ALPHA", "\u0131", "i",
                           "\u0104b", "\u0105a", "\u0416b", "\u0436a", "\u0436\u0104", "\u0416\u0105"}) {
    body += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kids\\" + std::string(name) + "]\r\n";
  }
  image.Write("registry.reg", Utf16File(FromUtf8(body)));
  NativeRegistry registry(image.Path("registry.reg"));
  std::unique_ptr<RegistryKey> kids = registry.OpenLocalMachineKey(u"software\\KIDS");
  ASSERT_NE(kids, nullptr);
  EXPECT_EQ(SubkeyNames(*kids), (std::vector<WString>{u"10", u"9", u"_u", u"a", u"alpha", u"Beta", u"i", u"Zeta",
                                                      u"\u0105a", u"\u0104b", u"\u0131", u"\u0436a",
                                                      u"\u0416b", u"\u0436\u0104"}));
}

TEST(NativeRegistryTest, ValuesAnswerByType) {
  // UTF-16LE, so that the hex(1) and hex(2) bytes are UTF-16 data as written
  // (in an 8-bit file they would be ANSI text).
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]\r\n"
      "\"Text\"=\"C:\\\\ZELTRO\\\\PXI\"\r\n"
      "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
      "\"Embedded\"=hex(1):61,00,00,00,62,00,00,00\r\n"
      "\"Odd\"=hex(1):41,00,00,00,42\r\n"
      "\"NoTerminator\"=hex(2):41,00\r\n"
      "\"Number\"=dword:0000002a\r\n"
      "\"Short\"=hex(4):2a,00\r\n"
      "\"Binary\"=hex:2a,00,00,00\r\n"
      "@=\"default\"\r\n";
  TestImage image;
  image.Write("registry.reg", Utf16File(FromUtf8(text)));
  NativeRegistry registry(image.Path("registry.reg"));
  std::unique_ptr<RegistryKey> key =
      registry.OpenLocalMachineKey(u"SOFTWARE\\PXISA\\CurrentVersion");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->StringValue(u"text"), WString(u"C:\\ZELTRO\\PXI"));
  EXPECT_EQ(key->StringValue(u"Expand"), WString(u"%A%"));
  EXPECT_EQ(key->StringValue(u"Embedded"), WString(u"a\0b", 3));
  EXPECT_EQ(key->StringValue(u"Odd"), WString(u"A\0B", 3));  // the odd byte a unit of its own
  EXPECT_EQ(key->StringValue(u"NoTerminator"), WString(u"A"));
  EXPECT_EQ(key->StringValue(u""), WString(u"default"));
  EXPECT_FALSE(key->StringValue(u"Number").has_value());
  EXPECT_FALSE(key->StringValue(u"Missing").has_value());
  EXPECT_EQ(key->DwordValue(u"NUMBER"), 42u);
  EXPECT_FALSE(key->DwordValue(u"Short").has_value());
  EXPECT_FALSE(key->DwordValue(u"Binary").has_value());
  EXPECT_FALSE(key->DwordValue(u"Text").has_value());
  EXPECT_EQ(key->SubkeyCount(), 0u);
}

TEST(NativeRegistryTest, PathsFollowRegOpenKeyEx) {
  TestImage image;
  image.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\ZtProbe\\Kids]\r\n");
  NativeRegistry registry(image.Path("registry.reg"));
  EXPECT_NE(registry.OpenLocalMachineKey(u"SOFTWARE\\ZtProbe\\"), nullptr);
  EXPECT_NE(registry.OpenLocalMachineKey(u"SOFTWARE\\\\ZtProbe"), nullptr);
  EXPECT_EQ(registry.OpenLocalMachineKey(u"\\SOFTWARE\\ZtProbe"), nullptr);
  EXPECT_EQ(registry.OpenLocalMachineKey(u"SOFTWARE\\Missing"), nullptr);
  std::unique_ptr<RegistryKey> root = registry.OpenLocalMachineKey(u"");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(SubkeyNames(*root), std::vector<WString>{u"SOFTWARE"});
}

TEST(NativeRegistryTest, MissingFileIsAnEmptyRegistryAndReloadSeesChanges) {
  TestImage image;
  NativeRegistry registry(image.Path("registry.reg"));
  EXPECT_EQ(registry.OpenLocalMachineKey(u"SOFTWARE"), nullptr);
  std::unique_ptr<RegistryKey> root = registry.OpenLocalMachineKey(u"");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->SubkeyCount(), 0u);

  image.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\K]\r\n\"v\"=\"one\"\r\n");
  EXPECT_EQ(registry.OpenLocalMachineKey(u"SOFTWARE\\K"), nullptr);  // not read yet
  registry.Reload();
  std::unique_ptr<RegistryKey> key = registry.OpenLocalMachineKey(u"SOFTWARE\\K");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->StringValue(u"v"), WString(u"one"));
  EXPECT_EQ(root->SubkeyCount(), 1u);  // an open key sees the reload

  image.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n");
  registry.Reload();
  EXPECT_FALSE(key->StringValue(u"v").has_value());  // its key is gone
  EXPECT_FALSE(key->SubkeyCount().has_value());
}

}  // namespace
}  // namespace ztrm
