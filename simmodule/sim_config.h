// What the simulated vendor module reports, read from its configuration file
// (ztsimmod.ini beside the library; the README describes the format).
//
// Plain C++ without any operating-system call, so the same code answers in
// the Windows DLL and in the native shared library.
#ifndef ZTRM_SIMMODULE_SIM_CONFIG_H_
#define ZTRM_SIMMODULE_SIM_CONFIG_H_

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ztsim {

inline constexpr std::size_t kEepromBufferSize = 260;

enum class Kind { kSystemModule, kPeripheralModule, kChassis };

// One [SystemModule], [PeripheralModule] or [Chassis] section.
struct SimItem {
  Kind kind = Kind::kSystemModule;
  std::string vendor;  // the registry vendor and model names it serves
  std::string model;
  std::string unique_name;
  std::string address_info;
  std::array<std::uint8_t, kEepromBufferSize> eeprom{};
  std::map<std::uint32_t, std::uint32_t> info;      // GetInformation item -> value
  std::map<std::uint32_t, std::uint32_t> root_bus;  // root index (1-based) -> bus
  // ReportedCount: what GetCount answers for this item's kind, vendor and
  // model instead of the number of such sections (the first item that sets
  // it decides), so a test can play a library that reports nonsense.
  bool has_reported_count = false;
  std::uint32_t reported_count = 0;
  // UnterminatedNames = 1: GetName fills both 260-byte buffers to the end
  // with the names followed by '#', without a terminating zero.
  bool unterminated_names = false;
  // CountDelayMs: GetCount for this item's kind, vendor and model first waits
  // so long (the first item that sets it decides), so a test can play a slow
  // library and hold a run open for a while.
  std::uint32_t count_delay_ms = 0;
};

struct SimConfig {
  std::vector<SimItem> items;  // in file order

  // The `number`-th (1-based) item of `kind` that serves vendor/model; null
  // when there is none.
  const SimItem* Find(Kind kind, std::string_view vendor, std::string_view model,
                      std::uint32_t number) const;
  std::uint32_t Count(Kind kind, std::string_view vendor, std::string_view model) const;
  std::uint32_t CountDelayMs(Kind kind, std::string_view vendor, std::string_view model) const;
  // The first module of `kind` with this unique name and address info.
  const SimItem* FindModule(Kind kind, std::string_view unique_name,
                            std::string_view address_info) const;

  // Positions of the items by kind, vendor and model, and of the first item
  // by kind, unique name and address info, so that a library of a thousand
  // modules answers each call without a pass over them all. The lookups
  // answer from these: ParseSimConfig builds them, and a caller that changes
  // `items` afterwards calls Index() again.
  void Index();

 private:
  static std::string Key(Kind kind, std::string_view a, std::string_view b);
  std::unordered_map<std::string, std::vector<std::size_t>> by_model_;
  std::unordered_map<std::string, std::size_t> by_name_;
};

// Parses the file's text. Lines that do not read as a known section or key
// are ignored, as are keys before the first section; numbers are decimal or
// 0x-prefixed hexadecimal, anything unreadable counts as 0.
SimConfig ParseSimConfig(std::string_view text);

}  // namespace ztsim

#endif  // ZTRM_SIMMODULE_SIM_CONFIG_H_
