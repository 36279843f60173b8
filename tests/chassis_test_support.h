// Test helpers for the chassis stages: a system image with the native
// platform over it, a run context whose run log is kept in memory, and
// decorators that record profile calls or make a listed file vanish.
#ifndef ZTRM_TESTS_CHASSIS_TEST_SUPPORT_H_
#define ZTRM_TESTS_CHASSIS_TEST_SUPPORT_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chassis/chassis_records.h"
#include "enumeration/run_context.h"
#include "platform/native/native_platform.h"
#include "tests/test_image.h"

namespace ztrm {

// Passes every call on and keeps a record of it.
class RecordingProfiles : public ProfileFiles {
 public:
  struct Call {
    bool write = false;
    WString file, section, key, value;
  };

  explicit RecordingProfiles(ProfileFiles& inner) : inner_(inner) {}
  WString ReadString(WStringView file, WStringView section, WStringView key,
                     WStringView default_value, std::size_t buffer_units) override;
  bool WriteString(WStringView file, WStringView section, WStringView key,
                   WStringView value) override;

  std::vector<Call> calls;
  // "section|key" of every read, in order.
  std::vector<std::string> ReadKeys() const;
  std::size_t WriteCount() const;

 private:
  ProfileFiles& inner_;
};

// Passes every call on; runs `after_listing` once a listing has been made, so
// a test can take a listed file away before it is opened.
class HookedFiles : public FileSystem {
 public:
  explicit HookedFiles(FileSystem& inner) : inner_(inner) {}
  std::unique_ptr<OutputFile> OpenOutput(WStringView path, OutputMode mode) override {
    return inner_.OpenOutput(path, mode);
  }
  std::unique_ptr<InputFile> OpenInput(WStringView path) override { return inner_.OpenInput(path); }
  std::vector<WString> ListEntries(WStringView folder, WStringView pattern) override;
  bool SetCurrentDirectory(WStringView path) override {
    current_directory_changes.emplace_back(path);
    return inner_.SetCurrentDirectory(path);
  }
  bool DirectoryExists(WStringView path) override { return inner_.DirectoryExists(path); }
  bool CreateDirectory(WStringView path) override { return inner_.CreateDirectory(path); }

  std::function<void()> after_listing;
  int listings = 0;
  std::vector<WString> current_directory_changes;

 private:
  FileSystem& inner_;
};

// A system image and, once Context() is first called, the native platform
// over it (with the two decorators in place) and a run context whose run log
// goes to memory. Write the image before calling Context(): the platform
// reads the registry when it starts.
class ChassisBench {
 public:
  ChassisBench();
  ~ChassisBench();

  TestImage image;

  RunContext& Context();
  RecordingProfiles& profiles();
  HookedFiles& files();
  // The run log's bytes so far, as the file would hold them (CR LF ends).
  std::string Log();

  // Registry with the description folder value (absent when `folder` is null).
  void RegisterDescriptionFolder(const char* folder, bool wow6432 = false);
  // Writes a file below drive_c ("Desc/a.ini" is C:\Desc\a.ini).
  void WriteC(const std::string& relative, const std::string& bytes) {
    image.Write("drive_c/" + relative, bytes);
  }

 private:
  struct Live;
  std::string log_;  // before live_: its log stream flushes here when destroyed
  std::unique_ptr<Live> live_;
};

// Every field of a record, one "name=value" line each, values escaped, for
// comparing whole records with a readable difference.
std::string Render(const stPXISys& sys);
std::string Render(const stChassisDescFile& file);
std::string RenderFiles(const std::vector<stChassisDescFile>& files);

// Narrow text widened byte by byte, for expected values.
inline WString W(const std::string& bytes) { return WidenBytes(bytes); }

// ASCII text as a UTF-16LE file holds it, byte order mark first.
inline std::string Utf16Le(const std::string& ascii) {
  std::string out = "\xff\xfe";
  for (char c : ascii) out += std::string{c, '\0'};
  return out;
}

}  // namespace ztrm

#endif  // ZTRM_TESTS_CHASSIS_TEST_SUPPORT_H_
