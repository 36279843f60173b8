#include "platform/native/native_dynamic_libraries.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/native/native_platform.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

TEST(NativeDynamicLibrariesTest, TheNativeBuildStandsBesideTheDll) {
  struct Case {
    const char16_t* path;
    const char16_t* native;
  } cases[] = {
      {u"C:\\ZELTRO\\PXI\\module.dll", u"C:\\ZELTRO\\PXI\\module.so"},
      {u"C:\\a.b\\module", u"C:\\a.b\\module.so"},
      {u"C:\\x\\lib.v2.DLL", u"C:\\x\\lib.v2.so"},
      {u"module.dll", u"module.so"},
      {u"C:/x/m.dll", u"C:/x/m.so"},
  };
  for (const Case& c : cases) EXPECT_EQ(NativeLibraryPath(c.path), WString(c.native));
}

TEST(NativeDynamicLibrariesTest, LoadsOnlyASharedLibraryThatIsThere) {
  TestImage image;
  image.MakeFolder("drive_c/Vendor");
  std::filesystem::copy_file(std::string(ZTRM_SIMMODULE_DIR) + "/ztsimmod_nosmbus.so",
                             image.Path("drive_c/Vendor/sim.so"));
  image.Write("drive_c/Vendor/broken.so", "not a library");
  NativePlatform native(image.root());
  DynamicLibraries& libraries = native.platform().libraries;

  for (const char16_t* path : {u"", u"C:\\Vendor\\absent.dll", u"C:\\Vendor\\broken.dll",
                               u"D:\\Vendor\\sim.dll", u"C:\\Vendor\\"}) {
    EXPECT_EQ(libraries.Load(path), nullptr) << ToUtf8(path);
  }
  // Letter case of the Windows path does not matter, as on Windows.
  std::unique_ptr<VendorLibrary> library = libraries.Load(u"c:\\VENDOR\\SIM.DLL");
  ASSERT_NE(library, nullptr);
  EXPECT_TRUE(library->HasExport("PXISA_Chassis_GetPCIRootBusNumber"));
  EXPECT_FALSE(library->HasExport("PXISA_SystemModule_SMBusOperation"));
  EXPECT_FALSE(library->HasExport("pxisa_chassis_getcount"));  // exact names only
  // Without a configuration file the module knows nothing: a count of 0.
  std::uint32_t count = 5;
  library->CallGetCount("PXISA_Chassis_GetCount", "V", "M", &count);
  EXPECT_EQ(count, 0u);
}

}  // namespace
}  // namespace ztrm
