// Test helpers for the inventory stages: a system image with the native
// platform over it, standard output and the run log kept in memory, and an
// in-process vendor library whose answers a test scripts.
#ifndef ZTRM_TESTS_INVENTORY_TEST_SUPPORT_H_
#define ZTRM_TESTS_INVENTORY_TEST_SUPPORT_H_

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "enumeration/run_context.h"
#include "platform/native/native_platform.h"
#include "tests/test_image.h"

namespace ztrm {

class RecordingConsole : public Console {
 public:
  void Write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
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

class InventoryBench {
 public:
  InventoryBench();
  ~InventoryBench();

  TestImage image;

  // Write the image (registry first) before the first call: the platform
  // reads the registry when it starts.
  RunContext& Context();
  ScriptedLibraries& libraries();
  std::string Console();
  // The run log's bytes so far (CR LF ends as in the file).
  std::string Log();

  // Copies the native build of simulated module `variant` ("ztsimmod_nocount",
  // ...) to C:\<folder>\<variant>.so with `config` as its ztsimmod.ini.
  void InstallSimModule(const std::string& folder, const std::string& variant,
                        const std::string& config);

 private:
  struct Live;
  std::string log_;  // before live_: its log stream flushes here when destroyed
  std::unique_ptr<Live> live_;
};

}  // namespace ztrm

#endif  // ZTRM_TESTS_INVENTORY_TEST_SUPPORT_H_
