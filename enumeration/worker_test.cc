#include "enumeration/worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>

#include "enumeration/run_log.h"
#include "platform/native/native_platform.h"
#include "tests/service_test_support.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

constexpr char kConfigFile[] = "drive_c/ProgramData/PXISA/configuration.ini";
constexpr char kLog[] = "drive_c/windows/pxirms.log";

// Each run ends with a companion reload, and so does the worker start.
int RunsSeen(const TestImage& image) {
  return Occurrences(image.Read("launches.log"), "ORB.exe|reload|C:\\ZELTRO\\ORB\n") - 1;
}

// A machine with the companion installed and this system configured.
struct Fixture {
  Fixture() { MakeCompanionImage(image); }

  TestImage image;
  std::unique_ptr<NativePlatform> native;
  std::unique_ptr<RunContext> ctx;
  std::unique_ptr<EnumerationWorker> worker;

  void Build() {
    native = std::make_unique<NativePlatform>(image.root());
    native->clock().Pin({2026, 12, 6, 5, 30, 0, 123});
    ctx = std::make_unique<RunContext>(native->platform());
    worker = std::make_unique<EnumerationWorker>(*ctx);
  }
};

// A stop line asked for while the run holds the log is left out.
TEST(WorkerTest, RunLogOfARunIsExact) {
  Fixture f;
  f.Build();
  f.worker->Start();
  bool probed = false, free_during_run = true;
  f.native->clock().SetNowHook([&] {
    AppendStopLine(f.native->platform().files, f.ctx->locale, u"C:\\windows\\pxirms.log");
    free_during_run = ProbeFileFree(f.native->platform().files, u"C:\\windows\\pxiesys.ini");
    probed = true;
  });
  f.worker->PerformRun();
  ASSERT_TRUE(probed);
  EXPECT_FALSE(free_during_run);
  EXPECT_EQ(f.image.Read(kLog), ReadSourceFile("tests/expected/run_without_stages.log"));
  EXPECT_TRUE(ProbeFileFree(f.native->platform().files, u"C:\\windows\\pxiesys.ini"));
  // The system files are created empty until their writers fill them.
  EXPECT_TRUE(f.image.Exists("drive_c/windows/pxisys.ini"));
  EXPECT_TRUE(f.image.Exists("drive_c/windows/pxiesys.ini"));
  EXPECT_EQ(f.ctx->FileVersionText, WideText(u"1.0.0.0"));
}

TEST(WorkerTest, PollingGivesOneRunPerConfigurationOrRequest) {
  const struct {
    const char* name;
    bool configured;
    bool start_request;  // as OnStart sets it
    bool request_during_first_run;
    std::map<int, const char*> manager_at;  // the configured manager from the n-th sleep on
    int stop_at;                            // the sleep that sets the stop flag; 0: set before the first poll
    int runs;
  } cases[] = {
      {"configured from the start", true, true, false, {}, 10, 1},
      {"the manager changing away and back runs again without a request", true, false, false,
       {{3, "Another Vendor"}, {5, "ZELTRO Technology"}}, 9, 2},
      // The banner's time is taken after the run cleared the request flags,
      // so a request raised there arrives during the run.
      {"a request during a run gives one more run", true, false, true, {}, 6, 2},
      {"no configuration file: no run and no log", false, true, false, {}, 3, 0},
      {"stop flag set before the first poll", true, false, false, {}, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    if (!c.configured) std::filesystem::remove(f.image.Path(kConfigFile));
    f.Build();
    f.ctx->StartRequest = c.start_request ? 1 : 0;
    int runs_started = 0;
    if (c.request_during_first_run) {
      f.native->clock().SetNowHook([&] {
        if (++runs_started == 1) f.ctx->ReenumerationRequest = 1;
      });
    }
    std::atomic<std::uint32_t> stop{c.stop_at == 0 ? 1u : 0u};
    int sleeps = 0;
    f.native->clock().SetSleepHook([&](std::uint32_t ms) {
      EXPECT_EQ(ms, kPollIntervalMs);
      ++sleeps;
      auto change = c.manager_at.find(sleeps);
      if (change != c.manager_at.end()) ConfigureResourceManager(f.image, change->second);
      if (sleeps == c.stop_at) stop = 1;
    });
    f.worker->Run(stop);
    EXPECT_EQ(RunsSeen(f.image), c.runs);
    if (!c.configured) {
      EXPECT_FALSE(f.image.Exists(kLog));
    }
  }
}

TEST(WorkerTest, LogKeepsTheLastRunAndTheStopLine) {
  Fixture f;
  f.Build();
  f.worker->Start();
  f.worker->PerformRun();
  f.native->clock().Pin({2027, 1, 2, 3, 4, 5, 6});
  f.worker->PerformRun();
  AppendStopLine(f.native->platform().files, f.ctx->locale, u"C:\\windows\\pxirms.log");
  std::string log = f.image.Read(kLog);
  EXPECT_EQ(Occurrences(log, "SERVICE START"), 1);
  EXPECT_NE(log.find("[2027-01-02_03:04:05.006]  \r\n"), std::string::npos);
  EXPECT_EQ(log.size() - log.rfind("SERVICE STOPED\r\r\n"), 17u);
}

TEST(WorkerTest, PxiFolderIsDerivedFromTheCompanionFolder) {
  EXPECT_EQ(DerivePxiFolder(u"C:\\ZELTRO\\ORB"), WideText(u"C:\\ZELTRO\\PXI"));
  // A trailing backslash goes with the three characters replaced.
  EXPECT_EQ(DerivePxiFolder(u"C:\\ZELTRO\\ORB\\"), WideText(u"C:\\ZELTRO\\OPXI"));
}

}  // namespace
}  // namespace ztrm
