// Files and folders of the image's drive C (paths: windows_path.h).
//
// OpenOutput: kReplace ("w+") creates or empties, kAppend ("a") creates when
// missing and writes at the end; the folder must exist; a folder in the file's
// place fails. Bytes go to the host file as they are, flushed at every Write.
// OpenInput: an existing regular file only. Both follow the sharing rules of
// open_file_table.h: while an output is open, every other open of the same
// file fails; while an input is open, an output open fails. Opens of other
// processes count too (host_file_lock.h), so a reader elsewhere holding
// pxisys.ini keeps a run from opening it, as on Windows.
//
// ListEntries(folder, pattern) answers what FindFirstFileW/FindNextFileW on
// "folder\pattern" give under Wine 8.0 on a Linux folder (measured):
//   - the listing is SORTED, not in the host's directory order: names compared
//     with letters folded to upper case, ties in code unit order ("10.ini",
//     "9.ini", "A.ini", "a.ini", "b.ini", "c.INI", "d.ini", "Zeta.ini",
//     "_x.ini"); "." and ".." come first when the pattern matches them, except
//     in the root "C:\", which has neither;
//   - an entry is listed when its name or its 8.3 short name matches the
//     pattern (file_name_rules.h): "*.ini" lists "x.inix" (short name
//     "X~~~~BB4.INI") but not "y.ini.bak"; folders are listed like files;
//   - a pattern without wildcards gives at most one entry: that exact name when
//     it exists, else the first entry equal to it without regard to case;
//   - the pattern is the last component of the full path, so its trailing dots
//     and spaces go first ("*." lists everything, "b." finds "b");
//   - entries whose name is 256 units or longer, and links that lead nowhere,
//     are left out; a missing folder or an empty pattern gives nothing.
// ListEntries then leaves "." and ".." out, as the Win32 backend does;
// ListHostFolder keeps them, as FindNextFileW gives them.
// SetCurrentDirectory: the folder must exist. CreateDirectory: one folder,
// false when anything exists at that path or its parent is missing.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_FILE_SYSTEM_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_FILE_SYSTEM_H_

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/native/open_file_table.h"
#include "platform/native/windows_path.h"

namespace ztrm {

// The listing rules above over a host folder; `drive_root` leaves "." and ".."
// out.
std::vector<WString> ListHostFolder(const std::string& host_folder, WStringView pattern,
                                    bool drive_root);

class NativeFileSystem : public FileSystem {
 public:
  NativeFileSystem(WindowsPathMap& paths, OpenFileTable& open_files)
      : paths_(paths), open_files_(open_files) {}

  std::unique_ptr<OutputFile> OpenOutput(WStringView path, OutputMode mode) override;
  std::unique_ptr<InputFile> OpenInput(WStringView path) override;
  std::vector<WString> ListEntries(WStringView folder, WStringView pattern) override;
  bool SetCurrentDirectory(WStringView path) override;
  bool DirectoryExists(WStringView path) override;
  bool CreateDirectory(WStringView path) override;

 private:
  WindowsPathMap& paths_;
  OpenFileTable& open_files_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_FILE_SYSTEM_H_
