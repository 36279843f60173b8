#include "tests/test_image.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "tests/shell_run.h"

namespace ztrm {
namespace fs = std::filesystem;

TestImage::TestImage() {
  static std::atomic<int> counter{0};
  root_ = testing::TempDir() + "ztrm_image_" + std::to_string(::getpid()) + "_" +
          std::to_string(counter++);
  fs::remove_all(root_);
  fs::create_directories(root_ + "/drive_c/windows");
  fs::create_directories(root_ + "/drive_c/ProgramData");
}

TestImage::~TestImage() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void TestImage::Write(const std::string& relative, const std::string& bytes) const {
  fs::path path = Path(relative);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void TestImage::WriteRegistry(const std::string& body) const {
  Write("registry.reg", "Windows Registry Editor Version 5.00\r\n\r\n" + body);
}

void TestImage::MakeFolder(const std::string& relative) const { fs::create_directories(Path(relative)); }

std::string TestImage::Read(const std::string& relative) const {
  std::ifstream in(Path(relative), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool TestImage::Exists(const std::string& relative) const { return fs::exists(Path(relative)); }

std::string ReadSourceFile(const std::string& relative) {
  std::ifstream in(std::string(ZTRM_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string ShellQuote(const std::string& s) {
  std::string quoted = "'";
  for (char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

void BuildImage(const TestImage& image, const std::string& from, const std::string& change) {
  const std::string script =
      "SRC=$1 BUILD=$3\n. \"$SRC/tests/hostile/lib.sh\" \"$2\"\ncp -r \"$SRC/$4/.\" \"$IMAGE/\"\n"
      "if [ -f \"$SRC/$4/make.sh\" ]; then bash \"$SRC/$4/make.sh\" \"$IMAGE\"; fi\n" +
      change + "\nbash \"$SRC/simmodule/install_into_image.sh\" \"$IMAGE\" \"$BUILD\"\n";
  ShellResult made = RunShell("bash -c " + ShellQuote(script) + " bash " + ShellQuote(ZTRM_SOURCE_DIR) + " " +
                              ShellQuote(image.root()) + " " +
                              ShellQuote(fs::path(ZTRM_SIMMODULE_DIR).parent_path().string()) + " " +
                              ShellQuote(from) + " 2>&1");
  ASSERT_EQ(made.exit_code, 0) << from << ": " << change << "\n" << made.out;
}

}  // namespace ztrm
