#include "platform/native/open_file_table.h"

namespace ztrm {

bool OpenFileTable::AcquireOutput(const std::string& host_path) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (held_.count(host_path)) return false;
  held_[host_path].output = true;
  return true;
}

bool OpenFileTable::AcquireInput(const std::string& host_path) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = held_.find(host_path);
  if (it != held_.end() && it->second.output) return false;
  ++held_[host_path].inputs;
  return true;
}

void OpenFileTable::ReleaseOutput(const std::string& host_path) {
  std::lock_guard<std::mutex> lock(mutex_);
  held_.erase(host_path);
}

void OpenFileTable::ReleaseInput(const std::string& host_path) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = held_.find(host_path);
  if (it == held_.end()) return;
  if (--it->second.inputs <= 0 && !it->second.output) held_.erase(it);
}

bool OpenFileTable::AllowsProfileRead(const std::string& host_path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = held_.find(host_path);
  return it == held_.end() || !it->second.output;
}

bool OpenFileTable::AllowsProfileWrite(const std::string& host_path) const {
  // Inputs share writing, so only an output stands in the way, as for a read.
  return AllowsProfileRead(host_path);
}

}  // namespace ztrm
