// The files this process holds open, by host path, with the sharing rules of
// the Win32 opens they stand for. It is how the product sees a run in progress
// (the output files are held exclusively) within one process.
//
//   opener              | access       | shares       | refused while held by
//   --------------------+--------------+--------------+--------------------------
//   output (w+ / a)     | write        | nothing      | anyone
//   input               | read         | read, write  | an output
//   profile read        | read         | all          | an output
//   profile write       | read, write  | all          | an output
//
// (The Win32 backend opens outputs with share mode 0 and inputs with
// FILE_SHARE_READ | FILE_SHARE_WRITE; the profile functions open with every
// share flag.)
//
// Profile opens are momentary: they are checked, never held.
#ifndef ZTRM_PLATFORM_NATIVE_OPEN_FILE_TABLE_H_
#define ZTRM_PLATFORM_NATIVE_OPEN_FILE_TABLE_H_

#include <map>
#include <mutex>
#include <string>

namespace ztrm {

class OpenFileTable {
 public:
  // Both return false, holding nothing, when the sharing rules refuse.
  bool AcquireOutput(const std::string& host_path);
  bool AcquireInput(const std::string& host_path);
  void ReleaseOutput(const std::string& host_path);
  void ReleaseInput(const std::string& host_path);

  bool AllowsProfileRead(const std::string& host_path) const;
  bool AllowsProfileWrite(const std::string& host_path) const;

 private:
  struct Holders {
    bool output = false;
    int inputs = 0;
  };
  mutable std::mutex mutex_;
  std::map<std::string, Holders> held_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_OPEN_FILE_TABLE_H_
