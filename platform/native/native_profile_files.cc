#include "platform/native/native_profile_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "platform/native/profile_text.h"

namespace ztrm {
namespace fs = std::filesystem;
namespace {

bool IsBareFileName(WStringView file) {
  if (file.find_first_of(u"\\/") != WStringView::npos) return false;
  bool has_drive = file.size() >= 2 && file[1] == u':' &&
                   ((file[0] >= u'a' && file[0] <= u'z') || (file[0] >= u'A' && file[0] <= u'Z'));
  return !has_drive;
}

struct OpenedProfile {
  std::string host_path;
  ProfileDocument document;
};

// The profile as the open for reading (or for writing) finds it; nullopt when
// the file cannot be opened.
std::optional<OpenedProfile> Open(const WindowsPathMap& paths, const OpenFileTable& open_files,
                                  WStringView file, bool for_writing) {
  std::optional<WString> full =
      IsBareFileName(file) ? FullWindowsPath(WString(kWindowsDirectory) + u"\\" + WString(file),
                                             paths.CurrentDirectory())
                           : paths.FullPath(file);
  if (!full) return std::nullopt;
  std::optional<std::string> host = paths.HostPathOfFull(*full);
  if (!host) return std::nullopt;

  std::error_code ec;
  fs::file_status status = fs::status(*host, ec);
  if (fs::exists(status)) {
    if (!fs::is_regular_file(status)) return std::nullopt;
    bool allowed =
        for_writing ? open_files.AllowsProfileWrite(*host) : open_files.AllowsProfileRead(*host);
    if (!allowed) return std::nullopt;
    std::ifstream in(*host, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return OpenedProfile{*host, ParseProfile(bytes)};
  }
  // Missing: fine as long as its folder is there.
  if (!fs::is_directory(fs::path(*host).parent_path(), ec)) return std::nullopt;
  return OpenedProfile{*host, ProfileDocument()};
}

}  // namespace

WString NativeProfileFiles::ReadString(WStringView file, WStringView section, WStringView key,
                                       WStringView default_value, std::size_t buffer_units) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::optional<OpenedProfile> opened = Open(paths_, open_files_, file, false);
  return ReadProfileString(opened ? &opened->document : nullptr, section, key, default_value,
                           buffer_units);
}

bool NativeProfileFiles::WriteString(WStringView file, WStringView section, WStringView key,
                                     WStringView value) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::optional<OpenedProfile> opened = Open(paths_, open_files_, file, true);
  if (!opened) return false;
  if (!SetProfileString(opened->document, section, key, value)) return true;
  std::ofstream out(opened->host_path, std::ios::binary | std::ios::trunc);
  std::string bytes = SerializeProfile(opened->document);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace ztrm
