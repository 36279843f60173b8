// Capturing a system image natively and replaying it: the native backend over
// one image stands for the machine, the capture writes a second image inside
// it, and a run on the second gives what a run on the first gives (for the
// example, end-to-end and hostile images: tests/hostile_system_test.cc).
#include "capture/system_capture.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "capture/helper_answers.h"
#include "enumeration/worker.h"
#include "platform/native/native_platform.h"
#include "tests/service_test_support.h"
#include "tests/test_image.h"
#include "tools/replay_setup.h"

namespace ztrm {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kCaptureDir[] = u"C:\\capture";
constexpr char kCaptureFolder[] = "drive_c/capture";

struct RunFiles {
  std::string log, pxisys, pxiesys;
};

// One worker start and one run on the image in `folder` of `image`, the
// clock pinned.
RunFiles RunOn(const TestImage& image, const std::string& folder = ".") {
  NativePlatform native(image.Path(folder));
  native.clock().Pin({2026, 12, 6, 5, 30, 0, 123});
  RunContext ctx(native.platform());
  EnumerationWorker worker(ctx);
  worker.Start();
  worker.PerformRun();
  const std::string out = folder + "/drive_c/windows/";
  return {image.Read(out + "pxirms.log"), image.Read(out + "pxisys.ini"), image.Read(out + "pxiesys.ini")};
}

// Captures the image at `image` into `dir` of itself, in-process.
CaptureOutcome CaptureInto(const TestImage& image, WStringView dir = kCaptureDir) {
  NativePlatform native(image.root());
  InProcessAnswerSource answers(native.platform().libraries);
  return CaptureSystem(native.platform(), answers, dir);
}

std::string Replay(const TestImage& image, RunFiles& files) {
  std::string captured = image.Path(kCaptureFolder);
  std::vector<std::string> problems = InstallSimulatedLibraries(captured, ZTRM_SIMMODULE_DIR);
  std::string joined;
  for (const std::string& p : problems) joined += p + "\n";
  files = RunOn(image, kCaptureFolder);
  return joined;
}

// registry.reg is UTF-16LE with a byte order mark; as UTF-8 for comparing.
std::string RegistryText(const std::string& bytes) {
  if (bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0) return "no byte order mark";
  WString wide;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return ToUtf8(wide);
}

// A small system whose every captured file is known.
void WriteSmallSystem(const TestImage& image) {
  image.WriteRegistry(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ZELTRO\\ORB]\n\"Path\"=\"C:\\\\ZELTRO\\\\ORB\"\n\"Other\"=\"not read\"\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]\n\"ChassisDescriptionFilePath\"=\"C:\\\\PXI\\\\Desc\"\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\Acme\\S1]\n"
      "\"Library\"=\"C:\\\\Vendors\\\\acme.dll\"\n\"Version\"=dword:00010002\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Peripheral Modules\\Acme\\P1]\n"
      "\"Library\"=\"C:\\\\Vendors\\\\acme.dll\"\n\"Version\"=hex:01,02\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Peripheral Modules\\Acme\\P2]\n"
      "\"Library\"=\"C:\\\\Vendors\\\\gone.dll\"\n\"Version\"=dword:fffffffe\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Trigger Managers\\Acme\\T \"1\"]\n"
      "\"Library\"=\"C:\\\\Vendors\\\\trig \\\"x\\\".dll\"\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Resource Managers\\Acme]\n\"PXI-2Version\"=dword:00020000\n"
      "\"PXI-6Version\"=\"text\"\n\"Unread\"=\"x\"\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Elsewhere]\n\"X\"=\"y\"\n");
  ConfigureResourceManager(image, "ZELTRO Technology");
  image.Write("drive_c/PXI/Desc/A.ini", "[Chassis]\r\nVendor = \"Acme\"\r\n");
  image.MakeFolder("drive_c/PXI/Desc/sub.ini");
  image.Write("drive_c/PXI/Desc/notes.txt", "not a description");
  image.Write("drive_c/ZELTRO/PXI/ChassisMappingID.ini", "[ChassisMappingID]\r\nID1 = 3\r\n");
  image.MakeFolder("drive_c/ZELTRO/ORB");
  image.Write("drive_c/Vendors/ztsimmod.ini",
              "[SystemModule]\nVendor = Acme\nModel = S1\nUniqueName = SYS-1\nAddressInfo = PCI::0::1::0\n"
              "EepromVendor = Acme\nInfo.100 = 1\nInfo.101 = 2\nInfo.105 = 3\n"
              "[PeripheralModule]\nVendor = Acme\nModel = P1\nUniqueName = \" P one \"\nAddressInfo = PCI::3::0::0\n"
              "ReportedCount = 3\nInfo.100 = 3\nInfo.102 = 4\n"
              "[PeripheralModule]\nVendor = Acme\nModel = P1\nUniqueName = P2\nAddressInfo = PCI::4::0::0\n"
              "Info.102 = 5\n");
  fs::copy_file(std::string(ZTRM_SIMMODULE_DIR) + "/ztsimmod.so", image.Path("drive_c/Vendors/acme.so"));
}

TEST(CaptureReplay, ASmallSystemIsCapturedAsExpectedAndReplaysAlike) {
  TestImage image;
  WriteSmallSystem(image);
  RunFiles original = RunOn(image);
  CaptureOutcome outcome = CaptureInto(image);
  ASSERT_TRUE(outcome.written) << outcome.refusal;
  const std::string c = std::string(kCaptureFolder) + "/";
  const std::string expected = "tests/expected/capture/small_";
  EXPECT_EQ(RegistryText(image.Read(c + "registry.reg")), ReadSourceFile(expected + "registry.reg.txt"));
  EXPECT_EQ(image.Read(c + "drive_c/Vendors/ztsimmod.ini"), ReadSourceFile(expected + "ztsimmod.ini"));
  EXPECT_EQ(image.Read(c + "capture.txt"), ReadSourceFile(expected + "capture.txt"));
  EXPECT_EQ(image.Read(c + "simulated_libraries.txt"), "ztsimmod\tC:\\Vendors\\acme.dll\n");
  for (const char* copied : {"drive_c/ProgramData/PXISA/configuration.ini", "drive_c/PXI/Desc/A.ini",
                             "drive_c/ZELTRO/PXI/ChassisMappingID.ini"}) {
    EXPECT_EQ(image.Read(c + copied), image.Read(copied)) << copied;
  }
  for (const char* folder : {"drive_c/PXI/Desc/sub.ini", "drive_c/ZELTRO/ORB", "drive_c/windows"}) {
    EXPECT_TRUE(fs::is_directory(image.Path(c + folder))) << folder;
  }
  EXPECT_FALSE(image.Exists(c + "drive_c/PXI/Desc/notes.txt"));
  RunFiles replay;
  EXPECT_EQ(Replay(image, replay), "");
  EXPECT_EQ(replay.log, original.log);
  EXPECT_EQ(replay.pxisys, original.pxisys);
  EXPECT_EQ(replay.pxiesys, original.pxiesys);
  // The unloadable library stays unloadable.
  EXPECT_NE(replay.log.find("PeripheralModule_LoadLibrary = C:\\Vendors\\gone.dll = Fail"), std::string::npos);
}

// A capture writes into an empty folder nothing but the image's own files,
// and refuses a folder it cannot make, writing nothing outside it (a missing
// folder made: ASmallSystemIsCapturedAsExpectedAndReplaysAlike; a full one
// refused and left as it was: wine.capture_replay).
TEST(CaptureReplay, TheFolderMustBeEmptyOrMadeAnew) {
  TestImage image;
  WriteSmallSystem(image);
  image.MakeFolder(kCaptureFolder);
  CaptureOutcome outcome = CaptureInto(image);
  EXPECT_TRUE(outcome.written) << outcome.refusal;
  std::vector<std::string> entries;
  for (const auto& entry : fs::directory_iterator(image.Path(kCaptureFolder))) {
    entries.push_back(entry.path().filename().string());
  }
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"capture.txt", "drive_c", "registry.reg", "simulated_libraries.txt"}));
  outcome = CaptureInto(image, u"C:\\no\\such\\parent");
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.refusal, "cannot make the folder C:\\no\\such\\parent");
  EXPECT_FALSE(image.Exists("drive_c/no"));
}

// Answers through the helper protocol; the runner plays the helper of one
// library as told.
class PlayedHelpers : public HelperRunner {
 public:
  PlayedHelpers(DynamicLibraries& libraries, std::string bad, HelperRun bad_run)
      : libraries_(libraries), bad_(std::move(bad)), bad_run_(std::move(bad_run)) {}
  HelperRun Run(const std::vector<std::string>& words, std::uint32_t timeout_ms) override {
    timeouts.push_back(timeout_ms);
    auto request = ParseModelRequest(words);
    if (request && ToUtf8(request->first.library) == bad_) return bad_run_;
    HelperRun run;
    run.outcome = HelperRun::Outcome::kEnded;
    run.exit_code = static_cast<std::uint32_t>(RunHelper(libraries_, words, run.output));
    return run;
  }
  std::vector<std::uint32_t> timeouts;

 private:
  DynamicLibraries& libraries_;
  std::string bad_;
  HelperRun bad_run_;
};

// A helper that prints half its answers (one that crashes or hangs:
// wine.capture_replay).
TEST(CaptureReplay, ALibraryThatFailsInItsHelperIsRecordedAndReplaysAsUnloadable) {
  TestImage image;
  WriteSmallSystem(image);
  NativePlatform native(image.root());
  PlayedHelpers helpers(native.platform().libraries, "C:\\Vendors\\acme.dll",
                        {HelperRun::Outcome::kEnded, 0, "loaded 1\nexports 1023\ncount 1\n"});
  HelperAnswerSource answers(helpers, kHelperTimeoutMs);
  ASSERT_TRUE(CaptureSystem(native.platform(), answers, kCaptureDir).written);
  EXPECT_EQ(helpers.timeouts, std::vector<std::uint32_t>(3, 10000u));
  std::string text = image.Read(std::string(kCaptureFolder) + "/capture.txt");
  EXPECT_NE(text.find("library C:\\Vendors\\acme.dll (Acme/S1, Acme/P1): failed (Acme/S1: the helper process gave "
                      "incomplete answers; Acme/P1: the helper process gave incomplete answers); the replay cannot "
                      "load it\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(image.Read(std::string(kCaptureFolder) + "/simulated_libraries.txt"), "");
  RunFiles replay;
  EXPECT_EQ(Replay(image, replay), "");
  EXPECT_NE(replay.log.find("LoadLibraryW Fail\r\r\n"), std::string::npos);
  EXPECT_NE(replay.log.find("PeripheralModule_LoadLibrary = C:\\Vendors\\acme.dll = Fail"), std::string::npos);
}

TEST(ImageRelativePath, MapsDriveCOnly) {
  const std::pair<const char16_t*, std::optional<WString>> cases[] = {
      {u"C:\\a\\b.ini", u"drive_c\\a\\b.ini"}, {u"c:\\\\a", u"drive_c\\a"}, {u"C:\\", u"drive_c"},
      {u"D:\\a", std::nullopt}, {u"\\\\server\\share\\a", std::nullopt}, {u"C:a", std::nullopt}, {u"", std::nullopt},
  };
  for (const auto& [path, relative] : cases) EXPECT_EQ(ImageRelativePath(path), relative) << ToUtf8(path);
}

}  // namespace
}  // namespace ztrm
