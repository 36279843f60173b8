// A throw-away system image folder for tests: registry.reg plus drive_c/.
#ifndef ZTRM_TESTS_TEST_IMAGE_H_
#define ZTRM_TESTS_TEST_IMAGE_H_

#include <string>

namespace ztrm {

class TestImage {
 public:
  // Creates an empty image folder under the test temp folder, with
  // drive_c/windows and drive_c/ProgramData present as in a fresh prefix.
  TestImage();
  ~TestImage();  // removes the folder
  TestImage(const TestImage&) = delete;
  TestImage& operator=(const TestImage&) = delete;

  const std::string& root() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

  // Writes `bytes` to `relative` (folders made as needed), replacing it.
  void Write(const std::string& relative, const std::string& bytes) const;
  void WriteRegistry(const std::string& body) const;  // header line added
  void MakeFolder(const std::string& relative) const;
  // The file's bytes; empty when it does not exist.
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::string root_;
};

// Reads a file of the source tree (expected outputs kept beside the tests).
std::string ReadSourceFile(const std::string& relative);

// `s` in single quotes, one word of a shell command line.
std::string ShellQuote(const std::string& s);

// Builds a system image in `image`: the source tree's folder `from` copied
// in and its make.sh run when it has one, then the bash `change` with
// tests/hostile/lib.sh's helpers and variables at hand (SRC is the source
// tree), then the simulated vendor module's native builds put beside every
// ztsimmod.ini. A failed step fails the test fatally.
void BuildImage(const TestImage& image, const std::string& from, const std::string& change = "");

}  // namespace ztrm

#endif  // ZTRM_TESTS_TEST_IMAGE_H_
