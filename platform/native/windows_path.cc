#include "platform/native/windows_path.h"

#include <sys/stat.h>
#include <time.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/native/file_name_rules.h"
#include "platform/native/name_folding.h"

namespace ztrm {
namespace fs = std::filesystem;
namespace {

bool IsDriveLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// Removes "." and ".." components, one trailing dot of inner components and
// the dots and spaces at the end; `mark` is where the part after the root
// "C:\" starts, which nothing may climb above.
void CollapsePath(WString& path, std::size_t mark) {
  WString squeezed;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == u'\\' && i >= mark && !squeezed.empty() && squeezed.back() == u'\\') continue;
    squeezed.push_back(path[i]);
  }
  path.swap(squeezed);

  std::size_t p = mark;
  while (p < path.size()) {
    if (path[p] == u'.') {
      char16_t next = p + 1 < path.size() ? path[p + 1] : u'\0';
      if (next == u'\\') {  // ".\"
        path.erase(p, 2);
        continue;
      }
      if (next == u'\0') {  // final "."
        if (p > mark) --p;
        path.erase(p);
        continue;
      }
      if (next == u'.') {
        char16_t after = p + 2 < path.size() ? path[p + 2] : u'\0';
        if (after == u'\\' || after == u'\0') {  // "..\" or final ".."
          std::size_t start = p;
          if (start > mark) {
            --start;  // the '\' before ".."
            while (start > mark && path[start - 1] != u'\\') --start;
          }
          if (after == u'\\') {
            path.erase(start, p + 3 - start);
            p = start;
          } else {
            if (start > mark) --start;
            path.erase(start);
            p = start;
          }
          continue;
        }
      }
    }
    while (p < path.size() && path[p] != u'\\') ++p;
    if (p < path.size()) {
      if (p > mark && path[p - 1] == u'.') {
        path.erase(p - 1, 1);
      } else {
        ++p;
      }
    }
  }
  while (path.size() > mark && (path.back() == u' ' || path.back() == u'.')) path.pop_back();
}

bool IsInvalidNameChar(char16_t c) {
  return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' ||
         c == u'*';
}

// The host name of the entry of `folder` that `name` stands for, with its
// stamp (links not followed); the given spelling and no stamp when there is
// none.
std::string MatchComponent(const std::string& folder, WStringView name,
                           std::optional<HostStamp>& entry_stamp) {
  std::string given = ToUtf8(name);
  entry_stamp = StampHostPath(folder + "/" + given, false);
  if (entry_stamp) return given;
  std::error_code ec;
  std::string best;
  WString best_name;
  bool found = false;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string raw = it->path().filename().string();
    WString entry = FromUtf8(raw);
    if (!NamesEqualIgnoreCase(entry, name) && !NamesEqualIgnoreCase(ShortNameOf(entry), name)) {
      continue;
    }
    if (!found || CompareListingNames(entry, best_name) < 0) {
      best = raw;
      best_name = entry;
      found = true;
    }
  }
  if (!found) return given;
  entry_stamp = StampHostPath(folder + "/" + best, false);
  return best;
}

}  // namespace

bool IsReservedDeviceName(WStringView component) {
  std::size_t end = component.find_first_of(u".:");
  WStringView base = component.substr(0, end);
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  WString upper;
  for (char16_t c : base) upper.push_back(NameFoldUpper(c));
  if (upper == u"CON" || upper == u"PRN" || upper == u"AUX" || upper == u"NUL" ||
      upper == u"CONIN$" || upper == u"CONOUT$") {
    return true;
  }
  if (upper.size() == 4 && (upper.compare(0, 3, u"COM") == 0 || upper.compare(0, 3, u"LPT") == 0) &&
      upper[3] >= u'1' && upper[3] <= u'9') {
    return true;
  }
  return false;
}

std::optional<WString> FullWindowsPath(WStringView path_in, WStringView current_directory) {
  if (path_in.empty()) return std::nullopt;
  WString path(path_in);
  for (char16_t& c : path) {
    if (c == u'/') c = u'\\';
  }
  if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') return std::nullopt;  // UNC, device

  WString full;
  if (path.size() >= 2 && path[1] == u':' && IsDriveLetter(path[0])) {
    if (NameFoldUpper(path[0]) != u'C') return std::nullopt;
    if (path.size() >= 3 && path[2] == u'\\') {
      full = path;
    } else {
      full = WString(current_directory) + u"\\" + path.substr(2);
    }
  } else if (path[0] == u'\\') {
    full = WString(current_directory.substr(0, 2)) + path;
  } else {
    full = WString(current_directory) + u"\\" + path;
  }
  CollapsePath(full, 3);

  std::size_t last = full.rfind(u'\\');
  WStringView last_component = WStringView(full).substr(last == WString::npos ? 0 : last + 1);
  if (IsReservedDeviceName(last_component)) return std::nullopt;
  return full;
}

WindowsPathMap::WindowsPathMap(std::string drive_c_root, HostChangeWatch* watch)
    : drive_c_root_(std::move(drive_c_root)),
      watch_(watch),
      current_directory_(kInitialCurrentDirectory) {}

std::optional<WString> WindowsPathMap::FullPath(WStringView path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  WString key(path);
  auto kept = full_paths_.find(key);
  if (kept != full_paths_.end()) return kept->second;
  std::optional<WString> full = FullWindowsPath(path, current_directory_);
  if (full_paths_.size() >= kKeptFullPaths) full_paths_.clear();
  full_paths_.emplace(std::move(key), full);
  return full;
}

std::optional<std::string> WindowsPathMap::HostPathOfFull(WStringView full_path) const {
  std::uint64_t watched_at = 0;
  return HostPathOfFull(full_path, watched_at);
}

std::optional<std::string> WindowsPathMap::HostPathOfFull(WStringView full_path,
                                                          std::uint64_t& watched_at) const {
  watched_at = 0;
  if (full_path.size() < 3 || NameFoldUpper(full_path[0]) != u'C' || full_path[1] != u':' ||
      full_path[2] != u'\\') {
    return std::nullopt;
  }
  const std::uint64_t count = watch_ ? watch_->Count() : 0;
  if (watch_) {
    std::lock_guard<std::mutex> lock(answers_mutex_);
    auto kept = host_answers_.find(WString(full_path));
    if (kept != host_answers_.end() && kept->second.watched_at == count) {
      watched_at = count;
      return kept->second.host;
    }
  }
  std::vector<WStringView> components;
  WStringView rest = full_path.substr(3);
  bool trailing_separator = false;
  while (!rest.empty()) {
    std::size_t sep = rest.find(u'\\');
    WStringView part = rest.substr(0, sep);
    if (!part.empty()) components.push_back(part);
    if (sep == WStringView::npos) break;
    rest.remove_prefix(sep + 1);
    if (rest.empty()) trailing_separator = true;
  }

  std::string host = drive_c_root_;
  bool matching = true;
  bool all_watched = watch_ != nullptr;
  for (WStringView part : components) {
    if (part == u"." || part == u"..") return std::nullopt;  // never leave the image
    for (char16_t c : part) {
      if (IsInvalidNameChar(c)) return std::nullopt;
    }
    if (matching) {
      bool watched = false;
      Match match = MatchInFolder(host, part, count, watched);
      all_watched = all_watched && watched;
      matching = match.directory;
      host += '/';
      host += match.host_name;
    } else {
      host += '/';
      host += ToUtf8(part);
    }
  }
  if (trailing_separator) host += "/";
  if (all_watched) {
    std::lock_guard<std::mutex> lock(answers_mutex_);
    if (host_answers_.size() >= kKeptFullPaths) host_answers_.clear();
    host_answers_[WString(full_path)] = HostAnswer{count, host};
    watched_at = count;
  }
  return host;
}

WindowsPathMap::Match WindowsPathMap::MatchInFolder(const std::string& folder, WStringView name,
                                                    std::uint64_t count, bool& watched) const {
  watched = false;
  // The folder's stamp as last checked, while nothing watched has changed
  // since: its names and attributes are as they were then.
  std::optional<HostStamp> unchanged_stamp;
  if (watch_) {
    std::lock_guard<std::mutex> lock(answers_mutex_);
    auto kept = answers_.find(folder);
    if (kept != answers_.end() && kept->second.watched_at == count) {
      auto match = kept->second.matches.find(WString(name));
      if (match != kept->second.matches.end()) {
        watched = true;
        return match->second;
      }
      unchanged_stamp = kept->second.stamp;
    }
  }
  // Watched before it is looked at: a change from here on moves the count.
  const bool folder_watched = watch_ && watch_->Watch(folder);
  // The clock the file system stamps with, read before the folder: a change
  // after this read carries at least this time.
  timespec now{};
  clock_gettime(CLOCK_REALTIME_COARSE, &now);
  const std::optional<HostStamp> folder_stamp =
      unchanged_stamp ? unchanged_stamp : StampHostPath(folder, true);
  const bool stamped = folder_stamp && folder_stamp->IsDirectory();
  const HostStamp stamp = stamped ? *folder_stamp : HostStamp();
  if (stamped) {
    std::lock_guard<std::mutex> lock(answers_mutex_);
    auto kept = answers_.find(folder);
    if (kept != answers_.end() && kept->second.stamp == stamp) {
      kept->second.watched_at = folder_watched ? count : 0;
      auto match = kept->second.matches.find(WString(name));
      if (match != kept->second.matches.end()) {
        watched = folder_watched;
        return match->second;
      }
    }
  }

  Match match;
  std::optional<HostStamp> entry_stamp;
  match.host_name = MatchComponent(folder, name, entry_stamp);
  const bool link = entry_stamp && entry_stamp->IsLink();
  if (link) {
    std::optional<HostStamp> target = StampHostPath(folder + "/" + match.host_name, true);
    match.directory = target && target->IsDirectory();
  } else {
    match.directory = entry_stamp && entry_stamp->IsDirectory();
  }

  auto before_now = [&](std::int64_t s, std::int64_t ns) {
    return s < now.tv_sec || (s == now.tv_sec && ns < now.tv_nsec);
  };
  // An entry added, removed or renamed sets the folder's modification time
  // to the clock; only an older time tells that no such change can share it.
  if (stamped && !link && before_now(stamp.modified_s, stamp.modified_ns)) {
    std::lock_guard<std::mutex> lock(answers_mutex_);
    if (kept_answers_ >= kKeptAnswers) {
      answers_.clear();
      kept_answers_ = 0;
    }
    FolderAnswers& answers = answers_[folder];
    if (!(answers.stamp == stamp)) {
      kept_answers_ -= answers.matches.size();
      answers.matches.clear();
      answers.stamp = stamp;
    }
    answers.watched_at = folder_watched ? count : 0;
    if (answers.matches.emplace(WString(name), match).second) ++kept_answers_;
    watched = folder_watched;
  }
  return match;
}

std::optional<std::string> WindowsPathMap::HostPath(WStringView path) const {
  std::optional<WString> full = FullPath(path);
  if (!full) return std::nullopt;
  return HostPathOfFull(*full);
}

bool WindowsPathMap::SetCurrentDirectory(WStringView path) {
  std::optional<WString> full = FullPath(path);
  if (!full) return false;
  std::optional<std::string> host = HostPathOfFull(*full);
  std::error_code ec;
  if (!host || !fs::is_directory(*host, ec)) return false;
  // Kept without a trailing '\', except the root "C:\" itself.
  while (full->size() > 3 && full->back() == u'\\') full->pop_back();
  std::lock_guard<std::mutex> lock(mutex_);
  if (current_directory_ != *full) {
    full_paths_.clear();
    ++directory_changes_;
  }
  current_directory_ = *full;
  return true;
}

WString WindowsPathMap::CurrentDirectory() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_directory_;
}

}  // namespace ztrm
