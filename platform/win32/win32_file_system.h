// Files and folders through kernel32 handles.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_
#define ZTRM_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_

#include "platform/file_system.h"

namespace ztrm {

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<OutputFile> OpenOutput(WStringView path, OutputMode mode) override;
  std::unique_ptr<InputFile> OpenInput(WStringView path) override;
  std::vector<WString> ListEntries(WStringView folder, WStringView pattern) override;
  bool SetCurrentDirectory(WStringView path) override;
  bool DirectoryExists(WStringView path) override;
  bool CreateDirectory(WStringView path) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_
