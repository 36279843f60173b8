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

}  // namespace
}  // namespace ztrm
