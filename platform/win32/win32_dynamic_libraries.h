// Vendor module libraries through LoadLibraryW and GetProcAddress.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_DYNAMIC_LIBRARIES_H_
#define ZTRM_PLATFORM_WIN32_WIN32_DYNAMIC_LIBRARIES_H_

#include "platform/dynamic_libraries.h"

namespace ztrm {

class Win32DynamicLibraries : public DynamicLibraries {
 public:
  std::unique_ptr<VendorLibrary> Load(WStringView path) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_DYNAMIC_LIBRARIES_H_
