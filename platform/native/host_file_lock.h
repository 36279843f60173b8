// Opens of host files that keep the Win32 sharing rules between processes.
//
// A Win32 output here is opened with share mode 0 and an input with
// FILE_SHARE_READ | FILE_SHARE_WRITE, so while one process holds a file as
// output no one else opens it, and while anyone holds it as input no output
// open succeeds. Natively each open takes an open-file-description lock on
// the whole file (F_OFD_SETLK): a write lock for an output, a read lock for an
// input. Such locks belong to the open, not to the process, so they also keep
// two opens of one process apart, and they go with the last close, however
// the holder ends. A file system without these locks gives no refusal.
//
// An output open that is refused leaves the file as it was (Win32 refuses
// before it truncates). A replacing open does not empty the file at once: the
// new bytes are written over the old from the start, and CloseHostFile cuts
// the file at the end of what was written. Emptying first costs the file
// system far more (on ext4 freeing the blocks, then allocating them again:
// about 1.5 ms for the four outputs of a large system, where writing over
// them costs 0.1 ms), and no cooperating opener can tell the difference: the
// lock keeps every other open out until the close. What differs is a process
// that ends before the close: it leaves its new bytes followed by the old
// file's tail, where Windows would leave the new bytes alone.
#ifndef ZTRM_PLATFORM_NATIVE_HOST_FILE_LOCK_H_
#define ZTRM_PLATFORM_NATIVE_HOST_FILE_LOCK_H_

#include <cstdio>
#include <string>

namespace ztrm {

enum class HostOpen {
  kOutputReplace,  // "w+": created, or written over and cut at the close
  kOutputAppend,   // "a": created when missing, writes at the end
  kInput,          // an existing file, read only
};

// The open stream (binary), or null when the file cannot be opened or another
// open holds it against this one.
std::FILE* OpenHostFileShared(const std::string& host_path, HostOpen kind);

// Closes a stream OpenHostFileShared gave for `kind` (the same kind); a
// replaced file is first cut at the end of what was written to it.
void CloseHostFile(std::FILE* file, HostOpen kind);

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_HOST_FILE_LOCK_H_
