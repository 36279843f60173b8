#include "platform/native/host_file_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

namespace ztrm {
namespace {

// Takes the whole-file lock; true when held, or when the file system has no
// such locks.
bool LockWholeFile(int fd, short type) {
  struct flock lock = {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return true;
  return errno != EAGAIN && errno != EACCES;
}

}  // namespace

std::FILE* OpenHostFileShared(const std::string& host_path, HostOpen kind) {
  int flags = O_CLOEXEC;
  switch (kind) {
    case HostOpen::kOutputReplace: flags |= O_RDWR | O_CREAT; break;
    case HostOpen::kOutputAppend: flags |= O_RDWR | O_CREAT | O_APPEND; break;
    case HostOpen::kInput: flags |= O_RDONLY; break;
  }
  int fd = ::open(host_path.c_str(), flags, 0666);
  if (fd < 0) return nullptr;
  const bool output = kind != HostOpen::kInput;
  if (!LockWholeFile(fd, output ? F_WRLCK : F_RDLCK)) {
    ::close(fd);
    return nullptr;
  }
  const char* mode = kind == HostOpen::kOutputReplace ? "w+b" : kind == HostOpen::kOutputAppend ? "ab" : "rb";
  std::FILE* file = ::fdopen(fd, mode);
  if (!file) {
    ::close(fd);
    return nullptr;
  }
  // Inputs are read in pieces of the reader's own buffer: a stream buffer
  // would only copy them once more (and cost an fstat to size it).
  if (kind == HostOpen::kInput) std::setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

void CloseHostFile(std::FILE* file, HostOpen kind) {
  if (kind == HostOpen::kOutputReplace) {
    // Writes go on from where the last one ended, so the descriptor's offset
    // is the length written, a short write and a failed flush included.
    (void)std::fflush(file);
    const off_t written = ::lseek(::fileno(file), 0, SEEK_CUR);
    if (written >= 0) (void)::ftruncate(::fileno(file), written);
  }
  std::fclose(file);
}

}  // namespace ztrm
