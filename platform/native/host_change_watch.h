// Tells whether anything in the watched host folders may have changed since a
// moment, without asking the file system at every call.
//
// Kept answers about the image (a folder's listing, a parsed profile file) are
// otherwise checked against the file system at every use, a stat per folder and
// per file; on a virtual machine a stat costs more than the answer it guards.
// Instead, the folders those answers come from are watched with inotify. The
// kernel queues its report while the changing process is still inside the
// call that made the change, and signals this process (SIGIO); the handler
// only counts. An answer checked at count N still holds while Count() is N
// and its folders are watched. When the count has moved, Count() first reads
// the pending reports (the kernel signals only for a report that does not
// merge into one still pending, so the queue is emptied before anything is
// checked again), and the answer is then checked against the file system
// once, as without the watch.
//
// Changes made through this process's own platform count at once
// (NoteChange), whichever thread makes them. The signal of any other change
// goes to one thread of the process: a change made by a thread of this process
// outside the platform (a test writing a file itself) counts before that
// thread's next instruction when it is the main thread; a change by another
// process counts within the signal's delivery, microseconds, the same order
// as two processes racing for the file.
//
// Never reported, and so only seen once something else moves the count:
// changes to a network file system made on another machine, and writes
// through a shared memory map. A system image is a local folder.
//
// Process() is null, and every answer is checked each time, when inotify
// cannot be set up or SIGIO already has a handler of someone else. A folder
// whose watch cannot be added (the user's watch limit) is not watched: answers
// from it are checked each time.
#ifndef ZTRM_PLATFORM_NATIVE_HOST_CHANGE_WATCH_H_
#define ZTRM_PLATFORM_NATIVE_HOST_CHANGE_WATCH_H_

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace ztrm {

class HostChangeWatch {
 public:
  // The process's watch, made at the first call; null when it cannot be.
  static HostChangeWatch* Process();

  // The change count now, after reading the reports pending when it moved.
  std::uint64_t Count();
  // Starts watching host folder `folder`: names added, removed or renamed in
  // it, the attributes of its entries, and the folder itself going (not what
  // its files hold: WatchFile watches that). True when it is watched (also
  // when it already was).
  bool Watch(const std::string& folder);
  // Starts watching host file `file` itself: its contents and times whatever
  // name they are changed through, a name added to it, and its going.
  bool WatchFile(const std::string& file);
  // Whether host path `path` (a folder or a file) is watched now.
  bool Watches(const std::string& path);
  // A change made through this process's platform.
  void NoteChange();
  // How many folders and files are watched now.
  std::size_t Watched();

 private:
  explicit HostChangeWatch(int inotify_fd) : fd_(inotify_fd) {}
  static HostChangeWatch* Create();
  // Reads every pending report; a folder gone or moved is no longer watched
  // under its path. Called with mutex_ held.
  void ReadReports();
  // ReadReports when the count has moved since the queue was last emptied;
  // the count the reports read stand for. Called with mutex_ held.
  std::uint64_t CatchUp();
  bool Add(const std::string& path, std::uint32_t events);

  const int fd_;
  std::atomic<std::uint64_t> read_at_{0};  // the count the queue was emptied at
  std::mutex mutex_;
  std::map<std::string, int> watches_;            // by host path
  std::map<int, std::vector<std::string>> paths_;  // by watch descriptor
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_HOST_CHANGE_WATCH_H_
