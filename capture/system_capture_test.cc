// Capturing a system image natively and replaying it: the native backend over
// one image stands for the machine, the capture writes a second image inside
// it, and a run on the second gives what a run on the first gives.
#include "capture/system_capture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "capture/helper_answers.h"
#include "enumeration/worker.h"
#include "platform/native/native_platform.h"
#include "tests/output_test_files.h"
#include "tests/test_image.h"
#include "tools/replay_setup.h"

namespace ztrm {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kCaptureDir[] = u"C:\\capture";
constexpr char kCaptureFolder[] = "drive_c/capture";

struct RunFiles {
  std::string log, pxisys, pxiesys, buslist;
};

// One worker start and one run on the image at `root`, the clock pinned.
RunFiles RunOn(const std::string& root) {
  NativePlatform native(root);
  native.clock().Pin({2026, 12, 6, 5, 30, 0, 123});
  RunContext ctx(native.platform());
  EnumerationWorker worker(ctx);
  worker.Start();
  worker.PerformRun();
  auto read = [&](const char* name) {
    std::ifstream in(root + "/drive_c/windows/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  return {read("pxirms.log"), read("pxisys.ini"), read("pxiesys.ini"), read("ztbuslist.dat")};
}

// Captures the image at `image` into C:\capture of itself, in-process.
CaptureOutcome CaptureInto(const TestImage& image) {
  NativePlatform native(image.root());
  InProcessAnswerSource answers(native.platform().libraries);
  return CaptureSystem(native.platform(), answers, kCaptureDir);
}

void InstallSimModuleBuilds(const std::string& image_root) {
  for (const auto& entry : fs::recursive_directory_iterator(image_root + "/drive_c")) {
    if (entry.path().filename() != "ztsimmod.ini") continue;
    for (const auto& build : fs::directory_iterator(ZTRM_SIMMODULE_DIR)) {
      if (build.path().extension() == ".so") {
        fs::copy_file(build.path(), entry.path().parent_path() / build.path().filename(),
                      fs::copy_options::overwrite_existing);
      }
    }
  }
}

void CopyImage(const std::string& from, const TestImage& image) {
  fs::copy(from, image.root(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  InstallSimModuleBuilds(image.root());
}

std::string Replay(const TestImage& image, RunFiles& files) {
  std::string captured = image.Path(kCaptureFolder);
  std::vector<std::string> problems = InstallSimulatedLibraries(captured, ZTRM_SIMMODULE_DIR);
  std::string joined;
  for (const std::string& p : problems) joined += p + "\n";
  files = RunOn(captured);
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

TEST(CaptureReplay, TheDemoSystemReplaysToItsExpectedFiles) {
  TestImage image;
  CopyImage(std::string(ZTRM_SOURCE_DIR) + "/examples/demo", image);
  CaptureOutcome outcome = CaptureInto(image);
  ASSERT_TRUE(outcome.written) << outcome.refusal;
  RunFiles replay;
  EXPECT_EQ(Replay(image, replay), "");
  // The host lines too: the maker and model are captured as well.
  EXPECT_EQ(replay.log, ReadSourceFile("tests/expected/demo/pxirms.log"));
  EXPECT_EQ(replay.pxisys, ExpectedCrlfFile("demo/pxisys.ini"));
  EXPECT_EQ(replay.pxiesys, ExpectedCrlfFile("demo/pxiesys.ini"));
  EXPECT_EQ(replay.buslist, ExpectedCrlfFile("demo/ztbuslist.dat"));
}

// A small system whose every captured file is known.
void WriteSmallSystem(const TestImage& image) {
  image.WriteRegistry(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ZELTRO\\ORB]\n"
      "\"Path\"=\"C:\\\\ZELTRO\\\\ORB\"\n"
      "\"Other\"=\"not read\"\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]\n"
      "\"ChassisDescriptionFilePath\"=\"C:\\\\PXI\\\\Desc\"\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\Acme\\S1]\n"
      "\"Library\"=\"C:\\\\Vendors\\\\acme.dll\"\n"
      "\"Version\"=dword:00010002\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Peripheral Modules\\Acme\\P1]\n"
      "\"Library\"=\"C:\\\\Vendors\\\\acme.dll\"\n"
      "\"Version\"=hex:01,02\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Peripheral Modules\\Acme\\P2]\n"
      "\"Library\"=\"C:\\\\Vendors\\\\gone.dll\"\n"
      "\"Version\"=dword:fffffffe\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Trigger Managers\\Acme\\T \"1\"]\n"
      "\"Library\"=\"C:\\\\Vendors\\\\trig \\\"x\\\".dll\"\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Resource Managers\\Acme]\n"
      "\"PXI-2Version\"=dword:00020000\n"
      "\"PXI-6Version\"=\"text\"\n"
      "\"Unread\"=\"x\"\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Elsewhere]\n"
      "\"X\"=\"y\"\n");
  image.Write("drive_c/ProgramData/PXISA/configuration.ini",
              "[ResourceManager]\r\nName = ZELTRO Technology\r\n");
  image.Write("drive_c/PXI/Desc/A.ini", "[Chassis]\r\nVendor = \"Acme\"\r\n");
  image.MakeFolder("drive_c/PXI/Desc/sub.ini");
  image.Write("drive_c/PXI/Desc/notes.txt", "not a description");
  image.Write("drive_c/ZELTRO/PXI/ChassisMappingID.ini", "[ChassisMappingID]\r\nID1 = 3\r\n");
  image.MakeFolder("drive_c/ZELTRO/ORB");
  image.Write("drive_c/Vendors/ztsimmod.ini",
              "[SystemModule]\nVendor = Acme\nModel = S1\nUniqueName = SYS-1\n"
              "AddressInfo = PCI::0::1::0\nEepromVendor = Acme\nInfo.100 = 1\nInfo.101 = 2\n"
              "Info.105 = 3\n"
              "[PeripheralModule]\nVendor = Acme\nModel = P1\nUniqueName = \" P one \"\n"
              "AddressInfo = PCI::3::0::0\nReportedCount = 3\nInfo.100 = 3\nInfo.102 = 4\n"
              "[PeripheralModule]\nVendor = Acme\nModel = P1\nUniqueName = P2\n"
              "AddressInfo = PCI::4::0::0\nInfo.102 = 5\n");
  fs::copy_file(std::string(ZTRM_SIMMODULE_DIR) + "/ztsimmod.so", image.Path("drive_c/Vendors/acme.so"));
}

TEST(CaptureReplay, ASmallSystemIsCapturedAsExpected) {
  TestImage image;
  WriteSmallSystem(image);
  CaptureOutcome outcome = CaptureInto(image);
  ASSERT_TRUE(outcome.written) << outcome.refusal;
  const std::string c = std::string(kCaptureFolder) + "/";
  EXPECT_EQ(RegistryText(image.Read(c + "registry.reg")),
            ReadSourceFile("tests/expected/capture/small_registry.reg.txt"));
  EXPECT_EQ(image.Read(c + "drive_c/Vendors/ztsimmod.ini"),
            ReadSourceFile("tests/expected/capture/small_ztsimmod.ini"));
  EXPECT_EQ(image.Read(c + "capture.txt"), ReadSourceFile("tests/expected/capture/small_capture.txt"));
  EXPECT_EQ(image.Read(c + "simulated_libraries.txt"), "ztsimmod\tC:\\Vendors\\acme.dll\n");
  EXPECT_EQ(image.Read(c + "drive_c/ProgramData/PXISA/configuration.ini"),
            "[ResourceManager]\r\nName = ZELTRO Technology\r\n");
  EXPECT_EQ(image.Read(c + "drive_c/PXI/Desc/A.ini"), "[Chassis]\r\nVendor = \"Acme\"\r\n");
  EXPECT_TRUE(fs::is_directory(image.Path(c + "drive_c/PXI/Desc/sub.ini")));
  EXPECT_FALSE(image.Exists(c + "drive_c/PXI/Desc/notes.txt"));
  EXPECT_EQ(image.Read(c + "drive_c/ZELTRO/PXI/ChassisMappingID.ini"),
            "[ChassisMappingID]\r\nID1 = 3\r\n");
  EXPECT_TRUE(fs::is_directory(image.Path(c + "drive_c/ZELTRO/ORB")));
  EXPECT_TRUE(fs::is_directory(image.Path(c + "drive_c/windows")));
  // Nothing but the image's own files.
  std::vector<std::string> top;
  for (const auto& entry : fs::directory_iterator(image.Path(kCaptureFolder))) {
    top.push_back(entry.path().filename().string());
  }
  std::sort(top.begin(), top.end());
  EXPECT_EQ(top, (std::vector<std::string>{"capture.txt", "drive_c", "registry.reg",
                                           "simulated_libraries.txt"}));
}

TEST(CaptureReplay, ASmallSystemReplaysToTheSameFiles) {
  TestImage image;
  WriteSmallSystem(image);
  RunFiles original = RunOn(image.root());
  ASSERT_TRUE(CaptureInto(image).written);
  RunFiles replay;
  EXPECT_EQ(Replay(image, replay), "");
  EXPECT_EQ(replay.log, original.log);
  EXPECT_EQ(replay.pxisys, original.pxisys);
  EXPECT_EQ(replay.pxiesys, original.pxiesys);
  // The unloadable library stays unloadable.
  EXPECT_NE(replay.log.find("PeripheralModule_LoadLibrary = C:\\Vendors\\gone.dll = Fail"),
            std::string::npos);
}

TEST(CaptureReplay, LibrariesThatLackExportsReplayAlike) {
  TestImage image;
  CopyImage(std::string(ZTRM_SOURCE_DIR) + "/tests/e2e/images/vendor_variants", image);
  RunFiles original = RunOn(image.root());
  ASSERT_TRUE(CaptureInto(image).written);
  RunFiles replay;
  EXPECT_EQ(Replay(image, replay), "");
  EXPECT_EQ(replay.log, original.log);
  EXPECT_EQ(replay.pxisys, original.pxisys);
  EXPECT_EQ(replay.pxiesys, original.pxiesys);
  EXPECT_EQ(replay.buslist, original.buslist);
}

TEST(CaptureReplay, AFolderThatIsNotEmptyIsRefusedAndLeftAlone) {
  TestImage image;
  WriteSmallSystem(image);
  image.Write(std::string(kCaptureFolder) + "/mine.txt", "keep");
  CaptureOutcome outcome = CaptureInto(image);
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.refusal, "C:\\capture is not empty");
  std::vector<std::string> entries;
  for (const auto& entry : fs::directory_iterator(image.Path(kCaptureFolder))) {
    entries.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(entries, std::vector<std::string>{"mine.txt"});
  EXPECT_EQ(image.Read(std::string(kCaptureFolder) + "/mine.txt"), "keep");
}

TEST(CaptureReplay, AnEmptyFolderIsUsedAndAMissingOneMade) {
  for (bool exists : {true, false}) {
    TestImage image;
    WriteSmallSystem(image);
    if (exists) image.MakeFolder(kCaptureFolder);
    EXPECT_TRUE(CaptureInto(image).written) << exists;
    EXPECT_TRUE(image.Exists(std::string(kCaptureFolder) + "/registry.reg")) << exists;
  }
  TestImage image;
  WriteSmallSystem(image);
  NativePlatform native(image.root());
  InProcessAnswerSource answers(native.platform().libraries);
  CaptureOutcome outcome = CaptureSystem(native.platform(), answers, u"C:\\no\\such\\parent");
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.refusal, "cannot make the folder C:\\no\\such\\parent");
  EXPECT_FALSE(image.Exists("drive_c/no"));
}

// Answers through the helper protocol; the runner plays a helper that
// crashes, hangs or prints half its answers for one library.
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

TEST(CaptureReplay, ALibraryThatFailsInItsHelperIsRecordedAndReplaysAsUnloadable) {
  struct Case {
    HelperRun run;
    const char* failure;
  };
  HelperRun crashed{HelperRun::Outcome::kEnded, 0xC0000005, "loaded 1\nexports 1023\n"};
  HelperRun hung{HelperRun::Outcome::kTimedOut, 0, ""};
  HelperRun garbage{HelperRun::Outcome::kEnded, 0, "loaded 1\nexports 1023\ncount 1\n"};
  HelperRun absent{HelperRun::Outcome::kNotStarted, 0, ""};
  const Case cases[] = {
      {crashed, "the helper process ended with 0xC0000005"},
      {hung, "no answer within 10 s"},
      {garbage, "the helper process gave incomplete answers"},
      {absent, "the helper process did not start"},
  };
  for (const Case& c : cases) {
    TestImage image;
    WriteSmallSystem(image);
    NativePlatform native(image.root());
    PlayedHelpers helpers(native.platform().libraries, "C:\\Vendors\\acme.dll", c.run);
    HelperAnswerSource answers(helpers, kHelperTimeoutMs);
    CaptureOutcome outcome = CaptureSystem(native.platform(), answers, kCaptureDir);
    ASSERT_TRUE(outcome.written);
    EXPECT_EQ(helpers.timeouts, std::vector<std::uint32_t>(3, 10000u));
    std::string text = image.Read(std::string(kCaptureFolder) + "/capture.txt");
    EXPECT_NE(text.find(std::string("library C:\\Vendors\\acme.dll (Acme/S1, Acme/P1): failed (") +
                        "Acme/S1: " + c.failure + "; Acme/P1: " + c.failure +
                        "); the replay cannot load it\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(image.Read(std::string(kCaptureFolder) + "/simulated_libraries.txt"), "");
    RunFiles replay;
    EXPECT_EQ(Replay(image, replay), "");
    EXPECT_NE(replay.log.find("LoadLibraryW Fail\r\r\n"), std::string::npos);
    EXPECT_NE(replay.log.find("PeripheralModule_LoadLibrary = C:\\Vendors\\acme.dll = Fail"),
              std::string::npos);
  }
}

TEST(ImageRelativePath, MapsDriveCOnly) {
  EXPECT_EQ(ImageRelativePath(u"C:\\a\\b.ini"), WString(u"drive_c\\a\\b.ini"));
  EXPECT_EQ(ImageRelativePath(u"c:\\\\a"), WString(u"drive_c\\a"));
  EXPECT_EQ(ImageRelativePath(u"C:\\"), WString(u"drive_c"));
  EXPECT_EQ(ImageRelativePath(u"D:\\a"), std::nullopt);
  EXPECT_EQ(ImageRelativePath(u"\\\\server\\share\\a"), std::nullopt);
  EXPECT_EQ(ImageRelativePath(u"C:a"), std::nullopt);
  EXPECT_EQ(ImageRelativePath(u""), std::nullopt);
}

}  // namespace
}  // namespace ztrm
