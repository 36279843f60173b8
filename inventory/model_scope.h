// What module discovery holds while it asks one model's vendor module library,
// and the calls every stage makes the same way.
#ifndef ZTRM_INVENTORY_MODEL_SCOPE_H_
#define ZTRM_INVENTORY_MODEL_SCOPE_H_

#include <array>
#include <cstdint>

#include "enumeration/run_context.h"
#include "inventory/inventory_records.h"
#include "inventory/vendor_exports.h"
#include "platform/dynamic_libraries.h"

namespace ztrm {

// The buffers the exports write into, zero-filled once per discovery: an
// export that writes nothing leaves the previous module's bytes in place.
// Each name buffer has one byte more than the library is told of, which
// stays zero, so an unterminated name still ends there.
struct DiscoveryBuffers {
  std::array<char, kVendorBufferSize + 1> unique_name{};
  std::array<char, kVendorBufferSize + 1> address_info{};
  std::array<std::uint8_t, kVendorBufferSize> eeprom{};
};

// The log lines that tell the three stages apart.
struct StageText {
  const char16_t* banner;
  const char16_t* empty_list;
  const char16_t* load_success;
  const char16_t* load_failure;  // holds the library path when it has a "%s"
  const char16_t* summary;
  const char* count_export;
  const char16_t* count_import_failure;
  const char16_t* count_line;
  const char16_t* count_none_line;
  const char16_t* count_limit_line;  // read, read, the run's bound
  std::uint32_t max_per_run;         // records of this kind a run reads at most
};

// Vendor or model name as the library gets it: the registry name in the
// process's code page, at most 259 bytes, in a 260-byte buffer.
struct NarrowName {
  NarrowName(const RunContext& ctx, const WideText& name);
  std::array<char, kVendorBufferSize> bytes{};
  const char* c_str() const { return bytes.data(); }
};

// One model with its library loaded.
struct ModelScope {
  ModelScope(RunContext& c, DiscoveryBuffers& b, VendorLibrary& l, const PxisaVendorEntry& v,
             PxisaModelEntry& m)
      : ctx(c), buffers(b), library(l), vendor(v), model(m), vendor_narrow(c, v.VendorName),
        model_narrow(c, m.ModelName) {}

  RunContext& ctx;
  DiscoveryBuffers& buffers;
  VendorLibrary& library;
  const PxisaVendorEntry& vendor;
  PxisaModelEntry& model;
  NarrowName vendor_narrow;
  NarrowName model_narrow;
  bool error = false;          // an export the model needs is missing
  std::uint32_t read_count = 0;  // modules to read: the reported count, bounded
};

// A name a library wrote, up to its first zero byte within `size` bytes, as
// wide text in the process's code page.
WideText WidenName(const RunContext& ctx, const char* bytes, std::size_t size);

// GetCount into ModuleCount and read_count, with its log lines; false when
// the export is missing (the error mark is set then). `already_read`: the
// records of this kind the run holds so far; read_count keeps the run's
// total within the stage's bound.
bool CountModules(ModelScope& s, const StageText& text, std::size_t already_read);

// How many records the models of a service list hold.
std::size_t RecordCount(const PxisaServiceList& list);

// GetName of module `index` into the record's UniqueName and AddressInfo.
void ReadModuleName(ModelScope& s, const char* export_name, std::uint32_t index,
                    ModuleRecord& record);

// One GetInformation item of the module whose names the buffers hold.
std::uint32_t ReadInformation(ModelScope& s, const char* export_name, std::uint32_t item);

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_MODEL_SCOPE_H_
