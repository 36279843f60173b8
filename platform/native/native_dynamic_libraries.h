// Vendor module libraries for the native backend. A library's Windows path
// (as the registry names it) is made full and mapped into the image as every
// other path is (windows_path.h), with the extension of its last component
// replaced by ".so" (one is added when it has none): C:\ZELTRO\PXI\module.dll
// loads drive_c/ZELTRO/PXI/module.so, so one image can hold a DLL and the
// native build of the same library side by side. A path that maps to nothing,
// a missing file and a file that is no loadable shared library all fail as
// LoadLibraryW fails.
//
// Exports are looked up by their exact names with dlsym and called as plain
// functions, which is what stdcall is on x86-64. Every load is a dlopen of
// its own and every free a dlclose.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_DYNAMIC_LIBRARIES_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_DYNAMIC_LIBRARIES_H_

#include "platform/dynamic_libraries.h"
#include "platform/native/windows_path.h"

namespace ztrm {

// The Windows path of the native build that stands for `path`.
WString NativeLibraryPath(WStringView path);

class NativeDynamicLibraries : public DynamicLibraries {
 public:
  explicit NativeDynamicLibraries(const WindowsPathMap& paths) : paths_(paths) {}
  std::unique_ptr<VendorLibrary> Load(WStringView path) override;

 private:
  const WindowsPathMap& paths_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_DYNAMIC_LIBRARIES_H_
