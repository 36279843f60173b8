// The PXISA_* exports of a vendor module library, by their exact names.
//
// All are stdcall. Vendor and model are the registry names in the process's
// code page; every out number is preset to 0 and no return value is used.
//   SystemModule_GetCount            (vendor, model, out u32 count)
//   SystemModule_GetName             (vendor, model, u32 index 1.., out char[260] unique
//                                     name, out char[260] address info)
//   SystemModule_GetChassisEEPROM    (unique name, address info, out byte[260])
//   SystemModule_GetInformation      (unique name, address info, u32 item, out u32 value)
//   SystemModule_SMBusOperation      looked up, never called
//   PeripheralModule_GetCount/GetName/GetInformation   as the system module's
//   Chassis_GetCount                 (vendor, model, out u32 count)
//   Chassis_GetPCIRootBusNumber      (vendor, model, u32 root index 1.., u32 chassis
//                                     number 1.., out u32 bus)
#ifndef ZTRM_INVENTORY_VENDOR_EXPORTS_H_
#define ZTRM_INVENTORY_VENDOR_EXPORTS_H_

#include <cstddef>
#include <cstdint>

namespace ztrm {

inline constexpr char kSystemModuleGetCount[] = "PXISA_SystemModule_GetCount";
inline constexpr char kSystemModuleGetName[] = "PXISA_SystemModule_GetName";
inline constexpr char kSystemModuleGetChassisEeprom[] = "PXISA_SystemModule_GetChassisEEPROM";
inline constexpr char kSystemModuleGetInformation[] = "PXISA_SystemModule_GetInformation";
inline constexpr char kSystemModuleSmBusOperation[] = "PXISA_SystemModule_SMBusOperation";
inline constexpr char kPeripheralModuleGetCount[] = "PXISA_PeripheralModule_GetCount";
inline constexpr char kPeripheralModuleGetName[] = "PXISA_PeripheralModule_GetName";
inline constexpr char kPeripheralModuleGetInformation[] = "PXISA_PeripheralModule_GetInformation";
inline constexpr char kChassisGetCount[] = "PXISA_Chassis_GetCount";
inline constexpr char kChassisGetPciRootBusNumber[] = "PXISA_Chassis_GetPCIRootBusNumber";

// Size of the name buffers and of the EEPROM buffer handed to the exports.
inline constexpr std::size_t kVendorBufferSize = 260;

// At most this many system modules, and this many peripheral modules, are
// read in one run, whatever counts the libraries report: 8,192 is 256 buses
// of 32 devices, every PCI device address a system has, so no system that can
// exist is ever cut (255 PXI Express chassis, each a controller and 31
// peripheral slots, are 8,160 modules), while an absurd count costs at most
// 8,192 records (about 24 MB) and their calls, however many models report one.
inline constexpr std::uint32_t kMaxModulesPerRun = 8192;
// Chassis: each is known by a root bus from 1 to 255, so no system has more
// than 255; a run reads at most 256 whatever the libraries report. (Every
// chassis asks for as many root buses as its description has bus segments.)
inline constexpr std::uint32_t kMaxChassisPerRun = 256;

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_VENDOR_EXPORTS_H_
