#include "platform/native/native_platform.h"

namespace ztrm {

NativePlatform::NativePlatform(std::string image_root)
    : image_root_(std::move(image_root)),
      paths_(image_root_ + "/drive_c", HostChangeWatch::Process()),
      registry_(image_root_ + "/registry.reg"),
      profiles_(paths_, open_files_),
      files_(paths_, open_files_),
      libraries_(paths_),
      driver_(registry_),
      shell_(image_root_ + "/launches.log"),
      host_(registry_),
      platform_{registry_, profiles_, files_, libraries_, driver_, shell_,
                clock_,    version_,  host_,  code_page_, console_} {}

std::string NativePlatform::HostPath(WStringView windows_path) const {
  return paths_.HostPath(windows_path).value_or(std::string());
}

}  // namespace ztrm
