#include "platform/native/native_profile_files.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
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

const ProfileDocument* NativeProfileFiles::Parsed(const std::string& host_path,
                                                  const HostStamp& stamp,
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
  last_.watched_at = 0;
  const int fd = ::open(host_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  // Read whole, asking for one byte more than the stamp's size so that a
  // file of that size ends with the first read (a file that grew since is
  // read to its end all the same).
  std::string bytes;
  std::size_t chunk = static_cast<std::size_t>(stamp.size) + 1;
  if (chunk < 4096 || chunk > (1u << 20)) chunk = 4096;
  bool read_error = false;
  for (;;) {
    const std::size_t at = bytes.size();
    bytes.resize(at + chunk);
    const ssize_t got = ::read(fd, bytes.data() + at, chunk);
    if (got < 0 && errno == EINTR) {
      bytes.resize(at);
      continue;
    }
    read_error = got < 0;
    bytes.resize(at + (got > 0 ? static_cast<std::size_t>(got) : 0));
    // A short read ends it once the stamp's size is there; one that stops
    // before that is not trusted to be the end.
    if (got <= 0 || (static_cast<std::size_t>(got) < chunk && bytes.size() >= stamp.size)) break;
  }
  ::close(fd);
  if (read_error) return nullptr;
  // Kept under the stamp taken before reading: a change while reading shows
  // as a new stamp at the next call, which then reads again.
  cache_.push_front(CachedFile{host_path, stamp, watched_at, ParseProfile(bytes)});
  if (cache_.size() > kCachedFiles) cache_.pop_back();
  return &cache_.front().document;
}

const ProfileDocument* NativeProfileFiles::Open(WStringView file, bool for_writing) {
  HostChangeWatch* watch = paths_.watch();
  auto allowed = [&](const std::string& host) {
    return for_writing ? open_files_.AllowsProfileWrite(host) : open_files_.AllowsProfileRead(host);
  };
  // The same file as the last call, and nothing watched has changed since.
  if (watch && last_.watched_at != 0 && last_.watched_at == watch->Count() &&
      last_.directory == paths_.DirectoryChanges() && last_.file.size() == file.size() &&
      std::memcmp(last_.file.data(), file.data(), file.size() * sizeof(char16_t)) == 0) {
    return allowed(last_.host_path) ? last_.document : nullptr;
  }
  last_.watched_at = 0;
  last_.file.assign(file.data(), file.size());
  last_.directory = paths_.DirectoryChanges();

  std::optional<WString> full =
      IsBareFileName(file) ? paths_.FullPath(WString(kWindowsDirectory) + u"\\" + WString(file))
                           : paths_.FullPath(file);
  if (!full) return nullptr;
  std::uint64_t path_watched_at = 0;
  std::optional<std::string> host = paths_.HostPathOfFull(*full, path_watched_at);
  if (!host) return nullptr;
  last_.host_path = std::move(*host);
  const std::string& host_path = last_.host_path;

  // Nothing in the watched path has changed since the kept parse was checked.
  if (path_watched_at != 0) {
    for (auto it = cache_.begin(); it != cache_.end(); ++it) {
      if (it->host_path != host_path || it->watched_at != path_watched_at) continue;
      cache_.splice(cache_.begin(), cache_, it);
      last_.document = &cache_.front().document;
      last_.watched_at = path_watched_at;
      return allowed(host_path) ? last_.document : nullptr;
    }
  }

  // Watched before it is looked at, so a change from here on moves the count.
  if (path_watched_at != 0 && !watch->WatchFile(host_path)) path_watched_at = 0;
  // One stat tells whether the file is there, what it is and which version.
  if (std::optional<HostStamp> stamp = StampHostPath(host_path, true)) {
    if (!stamp->IsRegular()) return nullptr;
    if (!allowed(host_path)) return nullptr;
    const std::uint64_t watched_at = stamp->links == 1 ? path_watched_at : 0;
    const ProfileDocument* document = Parsed(host_path, *stamp, watched_at);
    if (!document) return nullptr;
    last_.document = document;
    last_.watched_at = watched_at;
    return document;
  }
  // Missing: fine as long as its folder is there.
  std::error_code ec;
  if (!fs::is_directory(fs::path(host_path).parent_path(), ec)) return nullptr;
  return &empty_;
}

WString NativeProfileFiles::ReadString(WStringView file, WStringView section, WStringView key,
                                       WStringView default_value, std::size_t buffer_units) {
  std::lock_guard<std::mutex> lock(mutex_);
  return ReadProfileString(Open(file, false), section, key, default_value, buffer_units);
}

bool NativeProfileFiles::WriteString(WStringView file, WStringView section, WStringView key,
                                     WStringView value) {
  std::lock_guard<std::mutex> lock(mutex_);
  last_.watched_at = 0;  // a write opens afresh, and changes the cache
  const ProfileDocument* document = Open(file, true);
  if (!document) return false;
  const std::string host_path = last_.host_path;
  last_.watched_at = 0;
  // The file's cached parse (Open left it first in the cache) is changed in
  // place; a missing file starts from a copy of the empty document.
  const bool cached = !cache_.empty() && document == &cache_.front().document;
  ProfileDocument missing;
  ProfileDocument& changed = cached ? cache_.front().document : (missing = empty_);
  if (!SetProfileString(changed, section, key, value)) return true;
  std::string bytes = SerializeProfile(changed);
  bool written;
  {
    std::ofstream out(host_path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    written = static_cast<bool>(out.flush());
  }
  // The parse kept from now on is that of the bytes just written, under the
  // file's new stamp: what the next read would find on the disk (a
  // serialized document does not always parse back to itself: trailing
  // blanks of a value, for one, go).
  if (cached) cache_.pop_front();
  if (HostChangeWatch* watch = paths_.watch()) watch->NoteChange();
  std::optional<HostStamp> stamp = StampHostPath(host_path, true);
  if (written && stamp && stamp->IsRegular() &&
      static_cast<std::size_t>(stamp->size) == bytes.size()) {
    cache_.push_front(CachedFile{host_path, *stamp, 0, ParseProfile(bytes)});
    if (cache_.size() > kCachedFiles) cache_.pop_back();
  }
  return written;
}

}  // namespace ztrm
