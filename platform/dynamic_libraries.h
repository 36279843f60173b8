// Vendor module libraries: load, look up a PXISA_* export, call it, free.
//
// The exports are stdcall functions of a few shapes; a call names the export
// and passes the arguments of its shape. The caller presets every out value and
// calls only exports that HasExport reported present.
#ifndef ZTRM_PLATFORM_DYNAMIC_LIBRARIES_H_
#define ZTRM_PLATFORM_DYNAMIC_LIBRARIES_H_

#include <cstdint>
#include <memory>

#include "common/wide_text.h"

namespace ztrm {

class VendorLibrary {
 public:
  virtual ~VendorLibrary() = default;  // FreeLibrary
  virtual bool HasExport(const char* export_name) = 0;

  // (vendor, model, out count): the GetCount exports.
  virtual void CallGetCount(const char* export_name, const char* vendor, const char* model,
                            std::uint32_t* count) = 0;
  // (vendor, model, index, out char[260] unique name, out char[260] address
  // info): the GetName exports.
  virtual void CallGetName(const char* export_name, const char* vendor, const char* model,
                           std::uint32_t index, char* unique_name, char* address_info) = 0;
  // (unique name, address info, out byte[260]): GetChassisEEPROM.
  virtual void CallGetChassisEeprom(const char* export_name, const char* unique_name,
                                    const char* address_info, std::uint8_t* eeprom) = 0;
  // (unique name, address info, item, out value): the GetInformation exports.
  virtual void CallGetInformation(const char* export_name, const char* unique_name,
                                  const char* address_info, std::uint32_t item,
                                  std::uint32_t* value) = 0;
  // (vendor, model, root index, chassis number, out bus): GetPCIRootBusNumber.
  virtual void CallGetPciRootBusNumber(const char* export_name, const char* vendor,
                                       const char* model, std::uint32_t root_index,
                                       std::uint32_t chassis_number, std::uint32_t* bus) = 0;
};

class DynamicLibraries {
 public:
  virtual ~DynamicLibraries() = default;
  // LoadLibraryW; null when the library cannot be loaded.
  virtual std::unique_ptr<VendorLibrary> Load(WStringView path) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_DYNAMIC_LIBRARIES_H_
