// The ZELTRO simulated vendor module: a PXISA vendor module library that
// answers from the configuration file ztsimmod.ini in its own folder instead
// of from hardware. The same source builds as the Windows DLL (stdcall
// exports, undecorated names through a .def file) and as the native shared
// library that the native platform loads in its place.
//
// The parsed file is kept while the file's size and modification time (and,
// natively, its inode and change time) stay as they were. Every GetCount (an
// enumeration of a model starts with one) looks at the file and parses it
// again only when it changed; the other calls answer from the parse the last
// GetCount saw (parsing the file when there is none yet), as a real module
// answers from the hardware it found. An edited file counts from the next
// GetCount on. The native library stays loaded once loaded
// (linked with -z nodelete) so that the parse outlives the loader's dlclose
// of each model; the Windows DLL keeps it for as long as it is loaded. A call about a module, chassis, item or root bus the file does not
// name writes nothing. Builds with ZTSIM_OMIT_<export name> defined lack that
// export, so a system can be tried against a library that misses it.
#include <cstdio>
#include <cstring>
#include <memory>
#if !defined(_WIN32)
#include <mutex>
#endif
#include <string>

#include "simmodule/sim_config.h"

#if defined(_WIN32)
#include <windows.h>
#define ZTSIM_EXPORT extern "C"
#define ZTSIM_CALL __stdcall
#else
#include <dlfcn.h>
#include <sys/stat.h>
#include <time.h>
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

// What tells one version of the file from another; all zero when it is
// missing or unreadable.
struct FileStamp {
  unsigned long long size = 0, modified = 0, modified_fraction = 0, inode = 0, changed = 0,
                     changed_fraction = 0;
  bool present = false;
  bool operator==(const FileStamp& o) const {
    return size == o.size && modified == o.modified && modified_fraction == o.modified_fraction &&
           inode == o.inode && changed == o.changed && changed_fraction == o.changed_fraction &&
           present == o.present;
  }
};

#if defined(_WIN32)
std::wstring ConfigPath() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ConfigPath), &self)) {
    return std::wstring();
  }
  wchar_t path[MAX_PATH + 32] = {};
  DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring folder(path, length);
  folder.erase(folder.find_last_of(L"\\/") + 1);
  return folder + L"ztsimmod.ini";
}

FileStamp StampOf(const std::wstring& path) {
  FileStamp stamp;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    return stamp;
  }
  stamp.present = true;
  stamp.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.modified = (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                   data.ftLastWriteTime.dwLowDateTime;
  return stamp;
}

std::string ReadConfigText(const std::wstring& path) {
  return path.empty() ? std::string() : ReadWhole(_wfopen(path.c_str(), L"rb"));
}
#else
std::string ConfigPath() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ConfigPath), &info) || !info.dli_fname) {
    return std::string();
  }
  std::string folder(info.dli_fname);
  std::size_t slash = folder.find_last_of('/');
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  return folder + kConfigName;
}

FileStamp StampOf(const std::string& path) {
  FileStamp stamp;
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return stamp;
  stamp.present = true;
  stamp.size = static_cast<unsigned long long>(st.st_size);
  stamp.modified = static_cast<unsigned long long>(st.st_mtim.tv_sec);
  stamp.modified_fraction = static_cast<unsigned long long>(st.st_mtim.tv_nsec);
  stamp.inode = static_cast<unsigned long long>(st.st_ino);
  stamp.changed = static_cast<unsigned long long>(st.st_ctim.tv_sec);
  stamp.changed_fraction = static_cast<unsigned long long>(st.st_ctim.tv_nsec);
  return stamp;
}

std::string ReadConfigText(const std::string& path) {
  return path.empty() ? std::string() : ReadWhole(std::fopen(path.c_str(), "rb"));
}
#endif

// Serializes Config(); std::mutex is missing from mingw-w64's win32 thread model.
class ConfigLock {
 public:
#if defined(_WIN32)
  void Acquire() { AcquireSRWLockExclusive(&lock_); }
  void Release() { ReleaseSRWLockExclusive(&lock_); }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
#else
  void Acquire() { mutex_.lock(); }
  void Release() { mutex_.unlock(); }

 private:
  std::mutex mutex_;
#endif
};

class ConfigLockHolder {
 public:
  explicit ConfigLockHolder(ConfigLock& lock) : lock_(lock) { lock_.Acquire(); }
  ~ConfigLockHolder() { lock_.Release(); }
  ConfigLockHolder(const ConfigLockHolder&) = delete;
  ConfigLockHolder& operator=(const ConfigLockHolder&) = delete;

 private:
  ConfigLock& lock_;
};

// The configuration as the file now is (`look_at_file`), or as it was last
// looked at. Shared so that a caller on another thread keeps the version it
// started with while the file is parsed again.
std::shared_ptr<const SimConfig> Config(bool look_at_file) {
  static ConfigLock mutex;
  static std::shared_ptr<const SimConfig> parsed;
  static FileStamp parsed_stamp;
  static const auto path = ConfigPath();
  if (!look_at_file) {
    ConfigLockHolder lock(mutex);
    if (parsed) return parsed;
  }
  FileStamp stamp = StampOf(path);
  ConfigLockHolder lock(mutex);
  if (!parsed || !(stamp == parsed_stamp)) {
    // Kept under the stamp taken before reading: a change while reading
    // shows as a new stamp at the next call, which then reads again.
    parsed = std::make_shared<const SimConfig>(ztsim::ParseSimConfig(ReadConfigText(path)));
    parsed_stamp = stamp;
  }
  return parsed;
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

void Wait(std::uint32_t milliseconds) {
#if defined(_WIN32)
  Sleep(milliseconds);
#else
  struct timespec time = {static_cast<time_t>(milliseconds / 1000),
                          static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&time, &time) != 0) {
  }
#endif
}

[[maybe_unused]] void GetCount(Kind kind, const char* vendor, const char* model, std::uint32_t* count) {
  std::shared_ptr<const SimConfig> config = Config(true);
  if (std::uint32_t delay = config->CountDelayMs(kind, Text(vendor), Text(model))) Wait(delay);
  if (count) *count = config->Count(kind, Text(vendor), Text(model));
}

[[maybe_unused]] void GetName(Kind kind, const char* vendor, const char* model, std::uint32_t index,
             char* unique_name, char* address_info) {
  std::shared_ptr<const SimConfig> config = Config(false);
  if (const SimItem* item = config->Find(kind, Text(vendor), Text(model), index)) {
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
  std::shared_ptr<const SimConfig> config = Config(false);
  const SimItem* item = config->FindModule(kind, Text(unique_name), Text(address_info));
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
  std::shared_ptr<const SimConfig> config = Config(false);
  const SimItem* item =
      config->FindModule(Kind::kSystemModule, Text(unique_name), Text(address_info));
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
  std::shared_ptr<const SimConfig> config = Config(false);
  const SimItem* item = config->Find(Kind::kChassis, Text(vendor), Text(model), chassis_number);
  if (!item || !bus) return 0;
  auto found = item->root_bus.find(root_index);
  if (found != item->root_bus.end()) *bus = found->second;
  return 0;
}
#endif
