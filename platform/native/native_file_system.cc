#include "platform/native/native_file_system.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "platform/native/file_name_rules.h"
#include "platform/native/host_file_lock.h"
#include "platform/native/name_folding.h"

namespace ztrm {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kMaxEntryNameUnits = 255;

// Writes move the change count only when a kept answer depends on what the
// file holds: when the file itself is watched (a kept parse of it). Whether
// it is can be told at the open: while the file is held as output, nothing
// else of this process can read it, so no new parse of it is kept.
class NativeOutputFile : public OutputFile {
 public:
  NativeOutputFile(std::FILE* file, HostOpen kind, std::string host_path, OpenFileTable& table,
                   HostChangeWatch* watch_of_file)
      : file_(file),
        kind_(kind),
        host_path_(std::move(host_path)),
        table_(table),
        watch_of_file_(watch_of_file) {}
  ~NativeOutputFile() override {
    CloseHostFile(file_, kind_);
    if (watch_of_file_) watch_of_file_->NoteChange();
    table_.ReleaseOutput(host_path_);
  }

  bool Write(const char* data, std::size_t size) override {
    if (size == 0) return true;
    bool ok = std::fwrite(data, 1, size, file_) == size;
    ok = std::fflush(file_) == 0 && ok;
    if (watch_of_file_) watch_of_file_->NoteChange();
    return ok;
  }

 private:
  std::FILE* file_;
  HostOpen kind_;
  std::string host_path_;
  OpenFileTable& table_;
  HostChangeWatch* watch_of_file_;  // null when the file is not watched
};

class NativeInputFile : public InputFile {
 public:
  NativeInputFile(std::FILE* file, std::string host_path, OpenFileTable& table)
      : file_(file), host_path_(std::move(host_path)), table_(table) {}
  ~NativeInputFile() override {
    std::fclose(file_);
    table_.ReleaseInput(host_path_);
  }

  std::size_t Read(char* buffer, std::size_t size) override {
    return std::fread(buffer, 1, size, file_);
  }

 private:
  std::FILE* file_;
  std::string host_path_;
  OpenFileTable& table_;
};

bool ListsEntry(WStringView name, WStringView pattern) {
  if (MatchesFileMask(name, pattern)) return true;
  WString short_name = ShortNameOf(name);
  return !short_name.empty() && MatchesFileMask(short_name, pattern);
}

}  // namespace

std::vector<WString> ListHostFolder(const std::string& host_folder, WStringView pattern,
                                    bool drive_root) {
  std::vector<WString> listed;
  std::error_code ec;
  if (pattern.empty() || !fs::is_directory(host_folder, ec)) return listed;

  bool single = !HasWildcard(pattern);
  if (single && fs::exists(host_folder + "/" + ToUtf8(pattern), ec)) return {WString(pattern)};

  std::vector<WString> dots;
  if (!drive_root) {
    for (const char16_t* dot : {u".", u".."}) {
      if (ListsEntry(dot, pattern)) dots.push_back(dot);
    }
  }
  std::vector<WString> names;
  for (fs::directory_iterator it(host_folder, ec), end; !ec && it != end; it.increment(ec)) {
    WString name = FromUtf8(it->path().filename().string());
    if (name.size() > kMaxEntryNameUnits) continue;
    // A link that leads nowhere is not listed. The listing itself tells
    // which entries are links, so only those cost a stat.
    std::error_code status_error;
    if (it->is_symlink(status_error) && !fs::exists(it->path(), status_error)) continue;
    if (ListsEntry(name, pattern)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(),
            [](const WString& a, const WString& b) { return CompareListingNames(a, b) < 0; });
  listed = std::move(dots);
  listed.insert(listed.end(), names.begin(), names.end());
  if (single && listed.size() > 1) listed.resize(1);
  return listed;
}

std::unique_ptr<OutputFile> NativeFileSystem::OpenOutput(WStringView path, OutputMode mode) {
  std::optional<std::string> host = paths_.HostPath(path);
  if (!host || host->back() == '/') return nullptr;
  std::error_code ec;
  const fs::file_status status = fs::status(*host, ec);
  if (fs::is_directory(status) || !fs::is_directory(fs::path(*host).parent_path(), ec)) {
    return nullptr;
  }
  const bool created = !fs::exists(status);
  if (!open_files_.AcquireOutput(*host)) return nullptr;
  const HostOpen kind =
      mode == OutputMode::kReplace ? HostOpen::kOutputReplace : HostOpen::kOutputAppend;
  std::FILE* file = OpenHostFileShared(*host, kind);
  if (!file) {
    open_files_.ReleaseOutput(*host);
    return nullptr;
  }
  HostChangeWatch* const watch = paths_.watch();
  HostChangeWatch* const watch_of_file = watch && watch->Watches(*host) ? watch : nullptr;
  // A new name in its folder changes that folder's answers.
  if (watch && created) watch->NoteChange();
  return std::make_unique<NativeOutputFile>(file, kind, *host, open_files_, watch_of_file);
}

std::unique_ptr<InputFile> NativeFileSystem::OpenInput(WStringView path) {
  std::optional<std::string> host = paths_.HostPath(path);
  std::error_code ec;
  if (!host || host->back() == '/' || !fs::is_regular_file(*host, ec)) return nullptr;
  if (!open_files_.AcquireInput(*host)) return nullptr;
  std::FILE* file = OpenHostFileShared(*host, HostOpen::kInput);
  if (!file) {
    open_files_.ReleaseInput(*host);
    return nullptr;
  }
  return std::make_unique<NativeInputFile>(file, *host, open_files_);
}

std::vector<WString> NativeFileSystem::ListEntries(WStringView folder, WStringView pattern) {
  std::optional<WString> full = paths_.FullPath(WString(folder) + u"\\" + WString(pattern));
  if (!full) return {};
  std::size_t last = full->rfind(u'\\');
  // The folder part keeps its '\' only when it is the root "C:\".
  WString directory = full->substr(0, last == 2 ? 3 : last);
  WString mask = full->substr(last + 1);
  std::optional<std::string> host = paths_.HostPathOfFull(directory);
  if (!host) return {};
  std::vector<WString> names = ListHostFolder(*host, mask, directory.size() == 3);
  names.erase(std::remove_if(names.begin(), names.end(),
                             [](const WString& name) { return name == u"." || name == u".."; }),
              names.end());
  return names;
}

bool NativeFileSystem::SetCurrentDirectory(WStringView path) {
  return paths_.SetCurrentDirectory(path);
}

bool NativeFileSystem::DirectoryExists(WStringView path) {
  std::optional<std::string> host = paths_.HostPath(path);
  std::error_code ec;
  return host && fs::is_directory(*host, ec);
}

bool NativeFileSystem::CreateDirectory(WStringView path) {
  std::optional<std::string> host = paths_.HostPath(path);
  if (!host) return false;
  std::string target = *host;
  while (target.size() > 1 && target.back() == '/') target.pop_back();
  std::error_code ec;
  if (fs::exists(fs::symlink_status(target, ec)) ||
      !fs::is_directory(fs::path(target).parent_path(), ec)) {
    return false;
  }
  bool created = fs::create_directory(target, ec) && !ec;
  if (HostChangeWatch* watch = paths_.watch(); watch && created) watch->NoteChange();
  return created;
}

}  // namespace ztrm
