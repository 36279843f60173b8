// What one registered model's vendor module library answers, asked the way
// module discovery asks it, and the text form in which a helper process hands
// those answers back.
//
// The service zero-fills its name and EEPROM buffers once per discovery and
// passes the same buffers to every call, so a library that writes nothing (or
// only part of a name) leaves the previous module's bytes for the service to
// read. Asking keeps such a copy of the service's buffers (ServiceBuffers)
// and tells which bytes a call wrote by making it twice, into a scratch
// buffer of all 0x00 bytes and one of all 0xFF bytes: a byte that comes back
// the same in both was written. The written bytes are then laid over the
// kept buffers, so each module's answer is what the service would read, and
// the kept buffers go on to the next model.
#ifndef ZTRM_CAPTURE_MODEL_ANSWERS_H_
#define ZTRM_CAPTURE_MODEL_ANSWERS_H_

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/wide_text.h"
#include "inventory/vendor_exports.h"
#include "platform/dynamic_libraries.h"

namespace ztrm {

enum class ModuleStage { kSystem, kPeripheral, kChassis };

// The ten exports, as bits of ModelAnswers::exports in this order.
inline constexpr const char* kAllVendorExports[] = {
    kSystemModuleGetCount,         kSystemModuleGetName,      kSystemModuleGetChassisEeprom,
    kSystemModuleGetInformation,   kSystemModuleSmBusOperation, kPeripheralModuleGetCount,
    kPeripheralModuleGetName,      kPeripheralModuleGetInformation, kChassisGetCount,
    kChassisGetPciRootBusNumber};
inline constexpr std::size_t kVendorExportCount = 10;
// The bit of `export_name` (one of kAllVendorExports); 0 for another name.
std::uint32_t ExportBit(const char* export_name);

// The service's name and EEPROM buffers as one discovery leaves them.
struct ServiceBuffers {
  std::array<std::uint8_t, kVendorBufferSize> unique_name{};
  std::array<std::uint8_t, kVendorBufferSize> address_info{};
  std::array<std::uint8_t, kVendorBufferSize> eeprom{};
};

struct ModelRequest {
  ModuleStage stage = ModuleStage::kSystem;
  WString library;     // the model's "Library" value as the service reads it
  std::string vendor;  // vendor and model as the library gets them
  std::string model;
  // Chassis: the root indices asked per chassis (1 to this), the bus segment
  // count of the description the service would match.
  std::uint32_t root_indices = 0;
};

// One module (or chassis), as the service would read it.
struct ModuleAnswer {
  std::array<std::uint8_t, kVendorBufferSize> unique_name{};  // buffers after GetName
  std::array<std::uint8_t, kVendorBufferSize> address_info{};
  std::array<std::uint8_t, kVendorBufferSize> eeprom{};  // after GetChassisEEPROM
  std::map<std::uint32_t, std::uint32_t> info;       // non-zero GetInformation answers
  std::map<std::uint32_t, std::uint32_t> root_bus;   // non-zero root bus answers, by root index
};

struct ModelAnswers {
  bool loaded = false;
  std::uint32_t exports = 0;  // ExportBit of each export present
  std::uint32_t count = 0;    // GetCount's answer (0 when missing)
  std::vector<ModuleAnswer> modules;  // at most MaxRecordsPerRun(stage)
  ServiceBuffers buffers_after;       // the kept buffers after this model
};

// The most records of `stage`'s kind the service reads in a run, so the most
// one model can give it.
std::uint32_t MaxRecordsPerRun(ModuleStage stage);

// The GetInformation items the service asks of a module of `stage`.
const std::vector<std::uint32_t>& InformationItems(ModuleStage stage);

// Loads `request.library` and asks it what module discovery would ask, in the
// same order, starting from `buffers`. Not loadable: loaded false, buffers
// passed through.
ModelAnswers AskModel(DynamicLibraries& libraries, const ModelRequest& request,
                      const ServiceBuffers& buffers);

// The answers as text, one item a line, ending in "end"; Parse refuses
// anything else, a text cut short included (a helper that died mid-way).
std::string FormatModelAnswers(const ModelAnswers& answers);
std::optional<ModelAnswers> ParseModelAnswers(std::string_view text);

// A request and the buffers as command line words for the helper process
// (hexadecimal, so no quoting can break them), and back; nullopt when the
// words do not read.
std::vector<std::string> FormatModelRequest(const ModelRequest& request,
                                            const ServiceBuffers& buffers);
std::optional<std::pair<ModelRequest, ServiceBuffers>> ParseModelRequest(
    const std::vector<std::string>& words);

}  // namespace ztrm

#endif  // ZTRM_CAPTURE_MODEL_ANSWERS_H_
