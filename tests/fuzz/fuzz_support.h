// Shared pieces of the fuzz targets (the *_fuzz.cc files beside the code they
// drive): a throw-away system image under the temp folder with the native
// platform over it, and a run context whose run log goes to memory.
//
// A target makes one FuzzImage when it starts and keeps it for the whole
// fuzzing session; each input gets a fresh RunContext (Fresh()), so records
// never pile up across inputs.
#ifndef ZTRM_TESTS_FUZZ_FUZZ_SUPPORT_H_
#define ZTRM_TESTS_FUZZ_FUZZ_SUPPORT_H_

#include <memory>
#include <string>
#include <string_view>

#include "enumeration/run_context.h"
#include "platform/native/native_platform.h"
#include "tests/memory_files.h"

namespace ztrm {

class FuzzImage {
 public:
  // Makes the image folder with `registry` (the text after the header line)
  // as its registry.reg; the platform is made on first use.
  explicit FuzzImage(const std::string& registry);
  ~FuzzImage();

  const std::string& root() const { return root_; }
  // Copies a folder of the source tree's images over the image.
  void CopyFrom(const std::string& source_folder) const;
  // Writes bytes to a path below the image (folders made as needed).
  void Write(const std::string& relative, std::string_view bytes) const;
  void Remove(const std::string& relative) const;

  // The native platform over the image, with `libraries` in place of the
  // native loader when given (call before the first Platform()).
  void UseLibraries(DynamicLibraries* libraries) { libraries_ = libraries; }
  // Likewise the resource driver.
  void UseDriver(ResourceDriver* driver) { driver_ = driver; }
  Platform& platform();
  // A new run context for one input; its run log is kept in LogText().
  RunContext& Fresh();
  const std::string& LogText() const { return log_; }

 private:
  std::string root_;
  DynamicLibraries* libraries_ = nullptr;
  ResourceDriver* driver_ = nullptr;
  std::unique_ptr<NativePlatform> native_;
  std::unique_ptr<Platform> platform_;
  std::string log_;
  std::unique_ptr<RunContext> ctx_;
};

}  // namespace ztrm

#endif  // ZTRM_TESTS_FUZZ_FUZZ_SUPPORT_H_
