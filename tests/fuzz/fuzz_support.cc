#include "tests/fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace ztrm {
namespace fs = std::filesystem;

FuzzImage::FuzzImage(const std::string& registry) {
  // A memory-backed folder when there is one: targets write a file per input.
  const char* tmp = std::getenv("TMPDIR");
  std::string base = fs::is_directory("/dev/shm") ? "/dev/shm" : (tmp ? tmp : "/tmp");
  root_ = base + "/ztrm_fuzz_" + std::to_string(::getpid());
  fs::remove_all(root_);
  fs::create_directories(root_ + "/drive_c/windows");
  fs::create_directories(root_ + "/drive_c/ProgramData");
  Write("registry.reg", "Windows Registry Editor Version 5.00\r\n\r\n" + registry);
}

FuzzImage::~FuzzImage() {
  ctx_.reset();
  platform_.reset();
  native_.reset();
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void FuzzImage::Write(const std::string& relative, std::string_view bytes) const {
  fs::path path = root_ + "/" + relative;
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void FuzzImage::CopyFrom(const std::string& source_folder) const {
  fs::copy(source_folder, root_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void FuzzImage::Remove(const std::string& relative) const {
  std::error_code ec;
  fs::remove(root_ + "/" + relative, ec);
}

Platform& FuzzImage::platform() {
  if (!platform_) {
    native_ = std::make_unique<NativePlatform>(root_);
    Platform& n = native_->platform();
    platform_.reset(new Platform{n.registry, n.profiles, n.files,
                                 libraries_ ? *libraries_ : n.libraries,
                                 driver_ ? *driver_ : n.driver, n.shell, n.clock,
                                 n.version, n.host, n.code_page, n.console});
  }
  return *platform_;
}

RunContext& FuzzImage::Fresh() {
  ctx_.reset();
  log_.clear();
  ctx_ = std::make_unique<RunContext>(platform());
  ctx_->LogStream = std::make_unique<TextStream>(std::make_unique<MemoryOutput>(&log_), ctx_->locale);
  return *ctx_;
}

}  // namespace ztrm
