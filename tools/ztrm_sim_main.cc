// ztrm-sim: one worker start and one enumeration run on a system image.
//
//   ztrm-sim [--time=YYYY-MM-DDTHH:MM:SS.mmm] IMAGE
//
// IMAGE holds registry.reg and drive_c/ (the C: drive). The run behaves as if
// this system were the configured resource manager; when the PXISA
// configuration names another manager, that is said plainly and the run takes
// place all the same. Outputs land where the service puts them
// (drive_c/windows/pxirms.log, pxisys.ini, pxiesys.ini, ztbuslist.dat).
// --time pins the clock, so two runs give identical files.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "enumeration/run_context.h"
#include "enumeration/worker.h"
#include "platform/native/native_platform.h"

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

bool IsFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

int main(int argc, char** argv) {
  std::string image;
  ztrm::LocalTime pinned;
  bool pin = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--time=", 7) == 0) {
      if (!ParseTime(argv[i] + 7, &pinned)) {
        std::fprintf(stderr, "ztrm-sim: bad --time '%s' (want YYYY-MM-DDTHH:MM:SS.mmm)\n", argv[i] + 7);
        return 2;
      }
      pin = true;
    } else if (image.empty() && argv[i][0] != '-') {
      image = argv[i];
    } else {
      std::fprintf(stderr, "ztrm-sim: unexpected argument '%s'\n", argv[i]);
      return 2;
    }
  }
  if (image.empty()) {
    std::fprintf(stderr, "usage: ztrm-sim [--time=YYYY-MM-DDTHH:MM:SS.mmm] IMAGE\n");
    return 2;
  }
  if (!IsFolder(image)) {
    std::fprintf(stderr, "ztrm-sim: no system image folder at '%s'\n", image.c_str());
    return 2;
  }

  ztrm::NativePlatform native(image);
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

  for (const char16_t* name : {u"pxirms.log", u"pxisys.ini", u"pxiesys.ini", u"ztbuslist.dat"}) {
    std::string host = native.HostPath(ztrm::WString(u"C:\\windows\\") + name);
    if (IsFile(host)) std::printf("wrote %s\n", host.c_str());
  }
  return 0;
}
