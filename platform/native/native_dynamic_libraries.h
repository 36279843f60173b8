// Vendor module libraries for the native backend: not simulated yet. No
// library loads: Load always answers null, as LoadLibraryW does for a file
// that is not there.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_DYNAMIC_LIBRARIES_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_DYNAMIC_LIBRARIES_H_

#include "platform/dynamic_libraries.h"

namespace ztrm {

class NativeDynamicLibraries : public DynamicLibraries {
 public:
  std::unique_ptr<VendorLibrary> Load(WStringView) override { return nullptr; }
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_DYNAMIC_LIBRARIES_H_
