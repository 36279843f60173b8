// The bench of the stage tests: a system image, the native platform over it
// with decorators that record profile calls, run a hook after a folder
// listing, answer from scripted vendor libraries and count driver requests,
// and a run context whose run log and standard output are kept in memory.
#ifndef ZTRM_TESTS_STAGE_BENCH_H_
#define ZTRM_TESTS_STAGE_BENCH_H_

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

// A vendor library that answers through the callbacks a test sets; an unset
// callback is a missing export.
struct ScriptedLibrary {
  std::function<void(const char*, const char*, std::uint32_t*)> system_count, peripheral_count,
      chassis_count;
  std::function<void(const char*, const char*, std::uint32_t, char*, char*)> system_name,
      peripheral_name;
  std::function<void(const char*, const char*, std::uint8_t*)> eeprom;
  std::function<void(const char*, const char*, std::uint32_t, std::uint32_t*)> system_info,
      peripheral_info;
  std::function<void(const char*, const char*, std::uint32_t, std::uint32_t, std::uint32_t*)>
      root_bus;
  bool smbus = true;
};

// Libraries by path: a path in `scripted` loads that script, any other path
// goes to the native loader. Counts loads and frees per path.
class ScriptedLibraries : public DynamicLibraries {
 public:
  explicit ScriptedLibraries(DynamicLibraries& inner) : inner_(inner) {}
  std::unique_ptr<VendorLibrary> Load(WStringView path) override;

  std::map<WString, ScriptedLibrary> scripted;
  std::map<WString, int> loads;
  std::map<WString, int> frees;

 private:
  DynamicLibraries& inner_;
};

// Counts opens and requests.
class CountingDriver : public ResourceDriver {
 public:
  explicit CountingDriver(ResourceDriver& inner) : inner_(inner) {}
  DriverHandle Open() override {
    ++opens;
    return inner_.Open();
  }
  bool Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in, std::size_t in_size,
               std::uint8_t* out, std::size_t out_size) override;
  void Close(DriverHandle handle) override { inner_.Close(handle); }

  int opens = 0;
  std::vector<std::uint32_t> codes;       // every request's code, in order
  std::vector<int> upstream_buses;        // the bus of every upstream request

 private:
  ResourceDriver& inner_;
};

// The registry body lines of a simulated resource driver with these
// Parameters values (each "name"=value line given whole).
std::string DriverRegistry(const std::vector<std::string>& parameter_lines);

// The platform starts, reading the registry, at the first call of anything
// but `image`: write the registry first.
class StageBench {
 public:
  // `registry_body`: registry.reg without its header line, if any.
  explicit StageBench(const std::string& registry_body = "");
  ~StageBench();

  TestImage image;

  RunContext& Context();
  NativePlatform& native();
  RecordingProfiles& profiles();
  HookedFiles& files();
  ScriptedLibraries& libraries();
  CountingDriver& driver();
  std::string Console();
  // The run log's bytes so far, as the file would hold them (CR LF ends).
  std::string Log();

  // Registry with the description folder value.
  void RegisterDescriptionFolder(const std::string& folder);
  // Writes a file below drive_c ("Desc/a.ini" is C:\Desc\a.ini).
  void WriteC(const std::string& relative, const std::string& bytes) {
    image.Write("drive_c/" + relative, bytes);
  }
  // A file of C:\windows, as bytes; "" when missing.
  std::string WindowsFile(const std::string& name) const { return image.Read("drive_c/windows/" + name); }
  // Copies the native build of simulated module `variant` ("ztsimmod_nocount",
  // ...) to C:\<folder>\<variant>.so with `config` as its ztsimmod.ini.
  void InstallSimModule(const std::string& folder, const std::string& variant,
                        const std::string& config);

 private:
  struct Live;
  Live& live();
  std::string log_;  // before live_: its log stream flushes here when destroyed
  std::unique_ptr<Live> live_;
};

}  // namespace ztrm

#endif  // ZTRM_TESTS_STAGE_BENCH_H_
