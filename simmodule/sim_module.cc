// The ZELTRO simulated vendor module: a PXISA vendor module library that
// answers from the configuration file ztsimmod.ini in its own folder instead
// of from hardware. The same source builds as the Windows DLL (stdcall
// exports, undecorated names through a .def file) and as the native shared
// library that the native platform loads in its place.
//
// The file is read at the first call after the library is loaded; a library
// is loaded anew for every model, so an edited file counts from the next
// model on. A call about a module, chassis, item or root bus the file does not
// name writes nothing. Builds with ZTSIM_OMIT_<export name> defined lack that
// export, so a system can be tried against a library that misses it.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "simmodule/sim_config.h"

#if defined(_WIN32)
#include <windows.h>
#define ZTSIM_EXPORT extern "C"
#define ZTSIM_CALL __stdcall
#else
#include <dlfcn.h>
#define ZTSIM_EXPORT extern "C" __attribute__((visibility("default")))
#define ZTSIM_CALL
#endif

namespace {

using ztsim::Kind;
using ztsim::SimConfig;
using ztsim::SimItem;

constexpr std::size_t kNameBuffer = 260;
constexpr char kConfigName[] = "ztsimmod.ini";

std::string ReadWhole(std::FILE* file) {
  std::string text;
  if (!file) return text;
  char chunk[4096];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
  std::fclose(file);
  return text;
}

#if defined(_WIN32)
std::string ReadConfigText() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ReadConfigText), &self)) {
    return std::string();
  }
  wchar_t path[MAX_PATH + 32] = {};
  DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  std::wstring folder(path, length);
  folder.erase(folder.find_last_of(L"\\/") + 1);
  std::wstring file = folder + L"ztsimmod.ini";
  return ReadWhole(_wfopen(file.c_str(), L"rb"));
}
#else
std::string ReadConfigText() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ReadConfigText), &info) || !info.dli_fname) {
    return std::string();
  }
  std::string folder(info.dli_fname);
  std::size_t slash = folder.find_last_of('/');
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  return ReadWhole(std::fopen((folder + kConfigName).c_str(), "rb"));
}
#endif

const SimConfig& Config() {
  static const SimConfig config = ztsim::ParseSimConfig(ReadConfigText());
  return config;
}

std::string Text(const char* s) { return s ? std::string(s, strnlen(s, kNameBuffer)) : std::string(); }

// A name into a caller's 260-byte buffer, cut to 259 bytes and terminated.
void PutName(char* out, const std::string& name) {
  if (!out) return;
  std::size_t n = name.size() < kNameBuffer - 1 ? name.size() : kNameBuffer - 1;
  std::memcpy(out, name.data(), n);
  out[n] = 0;
}

// The whole buffer: the name, then '#' to the end, no terminating zero.
void FillName(char* out, const std::string& name) {
  if (!out) return;
  for (std::size_t i = 0; i < kNameBuffer; ++i) out[i] = i < name.size() ? name[i] : '#';
}

[[maybe_unused]] void GetCount(Kind kind, const char* vendor, const char* model, std::uint32_t* count) {
  if (count) *count = Config().Count(kind, Text(vendor), Text(model));
}

[[maybe_unused]] void GetName(Kind kind, const char* vendor, const char* model, std::uint32_t index,
             char* unique_name, char* address_info) {
  if (const SimItem* item = Config().Find(kind, Text(vendor), Text(model), index)) {
    if (item->unterminated_names) {
      FillName(unique_name, item->unique_name);
      FillName(address_info, item->address_info);
    } else {
      PutName(unique_name, item->unique_name);
      PutName(address_info, item->address_info);
    }
  }
}

[[maybe_unused]] void GetInformation(Kind kind, const char* unique_name, const char* address_info,
                    std::uint32_t item_number, std::uint32_t* value) {
  const SimItem* item = Config().FindModule(kind, Text(unique_name), Text(address_info));
  if (!item || !value) return;
  auto found = item->info.find(item_number);
  if (found != item->info.end()) *value = found->second;
}

}  // namespace

#ifndef ZTSIM_OMIT_PXISA_SystemModule_GetCount
ZTSIM_EXPORT int ZTSIM_CALL PXISA_SystemModule_GetCount(const char* vendor, const char* model,
                                                        std::uint32_t* count) {
  GetCount(Kind::kSystemModule, vendor, model, count);
  return 0;
}
#endif

#ifndef ZTSIM_OMIT_PXISA_SystemModule_GetName
ZTSIM_EXPORT int ZTSIM_CALL PXISA_SystemModule_GetName(const char* vendor, const char* model,
                                                       std::uint32_t index, char* unique_name,
                                                       char* address_info) {
  GetName(Kind::kSystemModule, vendor, model, index, unique_name, address_info);
  return 0;
}
#endif

#ifndef ZTSIM_OMIT_PXISA_SystemModule_GetChassisEEPROM
ZTSIM_EXPORT int ZTSIM_CALL PXISA_SystemModule_GetChassisEEPROM(const char* unique_name,
                                                                const char* address_info,
                                                                std::uint8_t* eeprom) {
  const SimItem* item =
      Config().FindModule(Kind::kSystemModule, Text(unique_name), Text(address_info));
  if (item && eeprom) std::memcpy(eeprom, item->eeprom.data(), item->eeprom.size());
  return 0;
}
#endif

#ifndef ZTSIM_OMIT_PXISA_SystemModule_GetInformation
ZTSIM_EXPORT int ZTSIM_CALL PXISA_SystemModule_GetInformation(const char* unique_name,
                                                              const char* address_info,
                                                              std::uint32_t item,
                                                              std::uint32_t* value) {
  GetInformation(Kind::kSystemModule, unique_name, address_info, item, value);
  return 0;
}
#endif

#ifndef ZTSIM_OMIT_PXISA_SystemModule_SMBusOperation
// Present for completeness; the resource manager never calls it.
ZTSIM_EXPORT int ZTSIM_CALL PXISA_SystemModule_SMBusOperation(const char*, const char*,
                                                              std::uint32_t, std::uint32_t,
                                                              std::uint8_t*) {
  return -1;
}
#endif

#ifndef ZTSIM_OMIT_PXISA_PeripheralModule_GetCount
ZTSIM_EXPORT int ZTSIM_CALL PXISA_PeripheralModule_GetCount(const char* vendor, const char* model,
                                                            std::uint32_t* count) {
  GetCount(Kind::kPeripheralModule, vendor, model, count);
  return 0;
}
#endif

#ifndef ZTSIM_OMIT_PXISA_PeripheralModule_GetName
ZTSIM_EXPORT int ZTSIM_CALL PXISA_PeripheralModule_GetName(const char* vendor, const char* model,
                                                           std::uint32_t index, char* unique_name,
                                                           char* address_info) {
  GetName(Kind::kPeripheralModule, vendor, model, index, unique_name, address_info);
  return 0;
}
#endif

#ifndef ZTSIM_OMIT_PXISA_PeripheralModule_GetInformation
ZTSIM_EXPORT int ZTSIM_CALL PXISA_PeripheralModule_GetInformation(const char* unique_name,
                                                                  const char* address_info,
                                                                  std::uint32_t item,
                                                                  std::uint32_t* value) {
  GetInformation(Kind::kPeripheralModule, unique_name, address_info, item, value);
  return 0;
}
#endif

#ifndef ZTSIM_OMIT_PXISA_Chassis_GetCount
ZTSIM_EXPORT int ZTSIM_CALL PXISA_Chassis_GetCount(const char* vendor, const char* model,
                                                   std::uint32_t* count) {
  GetCount(Kind::kChassis, vendor, model, count);
  return 0;
}
#endif

#ifndef ZTSIM_OMIT_PXISA_Chassis_GetPCIRootBusNumber
ZTSIM_EXPORT int ZTSIM_CALL PXISA_Chassis_GetPCIRootBusNumber(const char* vendor, const char* model,
                                                              std::uint32_t root_index,
                                                              std::uint32_t chassis_number,
                                                              std::uint32_t* bus) {
  const SimItem* item = Config().Find(Kind::kChassis, Text(vendor), Text(model), chassis_number);
  if (!item || !bus) return 0;
  auto found = item->root_bus.find(root_index);
  if (found != item->root_bus.end()) *bus = found->second;
  return 0;
}
#endif
