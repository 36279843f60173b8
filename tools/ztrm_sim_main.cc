// ztrm-sim: one worker start and one enumeration run on a system image.
//
//   ztrm-sim [--time=YYYY-MM-DDTHH:MM:SS.mmm] [--html]
//            [--explain[=json] [--explain-all]] IMAGE
//   ztrm-sim --help
//
// IMAGE holds registry.reg and drive_c/ (the C: drive). The run behaves as if
// this system were the configured resource manager; when the PXISA
// configuration names another manager, that is said plainly and the run takes
// place all the same. Outputs land where the service puts them
// (drive_c/windows/pxirms.log, pxisys.ini, pxiesys.ini, ztbuslist.dat).
// --time pins the clock, so two runs give identical files. --html also
// writes the picture of the system (ztrm-view's page) from the run's files
// to drive_c/windows/pxisys.html, with the run's decision trail in it: each
// chassis's and module's decisions in its tooltip, and what the run wrote
// nowhere listed with why (the trail only listens, so the run's files are
// the same bytes). --explain keeps the run's decision trail
// and prints, after the run, why each chassis, module, description file,
// chassis list entry and bus segment walk ended up where it did (as JSON with
// --explain=json); the lines about the files written then go to standard
// error, so standard output holds the explanation alone. It is bounded (see
// tools/explain_report.h); --explain-all lifts the bounds.
//
// After the run it prints one line per file written (path and size) and, when
// the run found no chassis at all, where it looked. Exit codes: 0 the run
// wrote its files; 1 it wrote none of them (or the picture failed); 2 bad
// arguments or IMAGE is no system image (no drive_c/windows/ folder, where the
// run writes).
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "chassis/description_discovery.h"
#include "common/registry_text.h"
#include "enumeration/decision_trail.h"
#include "enumeration/run_context.h"
#include "enumeration/system_paths.h"
#include "enumeration/worker.h"
#include "platform/native/native_platform.h"
#include "tools/explain_report.h"
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

constexpr char kUsage[] =
    "usage: ztrm-sim [--time=YYYY-MM-DDTHH:MM:SS.mmm] [--html] [--explain[=json] [--explain-all]] IMAGE\n"
    "\n"
    "Runs the service's worker start and one enumeration run on the system image\n"
    "IMAGE (registry.reg and drive_c/, the C: drive), natively, and writes what\n"
    "the service writes: drive_c/windows/pxirms.log, pxisys.ini, pxiesys.ini and\n"
    "ztbuslist.dat. The run takes place even when the image's configuration.ini\n"
    "names another resource manager (it says so).\n"
    "\n"
    "  --time=T  pin the clock (e.g. 2026-07-15T09:05:00.000): two runs give\n"
    "            identical files\n"
    "  --html    also write the picture of the system, drive_c/windows/pxisys.html,\n"
    "            with the run's decisions: each chassis's and module's in its\n"
    "            tooltip, and a list of what the run left out of both files and why\n"
    "  --explain after the run, print why each chassis, module, description file,\n"
    "            chassis list entry and bus segment walk ended up where it did\n"
    "            (the files written are then named on standard error); at most\n"
    "            100 items a section and 40 decisions an item, the rest counted\n"
    "  --explain=json  the same as one JSON document\n"
    "  --explain-all   with --explain: every item and decision, unbounded\n"
    "  --help    this text\n"
    "\n"
    "Exit codes: 0 files written; 1 the run wrote none of its files, or the\n"
    "picture could not be written; 2 bad arguments, or IMAGE is not a system\n"
    "image (it needs a drive_c/windows/ folder).\n";

long long FileSize(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// Where the run looked for chassis, for a run that found none.
void WarnNoChassis(const ztrm::RunContext& ctx, ztrm::NativePlatform& native, FILE* out) {
  const ztrm::WStringView key_path =
      ctx.UseWow6432Node ? ztrm::kPxisaCurrentVersionKeyWow : ztrm::kPxisaCurrentVersionKey;
  std::string folder = "no such key";
  if (auto key = ctx.platform.registry.OpenLocalMachineKey(key_path)) {
    ztrm::WideText value =
        ztrm::ReadValueIntoTextBuffer(*key, ztrm::kChassisDescriptionFilePathValue);
    folder = value.empty() ? std::string("value missing or empty")
                           : "\"" + ztrm::ToUtf8(value.view()) + "\"";
  }
  std::size_t chassis_models = 0;
  for (const auto& vendor : ctx.ChassisModules.Vendors) chassis_models += vendor.Models.size();
  const std::string list = ztrm::ToUtf8(ctx.ChassisListPath.view());
  std::fprintf(out,
      "ztrm-sim: warning: the run found no chassis. It looked for:\n"
      "  description files: in the folder named by HKLM\\%s\\ChassisDescriptionFilePath (%s)\n"
      "  PXI-1 chassis:     in the chassis list %s (%s)\n"
      "  PXI Express chassis: from the vendor module libraries registered under\n"
      "                     HKLM\\SOFTWARE\\%sPXISA\\Services\\Chassis (%zu model%s)\n"
      "  The run log drive_c/windows/pxirms.log says what each step found.\n",
      ztrm::ToUtf8(key_path).c_str(), folder.c_str(), list.c_str(),
      FileSize(native.HostPath(ctx.ChassisListPath.view())) >= 0 ? "present" : "no such file",
      ctx.UseWow6432Node ? "Wow6432Node\\" : "", chassis_models, chassis_models == 1 ? "" : "s");
}

constexpr const char16_t* kOutputs[] = {ztrm::kRunLogName, ztrm::kPxiSysName,
                                           ztrm::kPxieSysName, u"ztbuslist.dat"};

}  // namespace

int main(int argc, char** argv) {
  std::string image;
  ztrm::LocalTime pinned;
  bool pin = false;
  bool html = false;
  bool explain = false;
  ztrm::ExplainOptions explain_options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strncmp(argv[i], "--time=", 7) == 0) {
      if (!ParseTime(argv[i] + 7, &pinned)) {
        std::fprintf(stderr, "ztrm-sim: bad --time '%s' (want YYYY-MM-DDTHH:MM:SS.mmm)\n", argv[i] + 7);
        return 2;
      }
      pin = true;
    } else if (std::strcmp(argv[i], "--html") == 0) {
      html = true;
    } else if (std::strcmp(argv[i], "--explain") == 0) {
      explain = true;
    } else if (std::strcmp(argv[i], "--explain=json") == 0) {
      explain = true;
      explain_options.json = true;
    } else if (std::strcmp(argv[i], "--explain=text") == 0) {
      explain = true;
    } else if (std::strcmp(argv[i], "--explain-all") == 0) {
      explain_options.all = true;
    } else if (image.empty() && argv[i][0] != '-') {
      image = argv[i];
    } else {
      std::fprintf(stderr, "ztrm-sim: unexpected argument '%s'\n", argv[i]);
      return 2;
    }
  }
  if (explain_options.all && !explain) explain = true;
  if (image.empty()) {
    std::fprintf(stderr, "usage: ztrm-sim [--time=YYYY-MM-DDTHH:MM:SS.mmm] [--html] [--explain[=json]] IMAGE "
                         "(ztrm-sim --help says more)\n");
    return 2;
  }
  if (!IsFolder(image)) {
    std::fprintf(stderr, "ztrm-sim: no system image folder at '%s'\n", image.c_str());
    return 2;
  }
  if (!IsFolder(image + "/drive_c/windows")) {
    std::fprintf(stderr,
                 "ztrm-sim: '%s' is not a system image: it has no drive_c/windows/ folder, where "
                 "the run writes its files (an image holds registry.reg and drive_c/)\n",
                 image.c_str());
    return 2;
  }

  ztrm::NativePlatform native(image);
  std::vector<std::string> stamps;
  for (const char16_t* name : kOutputs) {
    stamps.push_back(FileStamp(native.HostPath(ztrm::WString(u"C:\\windows\\") + name)));
  }
  if (pin) native.clock().Pin(pinned);
  // With an explanation, the service's own console lines go to standard
  // error too.
  class ErrorConsole : public ztrm::Console {
   public:
    void Write(std::string_view bytes) override { std::fwrite(bytes.data(), 1, bytes.size(), stderr); }
  } error_console;
  ztrm::Platform& base = native.platform();
  ztrm::Platform explain_platform{base.registry, base.profiles, base.files,   base.libraries,
                                  base.driver,   base.shell,    base.clock,   base.version,
                                  base.host,     base.code_page, error_console};
  ztrm::RunContext ctx(explain ? explain_platform : base);
  // The page tells the run's decisions too: it is written here, by the
  // process that made them.
  ztrm::DecisionTrail trail;
  if (explain || html) ctx.Trail = &trail;
  // With an explanation, standard output holds it alone.
  FILE* notes = explain ? stderr : stdout;
  ztrm::EnumerationWorker worker(ctx);
  worker.Start();

  ztrm::WString manager = worker.ReadConfiguredManager();
  if (manager != ztrm::kThisResourceManager) {
    std::fprintf(notes, "ztrm-sim: %s names %s as the resource manager, not \"ZELTRO Technology\"; running "
                "once all the same.\n",
                ztrm::ToUtf8(worker.ConfigurationFile().view()).c_str(),
                manager.empty() ? "no one" : ("\"" + ztrm::ToUtf8(manager) + "\"").c_str());
  }
  worker.PerformRun();

  int written = 0;
  for (std::size_t i = 0; i < stamps.size(); ++i) {
    std::string host = native.HostPath(ztrm::WString(u"C:\\windows\\") + kOutputs[i]);
    std::string stamp = FileStamp(host);
    if (!stamp.empty() && stamp != stamps[i]) {
      std::fprintf(notes, "wrote %s (%lld bytes)\n", host.c_str(), FileSize(host));
      ++written;
    }
  }
  if (written == 0) {
    std::fprintf(stderr, "ztrm-sim: the run wrote none of its files in %s/drive_c/windows "
                         "(read-only, or the names are taken by folders?)\n",
                 image.c_str());
    return 1;
  }
  if (ctx.vecPXISys.empty()) WarnNoChassis(ctx, native, notes);
  if (html) {
    auto windows = [&](const char16_t* name) {
      return native.HostPath(ztrm::WString(u"C:\\windows\\") + name);
    };
    std::string page = windows(u"pxisys.html");
    const ztrm::ViewTrail view_trail = ztrm::ExplainForView(ctx, trail);
    ztrm::ViewPageResult result =
        ztrm::WriteSystemViewPage(windows(ztrm::kPxiSysName), windows(ztrm::kPxieSysName),
                                  windows(ztrm::kRunLogName), page, &view_trail);
    if (!result.written) {
      std::fprintf(stderr, "ztrm-sim: the picture of the system was not written: %s\n",
                   result.error.c_str());
      return 1;
    }
    std::fprintf(notes, "wrote %s (the picture of the system%s)\n", page.c_str(),
                result.skipped.empty() ? "" : "; some parts not drawn, named in the page");
  }
  if (explain) std::fputs(ztrm::ExplainRun(ctx, trail, explain_options).c_str(), stdout);
  return 0;
}
