// Windows paths of the replayed machine to host paths under IMAGE/drive_c.
//
// Only drive C exists. A path is first made full the way GetFullPathNameW does
// it (Wine 8.0, measured):
//   - '/' counts as '\'; runs of '\' count as one;
//   - "C:\x" is absolute; "\x" is on the current folder's drive; "C:x" and a
//     plain relative path are relative to the current folder;
//   - "." components go, ".." takes the component before it away (never past
//     "C:\");
//   - one trailing dot of every inner component goes ("C:\a.\b" is
//     "C:\a\b", "C:\a\b..\c" is "C:\a\b.\c"), and all dots and spaces at the
//     very end go ("C:\x.ini. ." is "C:\x.ini"); trailing spaces of an inner
//     component stay ("C:\ini \x" is another folder than "C:\ini\x");
//   - the drive letter keeps the case it was given.
// Nothing maps (and so every open fails) for another drive letter, a UNC path
// ("\\server\share"), a device path ("\\.\", "\\?\"), a reserved device name
// as last component (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$,
// with any extension or trailing spaces: "C:\a\nul.ini" is the NUL device),
// or a component holding < > : " | ? * or a control character.
//
// Then each component is matched against the host folder's entries without
// regard to case: the entry of exactly that spelling when there is one, else
// the first entry (in listing order) whose name or 8.3 short name equals it
// ignoring case. A component with no match keeps the spelling it was given,
// and so do all after it, so new files are created with that spelling.
//
// The current folder starts as "C:\windows\system32", the folder a Windows
// service starts in.
//
// Matching a component means listing its folder, so each answer is kept per
// folder while the folder's inode, modification and change times stay as they
// were (a name added, removed or renamed in it changes them). An answer is
// not kept when the folder's modification time is not older than the clock's
// current tick (a later
// change could then carry the same time) nor when the entry is a symbolic
// link (its target may change without its folder changing).
//
// With a change watch (host_change_watch.h) the folders are watched as they
// are matched, and a kept answer is used without the folder's stat while the
// watch's count has not moved since it was last checked; so is the whole
// host path of a full path all of whose folders are watched.
#ifndef ZTRM_PLATFORM_NATIVE_WINDOWS_PATH_H_
#define ZTRM_PLATFORM_NATIVE_WINDOWS_PATH_H_

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "common/wide_text.h"
#include "platform/native/host_change_watch.h"
#include "platform/native/host_stamp.h"

namespace ztrm {

inline constexpr char16_t kWindowsDirectory[] = u"C:\\windows";
inline constexpr char16_t kInitialCurrentDirectory[] = u"C:\\windows\\system32";

// The full form of `path` against `current_directory` (a full path itself),
// as described above; nullopt when it does not lie on drive C.
std::optional<WString> FullWindowsPath(WStringView path, WStringView current_directory);

// True for CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$ and CONOUT$, with or
// without an extension and trailing spaces, in any case.
bool IsReservedDeviceName(WStringView component);

class WindowsPathMap {
 public:
  // `drive_c_root`: the host folder that stands for "C:\". `watch` may be
  // null: every kept answer is then checked at each use.
  explicit WindowsPathMap(std::string drive_c_root, HostChangeWatch* watch = nullptr);

  HostChangeWatch* watch() const { return watch_; }

  const std::string& drive_c_root() const { return drive_c_root_; }

  // FullWindowsPath against the current folder.
  std::optional<WString> FullPath(WStringView path) const;
  // The host path of a full path as FullPath returns it; nullopt when a
  // component cannot name a file. A trailing '\' stays a trailing '/'.
  std::optional<std::string> HostPathOfFull(WStringView full_path) const;
  // The same; `watched_at` is set to the watch's count the answer holds at
  // while the count stays there (every folder on the way watched, no link on
  // it), else to 0.
  std::optional<std::string> HostPathOfFull(WStringView full_path,
                                            std::uint64_t& watched_at) const;
  // Both steps.
  std::optional<std::string> HostPath(WStringView path) const;

  // SetCurrentDirectoryW: the folder must exist; it is kept as its full form
  // in the spelling given.
  bool SetCurrentDirectory(WStringView path);
  WString CurrentDirectory() const;
  // How many times the current folder has changed: answers about relative
  // paths hold while it stays.
  std::uint64_t DirectoryChanges() const { return directory_changes_.load(); }

 private:
  struct Match {
    std::string host_name;
    bool directory = false;
  };
  struct FolderAnswers {
    HostStamp stamp;
    std::uint64_t watched_at = 0;  // the watch's count the stamp was checked at
    std::unordered_map<WString, Match> matches;  // by the component as given
  };
  static constexpr std::size_t kKeptAnswers = 8192;  // then all are dropped

  // The entry of host folder `folder` that `name` stands for, and whether it
  // is a folder (following links). `count`: the watch's count now (0
  // without a watch); `watched` tells whether the answer holds while it
  // stays so.
  Match MatchInFolder(const std::string& folder, WStringView name, std::uint64_t count,
                      bool& watched) const;

  std::string drive_c_root_;
  HostChangeWatch* const watch_;
  mutable std::mutex answers_mutex_;
  mutable std::unordered_map<std::string, FolderAnswers> answers_;
  mutable std::size_t kept_answers_ = 0;
  // Whole host paths by full path, under the watch only.
  struct HostAnswer {
    std::uint64_t watched_at;
    std::string host;
  };
  mutable std::unordered_map<WString, HostAnswer> host_answers_;
  mutable std::mutex mutex_;
  WString current_directory_;
  std::atomic<std::uint64_t> directory_changes_{0};
  // FullPath's answers against the current folder, by the path as given; a
  // pure function of the two, so dropped only when the folder changes (and
  // all at once when there are too many).
  static constexpr std::size_t kKeptFullPaths = 4096;
  mutable std::unordered_map<WString, std::optional<WString>> full_paths_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_WINDOWS_PATH_H_
