#include "platform/native/native_profile_files.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace ztrm {
namespace fs = std::filesystem;
namespace {

bool IsBareFileName(WStringView file) {
  if (file.find_first_of(u"\\/") != WStringView::npos) return false;
  bool has_drive = file.size() >= 2 && file[1] == u':' &&
                   ((file[0] >= u'a' && file[0] <= u'z') || (file[0] >= u'A' && file[0] <= u'Z'));
  return !has_drive;
}

}  // namespace

bool NativeProfileFiles::FileStamp::operator==(const FileStamp& o) const {
  return device == o.device && inode == o.inode && size == o.size &&
         modified_s == o.modified_s && modified_ns == o.modified_ns &&
         changed_s == o.changed_s && changed_ns == o.changed_ns;
}

std::optional<NativeProfileFiles::FileStamp> NativeProfileFiles::StampOf(
    const std::string& host_path, bool& regular, bool& single_name) {
  struct stat st;
  if (::stat(host_path.c_str(), &st) != 0) return std::nullopt;
  regular = S_ISREG(st.st_mode);
  single_name = st.st_nlink == 1;
  FileStamp stamp;
  stamp.device = static_cast<std::uint64_t>(st.st_dev);
  stamp.inode = static_cast<std::uint64_t>(st.st_ino);
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.modified_s = st.st_mtim.tv_sec;
  stamp.modified_ns = st.st_mtim.tv_nsec;
  stamp.changed_s = st.st_ctim.tv_sec;
  stamp.changed_ns = st.st_ctim.tv_nsec;
  return stamp;
}

const ProfileDocument* NativeProfileFiles::Parsed(const std::string& host_path,
                                                  const FileStamp& stamp,
                                                  std::uint64_t watched_at) {
  for (auto it = cache_.begin(); it != cache_.end(); ++it) {
    if (it->host_path != host_path) continue;
    if (it->stamp == stamp) {
      it->watched_at = watched_at;
      cache_.splice(cache_.begin(), cache_, it);
      return &cache_.front().document;
    }
    cache_.erase(it);
    break;
  }
  std::ifstream in(host_path, std::ios::binary);
  if (!in) return nullptr;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Kept under the stamp taken before reading: a change while reading shows
  // as a new stamp at the next call, which then reads again.
  cache_.push_front(CachedFile{host_path, stamp, watched_at, ParseProfile(bytes)});
  if (cache_.size() > kCachedFiles) cache_.pop_back();
  return &cache_.front().document;
}

std::optional<NativeProfileFiles::Opened> NativeProfileFiles::Open(WStringView file,
                                                                   bool for_writing) {
  std::optional<WString> full =
      IsBareFileName(file) ? FullWindowsPath(WString(kWindowsDirectory) + u"\\" + WString(file),
                                             paths_.CurrentDirectory())
                           : paths_.FullPath(file);
  if (!full) return std::nullopt;
  std::uint64_t path_watched_at = 0;
  std::optional<std::string> host = paths_.HostPathOfFull(*full, path_watched_at);
  if (!host) return std::nullopt;
  auto allowed = [&] {
    return for_writing ? open_files_.AllowsProfileWrite(*host)
                       : open_files_.AllowsProfileRead(*host);
  };

  // Nothing in the watched path has changed since the kept parse was checked.
  if (path_watched_at != 0) {
    for (auto it = cache_.begin(); it != cache_.end(); ++it) {
      if (it->host_path != *host || it->watched_at != path_watched_at) continue;
      if (!allowed()) return std::nullopt;
      cache_.splice(cache_.begin(), cache_, it);
      return Opened{*host, &cache_.front().document};
    }
  }

  // Watched before it is looked at, so a change from here on moves the count.
  if (path_watched_at != 0 && !paths_.watch()->WatchFile(*host)) path_watched_at = 0;
  // One stat tells whether the file is there, what it is and which version.
  bool regular = false, single_name = false;
  if (std::optional<FileStamp> stamp = StampOf(*host, regular, single_name)) {
    if (!regular) return std::nullopt;
    if (!allowed()) return std::nullopt;
    const ProfileDocument* document =
        Parsed(*host, *stamp, single_name ? path_watched_at : 0);
    if (!document) return std::nullopt;
    return Opened{*host, document};
  }
  // Missing: fine as long as its folder is there.
  std::error_code ec;
  if (!fs::is_directory(fs::path(*host).parent_path(), ec)) return std::nullopt;
  return Opened{*host, &empty_};
}

WString NativeProfileFiles::ReadString(WStringView file, WStringView section, WStringView key,
                                       WStringView default_value, std::size_t buffer_units) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::optional<Opened> opened = Open(file, false);
  return ReadProfileString(opened ? opened->document : nullptr, section, key, default_value,
                           buffer_units);
}

bool NativeProfileFiles::WriteString(WStringView file, WStringView section, WStringView key,
                                     WStringView value) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::optional<Opened> opened = Open(file, true);
  if (!opened) return false;
  // The file's cached parse (Open left it first in the cache) is changed in
  // place; a missing file starts from a copy of the empty document.
  const bool cached = !cache_.empty() && opened->document == &cache_.front().document;
  ProfileDocument missing;
  ProfileDocument& changed = cached ? cache_.front().document : (missing = empty_);
  if (!SetProfileString(changed, section, key, value)) return true;
  std::string bytes = SerializeProfile(changed);
  bool written;
  {
    std::ofstream out(opened->host_path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    written = static_cast<bool>(out.flush());
  }
  // The parse kept from now on is that of the bytes just written, under the
  // file's new stamp: what the next read would find on the disk (a
  // serialized document does not always parse back to itself: trailing
  // blanks of a value, for one, go).
  if (cached) cache_.pop_front();
  if (HostChangeWatch* watch = paths_.watch()) watch->NoteChange();
  bool regular = false, single_name = false;
  std::optional<FileStamp> stamp = StampOf(opened->host_path, regular, single_name);
  if (written && stamp && regular && static_cast<std::size_t>(stamp->size) == bytes.size()) {
    cache_.push_front(CachedFile{opened->host_path, *stamp, 0, ParseProfile(bytes)});
    if (cache_.size() > kCachedFiles) cache_.pop_back();
  }
  return written;
}

}  // namespace ztrm
