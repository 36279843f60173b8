#include "tools/view/system_view_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "tools/view/system_view_html.h"
#include "tools/view/system_view_model.h"

namespace ztrm {
namespace {

std::optional<std::string> ReadBounded(const std::string& label, const std::string& path,
                                       std::vector<std::string>& unreadable) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    std::string why = fd < 0 ? std::strerror(errno) : "not a regular file";
    if (fd >= 0) ::close(fd);
    unreadable.push_back(label + ": cannot read " + path + " (" + why + ")");
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  while (bytes.size() <= kMaxViewFileBytes) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (bytes.size() > kMaxViewFileBytes + 1) bytes.resize(kMaxViewFileBytes + 1);
  return bytes;
}

}  // namespace

ViewPageResult WriteSystemViewPage(const std::string& pxisys_path, const std::string& pxiesys_path,
                                   const std::string& log_path, const std::string& out_path,
                                   const ViewTrail* trail) {
  ViewPageResult result;
  ViewInputs inputs;
  inputs.trail = trail;
  inputs.pxisys = ReadBounded("pxisys.ini", pxisys_path, inputs.unreadable);
  inputs.pxiesys = ReadBounded("pxiesys.ini", pxiesys_path, inputs.unreadable);
  if (!log_path.empty()) inputs.run_log = ReadBounded("pxirms.log", log_path, inputs.unreadable);
  SystemView view = ReadSystemView(inputs);
  std::string page = RenderSystemViewHtml(view);
  result.skipped = view.skipped;
  if (view.skipped_not_kept > 0) {
    result.skipped.push_back(std::to_string(view.skipped_not_kept) + " more notes");
  }

  std::FILE* out = std::fopen(out_path.c_str(), "wb");
  if (!out) {
    result.error = "cannot write " + out_path + " (" + std::strerror(errno) + ")";
    return result;
  }
  bool ok = std::fwrite(page.data(), 1, page.size(), out) == page.size();
  ok = std::fclose(out) == 0 && ok;
  if (!ok) {
    result.error = "cannot write " + out_path;
    return result;
  }
  result.written = true;
  return result;
}

}  // namespace ztrm
