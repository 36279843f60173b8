#include "platform/native/host_change_watch.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

namespace ztrm {
namespace {

// Counted by the SIGIO handler and by NoteChange. A lock-free atomic is
// async-signal-safe.
std::atomic<std::uint64_t> g_changes{1};
static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

void CountChange(int) { g_changes.fetch_add(1, std::memory_order_acq_rel); }

// A folder's watch is for its names: what its entries hold is watched per
// file. So the run log, written line by line into a watched folder, moves
// the count only when a kept answer depends on it.
constexpr std::uint32_t kFolderEvents = IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO | IN_CREATE |
                                        IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kFileEvents =
    IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF;

}  // namespace

HostChangeWatch* HostChangeWatch::Create() {
  struct sigaction current {};
  if (sigaction(SIGIO, nullptr, &current) != 0) return nullptr;
  if ((current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL) return nullptr;
  int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return nullptr;
  struct sigaction counting {};
  counting.sa_handler = CountChange;
  sigemptyset(&counting.sa_mask);
  counting.sa_flags = SA_RESTART;
  if (sigaction(SIGIO, &counting, nullptr) != 0) {
    close(fd);
    return nullptr;
  }
  int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETOWN, getpid()) != 0 ||
      fcntl(fd, F_SETFL, flags | O_ASYNC | O_NONBLOCK) != 0) {
    // The handler stays: it only counts, and nothing else wanted SIGIO.
    close(fd);
    return nullptr;
  }
  return new HostChangeWatch(fd);
}

HostChangeWatch* HostChangeWatch::Process() {
  // Made once and kept for the life of the process: threads of any platform
  // may use it until the very end.
  static HostChangeWatch* const watch = Create();
  return watch;
}

std::uint64_t HostChangeWatch::Count() {
  std::uint64_t count = g_changes.load(std::memory_order_acquire);
  if (count == read_at_.load(std::memory_order_acquire)) return count;
  std::lock_guard<std::mutex> lock(mutex_);
  return CatchUp();
}

std::uint64_t HostChangeWatch::CatchUp() {
  // While the count stands where the queue was last emptied, nothing has
  // been reported since: a report into an empty queue always signals.
  const std::uint64_t count = g_changes.load(std::memory_order_acquire);
  if (count == read_at_.load(std::memory_order_acquire)) return count;
  ReadReports();
  // Reports that arrive from here on signal again, so `count` stands for
  // everything read.
  read_at_.store(count, std::memory_order_release);
  return count;
}

void HostChangeWatch::ReadReports() {
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (!(event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF))) continue;
      // It went, or now lies elsewhere: its path is no longer watched, and
      // what is made there later gets a watch of its own.
      auto paths = paths_.find(event->wd);
      if (paths == paths_.end()) continue;
      for (const std::string& path : paths->second) watches_.erase(path);
      paths_.erase(paths);
      if (!(event->mask & IN_IGNORED)) inotify_rm_watch(fd_, event->wd);
    }
  }
}

bool HostChangeWatch::Watch(const std::string& folder) { return Add(folder, kFolderEvents); }

bool HostChangeWatch::WatchFile(const std::string& file) { return Add(file, kFileEvents); }

bool HostChangeWatch::Add(const std::string& path, std::uint32_t events) {
  std::lock_guard<std::mutex> lock(mutex_);
  // Reports of what is already gone must not take the new watch away.
  CatchUp();
  if (watches_.count(path)) return true;
  int wd = inotify_add_watch(fd_, path.c_str(), events);
  if (wd < 0) return false;
  watches_.emplace(path, wd);
  paths_[wd].push_back(path);
  return true;
}

bool HostChangeWatch::Watches(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  CatchUp();
  return watches_.count(path) != 0;
}

void HostChangeWatch::NoteChange() { g_changes.fetch_add(1, std::memory_order_acq_rel); }

std::size_t HostChangeWatch::Watched() {
  std::lock_guard<std::mutex> lock(mutex_);
  CatchUp();
  return watches_.size();
}

}  // namespace ztrm
