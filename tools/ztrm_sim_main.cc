// ztrm-sim: one worker start and one enumeration run on a system image.
//
//   ztrm-sim [--time=YYYY-MM-DDTHH:MM:SS.mmm] [--html] IMAGE
//
// IMAGE holds registry.reg and drive_c/ (the C: drive). The run behaves as if
// this system were the configured resource manager; when the PXISA
// configuration names another manager, that is said plainly and the run takes
// place all the same. Outputs land where the service puts them
// (drive_c/windows/pxirms.log, pxisys.ini, pxiesys.ini, ztbuslist.dat).
// --time pins the clock, so two runs give identical files. --html also
// writes the picture of the system (ztrm-view's page) from the run's files
// to drive_c/windows/pxisys.html.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "enumeration/run_context.h"
#include "enumeration/system_paths.h"
#include "enumeration/worker.h"
#include "platform/native/native_platform.h"
#include "tools/view/system_view_files.h"

namespace {

bool ParseTime(const char* text, ztrm::LocalTime* out) {
  unsigned y, mo, d, h, mi, s, ms = 0;
  int n = std::sscanf(text, "%u-%u-%uT%u:%u:%u.%u", &y, &mo, &d, &h, &mi, &s, &ms);
  if (n < 6 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 ||
      ms > 999) {
    return false;
  }
  *out = {static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(mo), static_cast<std::uint16_t>(d),
          static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(mi), static_cast<std::uint16_t>(s),
          static_cast<std::uint16_t>(ms)};
  return true;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A file's identity for "did this run write it": its change time to the
// nanosecond, or nothing when it is not a regular file.
std::string FileStamp(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::string();
  return std::to_string(st.st_ctim.tv_sec) + "." + std::to_string(st.st_ctim.tv_nsec) + "/" +
         std::to_string(st.st_size);
}

constexpr const char16_t* kOutputs[] = {ztrm::kRunLogName, ztrm::kPxiSysName,
                                           ztrm::kPxieSysName, u"ztbuslist.dat"};

}  // namespace

int main(int argc, char** argv) {
  std::string image;
  ztrm::LocalTime pinned;
  bool pin = false;
  bool html = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--time=", 7) == 0) {
      if (!ParseTime(argv[i] + 7, &pinned)) {
        std::fprintf(stderr, "ztrm-sim: bad --time '%s' (want YYYY-MM-DDTHH:MM:SS.mmm)\n", argv[i] + 7);
        return 2;
      }
      pin = true;
    } else if (std::strcmp(argv[i], "--html") == 0) {
      html = true;
    } else if (image.empty() && argv[i][0] != '-') {
      image = argv[i];
    } else {
      std::fprintf(stderr, "ztrm-sim: unexpected argument '%s'\n", argv[i]);
      return 2;
    }
  }
  if (image.empty()) {
    std::fprintf(stderr, "usage: ztrm-sim [--time=YYYY-MM-DDTHH:MM:SS.mmm] [--html] IMAGE\n");
    return 2;
  }
  if (!IsFolder(image)) {
    std::fprintf(stderr, "ztrm-sim: no system image folder at '%s'\n", image.c_str());
    return 2;
  }

  ztrm::NativePlatform native(image);
  std::vector<std::string> stamps;
  for (const char16_t* name : kOutputs) {
    stamps.push_back(FileStamp(native.HostPath(ztrm::WString(u"C:\\windows\\") + name)));
  }
  if (pin) native.clock().Pin(pinned);
  ztrm::RunContext ctx(native.platform());
  ztrm::EnumerationWorker worker(ctx);
  worker.Start();

  ztrm::WString manager = worker.ReadConfiguredManager();
  if (manager != ztrm::kThisResourceManager) {
    std::printf("ztrm-sim: %s names %s as the resource manager, not \"ZELTRO Technology\"; running "
                "once all the same.\n",
                ztrm::ToUtf8(worker.ConfigurationFile().view()).c_str(),
                manager.empty() ? "no one" : ("\"" + ztrm::ToUtf8(manager) + "\"").c_str());
  }
  worker.PerformRun();

  for (std::size_t i = 0; i < stamps.size(); ++i) {
    std::string host = native.HostPath(ztrm::WString(u"C:\\windows\\") + kOutputs[i]);
    std::string stamp = FileStamp(host);
    if (!stamp.empty() && stamp != stamps[i]) std::printf("wrote %s\n", host.c_str());
  }
  if (html) {
    auto windows = [&](const char16_t* name) {
      return native.HostPath(ztrm::WString(u"C:\\windows\\") + name);
    };
    std::string page = windows(u"pxisys.html");
    ztrm::ViewPageResult result = ztrm::WriteSystemViewPage(
        windows(ztrm::kPxiSysName), windows(ztrm::kPxieSysName), windows(ztrm::kRunLogName), page);
    if (!result.written) {
      std::fprintf(stderr, "ztrm-sim: the picture of the system was not written: %s\n",
                   result.error.c_str());
      return 1;
    }
    std::printf("wrote %s (the picture of the system%s)\n", page.c_str(),
                result.skipped.empty() ? "" : "; some parts not drawn, named in the page");
  }
  return 0;
}
