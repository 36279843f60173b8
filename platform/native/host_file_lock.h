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
// An output open that is refused leaves the file as it was: it is emptied
// only once the lock is held (Win32 refuses before it truncates).
#ifndef ZTRM_PLATFORM_NATIVE_HOST_FILE_LOCK_H_
#define ZTRM_PLATFORM_NATIVE_HOST_FILE_LOCK_H_

#include <cstdio>
#include <string>

namespace ztrm {

enum class HostOpen {
  kOutputReplace,  // "w+": created or emptied
  kOutputAppend,   // "a": created when missing, writes at the end
  kInput,          // an existing file, read only
};

// The open stream (binary), or null when the file cannot be opened or another
// open holds it against this one.
std::FILE* OpenHostFileShared(const std::string& host_path, HostOpen kind);

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_HOST_FILE_LOCK_H_
