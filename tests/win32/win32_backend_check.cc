// win32_backend_check.exe: runs the Win32 backend against a real Windows API
// (Wine in the end-to-end tests) and prints one PASS/FAIL line per check. The
// exit code is 1 when any check failed.
//
// It expects what tests/e2e/win32_backend_check.sh prepares: the registry key
// HKLM\SOFTWARE\ZTRMBackendCheck imported from the script's .reg file, the
// stand-in vendor module beside the executable, and no folder C:\ztrm_check
// yet. It is linked with the service's resource script, so the version it
// reads is the one ZTRMService.exe carries.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_windows.h"
#include "version_config.h"

namespace ztrm {
namespace {

const char16_t kRegistryKey[] = u"SOFTWARE\\ZTRMBackendCheck";
const char16_t kWorkFolder[] = u"C:\\ztrm_check";

WString Join(WStringView folder, WStringView name) {
  WString path(folder);
  path += u'\\';
  path += name;
  return path;
}

std::string Show(const std::optional<WString>& text) {
  return text ? "\"" + ToUtf8(*text) + "\"" : std::string("nullopt");
}

std::string Show(const std::optional<std::uint32_t>& value) {
  return value ? std::to_string(*value) : std::string("nullopt");
}

std::string Show(const std::vector<WString>& names) {
  std::string out = "[";
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += ", ";
    out += ToUtf8(names[i]);
  }
  return out + "]";
}

class Checks {
 public:
  explicit Checks(Console& console) : console_(console) {}

  void Expect(bool ok, const std::string& name, const std::string& detail = std::string()) {
    std::string line = (ok ? "PASS " : "FAIL ") + name;
    if (!ok && !detail.empty()) line += " -- " + detail;
    console_.Write(line + "\n");
    if (!ok) ++failures_;
  }

  int failures() const { return failures_; }

 private:
  Console& console_;
  int failures_ = 0;
};

bool WriteBytes(FileSystem& files, WStringView path, const std::string& bytes) {
  std::unique_ptr<OutputFile> file = files.OpenOutput(path, OutputMode::kReplace);
  return file && file->Write(bytes.data(), bytes.size());
}

std::optional<std::string> ReadBytes(FileSystem& files, WStringView path) {
  std::unique_ptr<InputFile> file = files.OpenInput(path);
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[7];  // small on purpose: reads must continue where they stopped
  for (std::size_t n; (n = file->Read(buffer, sizeof(buffer))) > 0;) bytes.append(buffer, n);
  return bytes;
}

std::string ShowBytes(const std::optional<std::string>& bytes) {
  return bytes ? "\"" + *bytes + "\"" : std::string("unreadable");
}

void CheckRegistry(Registry& registry, Checks& checks) {
  checks.Expect(registry.OpenLocalMachineKey(u"SOFTWARE\\ZTRMBackendCheck\\Missing") == nullptr,
                "registry: a missing key does not open");
  std::unique_ptr<RegistryKey> key = registry.OpenLocalMachineKey(kRegistryKey);
  checks.Expect(key != nullptr, "registry: the imported key opens");
  if (!key) return;

  auto expect_string = [&](WStringView name, WStringView want, const std::string& check) {
    std::optional<WString> value = key->StringValue(name);
    checks.Expect(value == WString(want), "registry: " + check, Show(value));
  };
  expect_string(u"Text", u"hello registry", "REG_SZ value");
  expect_string(u"Expand", u"%SystemRoot%\\ztrm", "REG_EXPAND_SZ value, not expanded");
  expect_string(u"Unterminated", u"AB", "REG_SZ stored without terminator");
  expect_string(u"ManyNuls", u"AB", "trailing NULs are stripped");
  expect_string(u"", u"default value", "the unnamed value");

  WString digits;
  for (int i = 0; i < 30; ++i) digits += u"0123456789";
  std::optional<WString> long_text = key->StringValue(u"Long");
  checks.Expect(long_text == digits, "registry: 300-unit REG_SZ value comes back whole",
                long_text ? "length " + std::to_string(long_text->size()) : "nullopt");

  std::optional<std::uint32_t> number = key->DwordValue(u"Number");
  checks.Expect(number == 0x2Au, "registry: REG_DWORD value", Show(number));

  checks.Expect(!key->StringValue(u"Number"), "registry: a DWORD is no string");
  checks.Expect(!key->StringValue(u"Binary"), "registry: REG_BINARY is no string");
  checks.Expect(!key->StringValue(u"Multi"), "registry: REG_MULTI_SZ is no string");
  checks.Expect(!key->DwordValue(u"Text"), "registry: a string is no DWORD");
  checks.Expect(!key->DwordValue(u"Binary"), "registry: 4 binary bytes are no DWORD");
  checks.Expect(!key->StringValue(u"Absent") && !key->DwordValue(u"Absent"),
                "registry: a missing value is nullopt");

  const std::vector<WString> expected = {u"10",   u"9",    u"alpha",
                                         u"Beta", u"Zeta", WString(255, u'z')};
  std::optional<std::uint32_t> count = key->SubkeyCount();
  checks.Expect(count == static_cast<std::uint32_t>(expected.size()), "registry: subkey count",
                Show(count));
  std::vector<WString> names;
  for (std::uint32_t i = 0;; ++i) {
    std::optional<WString> name = key->SubkeyName(i);
    if (!name || i > 100) break;
    names.push_back(*name);
  }
  checks.Expect(names == expected,
                "registry: subkeys in enumeration order, the 255-unit name whole", Show(names));

  std::unique_ptr<RegistryKey> leaf =
      registry.OpenLocalMachineKey(u"software\\ztrmbackendcheck\\BETA");
  checks.Expect(leaf != nullptr && leaf->SubkeyCount() == 0u && !leaf->SubkeyName(0),
                "registry: a key without subkeys, opened by another spelling");
}

void CheckFiles(FileSystem& files, Checks& checks) {
  auto expect_bytes = [&](WStringView path, const std::string& want, const std::string& name) {
    std::optional<std::string> bytes = ReadBytes(files, path);
    checks.Expect(bytes == want, "files: " + name, ShowBytes(bytes));
  };
  const WString held = Join(kWorkFolder, u"held.txt");
  {
    std::unique_ptr<OutputFile> first = files.OpenOutput(held, OutputMode::kReplace);
    checks.Expect(first != nullptr && first->Write("held", 4), "files: w+ open and write");
    checks.Expect(files.OpenOutput(held, OutputMode::kReplace) == nullptr,
                  "files: a second w+ open fails while the first is held");
    checks.Expect(files.OpenOutput(held, OutputMode::kAppend) == nullptr,
                  "files: an append open fails while the file is held");
    checks.Expect(files.OpenInput(held) == nullptr,
                  "files: a read open fails while the file is held");
  }
  {
    std::unique_ptr<OutputFile> again = files.OpenOutput(held, OutputMode::kReplace);
    checks.Expect(again != nullptr, "files: w+ open succeeds after the close");
    checks.Expect(again && again->Write("x", 1), "files: write after reopening");
  }
  expect_bytes(held, "x", "w+ empties the file");

  const WString appended = Join(kWorkFolder, u"append.txt");
  {
    std::unique_ptr<OutputFile> file = files.OpenOutput(appended, OutputMode::kAppend);
    checks.Expect(file && file->Write("abc\n", 4), "files: append creates a missing file");
  }
  {
    std::unique_ptr<OutputFile> file = files.OpenOutput(appended, OutputMode::kAppend);
    checks.Expect(file && file->Write("def", 3) && file->Write("", 0) && file->Write("gh", 2),
                  "files: append to an existing file");
    checks.Expect(files.OpenOutput(appended, OutputMode::kAppend) == nullptr,
                  "files: a second append open fails while the first is held");
  }
  expect_bytes(appended, "abc\ndefgh", "appended bytes, no LF translation");

  {
    std::unique_ptr<InputFile> one = files.OpenInput(appended);
    std::unique_ptr<InputFile> two = files.OpenInput(appended);
    checks.Expect(one != nullptr && two != nullptr, "files: two readers share a file");
  }
  checks.Expect(files.OpenInput(Join(kWorkFolder, u"missing.txt")) == nullptr,
                "files: a missing file does not open for reading");
  checks.Expect(files.OpenInput(kWorkFolder) == nullptr,
                "files: a folder does not open for reading");

  const WString list = Join(kWorkFolder, u"list");
  checks.Expect(files.CreateDirectory(list) && files.CreateDirectory(Join(list, u"d.ini")),
                "files: create folders");
  checks.Expect(!files.CreateDirectory(list), "files: creating an existing folder fails");
  checks.Expect(WriteBytes(files, Join(list, u"a.ini"), "a") &&
                    WriteBytes(files, Join(list, u"b.INI"), "b") &&
                    WriteBytes(files, Join(list, u"c.txt"), "c"),
                "files: create files to list");
  std::vector<WString> ini = files.ListEntries(list, u"*.ini");
  std::sort(ini.begin(), ini.end());
  checks.Expect(ini == std::vector<WString>{u"a.ini", u"b.INI", u"d.ini"},
                "files: list *.ini, folders included", Show(ini));
  std::vector<WString> all = files.ListEntries(list, u"*");
  std::sort(all.begin(), all.end());
  checks.Expect(all == std::vector<WString>{u"a.ini", u"b.INI", u"c.txt", u"d.ini"},
                "files: list *, without . and ..", Show(all));
  checks.Expect(files.ListEntries(Join(kWorkFolder, u"nowhere"), u"*").empty(),
                "files: listing a missing folder is empty");
  checks.Expect(files.ListEntries(list, u"*.none").empty(), "files: no match is empty");

  checks.Expect(files.DirectoryExists(list), "files: an existing folder exists");
  checks.Expect(!files.DirectoryExists(Join(list, u"a.ini")), "files: a file is no folder");
  checks.Expect(!files.DirectoryExists(Join(kWorkFolder, u"nowhere")),
                "files: a missing folder does not exist");

  checks.Expect(files.SetCurrentDirectory(list), "files: set the current folder");
  expect_bytes(u"a.ini", "a", "relative paths follow the current folder");
  checks.Expect(!files.SetCurrentDirectory(Join(kWorkFolder, u"nowhere")),
                "files: a missing folder cannot become current");
}

void CheckProfiles(FileSystem& files, ProfileFiles& profiles, Checks& checks) {
  const WString ini = Join(kWorkFolder, u"profile.ini");
  checks.Expect(WriteBytes(files, ini,
                           "[Chassis]\r\n"
                           "Quoted = \" inner blanks \"  \r\n"
                           "Plain=  two  words  \r\n"
                           "Dup=first\r\n"
                           "Dup=second\r\n"
                           "Long=abcdefghij\r\n"),
                "profile: write the test file");
  auto expect_read = [&](const WString& file, WStringView key, WStringView fallback,
                         std::size_t units, WStringView want, const std::string& check) {
    WString value = profiles.ReadString(file, u"Chassis", key, fallback, units);
    checks.Expect(value == want, "profile: " + check, Show(value));
  };
  expect_read(ini, u"Quoted", u"", 260, u" inner blanks ", "quotes removed, inner blanks kept");
  expect_read(ini, u"Plain", u"", 260, u"two  words", "outer blanks trimmed");
  expect_read(ini, u"Dup", u"", 260, u"first", "the first of two equal keys");
  expect_read(ini, u"Long", u"", 5, u"abcd", "a value cut to the buffer");
  expect_read(ini, u"Missing", u"fallback", 260, u"fallback", "a missing key gives the default");
  expect_read(ini, u"Missing", u"0123456789", 4, u"012", "the default is cut to the buffer too");
  expect_read(Join(kWorkFolder, u"none.ini"), u"Plain", u"d", 260, u"d",
              "a missing file gives the default");

  checks.Expect(profiles.WriteString(ini, u"Written", u"Key", u"new value"),
                "profile: write a value");
  WString value = profiles.ReadString(ini, u"Written", u"Key", u"", 260);
  checks.Expect(value == u"new value", "profile: read back a written value", Show(value));
}

void CheckShell(Shell& shell, FileSystem& files, Clock& clock, Checks& checks) {
  std::optional<WString> windows = shell.GetSpecialFolder(SpecialFolder::kWindows);
  checks.Expect(windows && EqualsIgnoreCase(*windows, u"C:\\windows"), "shell: the Windows folder",
                Show(windows));
  std::optional<WString> data = shell.GetSpecialFolder(SpecialFolder::kCommonAppData);
  checks.Expect(data && EqualsIgnoreCase(*data, u"C:\\ProgramData"),
                "shell: the common application data folder", Show(data));

  // cmd writes its current folder into a file there, which shows that the
  // parameters and the folder both arrived. The launch is asynchronous, so
  // wait for the file, within bounds.
  const WString folder = Join(kWorkFolder, u"launch");
  files.CreateDirectory(folder);
  shell.LaunchHidden(u"cmd.exe", u"/c cd > launched.txt", folder);
  const WString launched = Join(folder, u"launched.txt");
  std::optional<std::string> output;
  for (int i = 0; i < 300; ++i) {
    output = ReadBytes(files, launched);
    if (output && output->find('\n') != std::string::npos) break;
    clock.Sleep(50);
  }
  std::string line = output ? *output : std::string();
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
    line.pop_back();
  }
  checks.Expect(output && EqualsIgnoreCase(WidenBytes(line), folder),
                "shell: a hidden launch with parameters in a folder", ShowBytes(output));
}

void CheckLibraries(DynamicLibraries& libraries, Checks& checks) {
  checks.Expect(libraries.Load(u"ztrm_no_such_module.dll") == nullptr,
                "libraries: a missing module does not load");
  std::unique_ptr<VendorLibrary> library = libraries.Load(u"win32_backend_check_vendor.dll");
  checks.Expect(library != nullptr, "libraries: the vendor module loads");
  if (!library) return;
  checks.Expect(library->HasExport("CheckGetCount") && !library->HasExport("CheckNothing"),
                "libraries: exports are found, missing ones are not");

  std::uint32_t count = 0;
  library->CallGetCount("CheckGetCount", "Vendor", "Mo", &count);
  checks.Expect(count == 602, "libraries: the count shape", std::to_string(count));

  char unique_name[260] = {};
  char address[260] = {};
  library->CallGetName("CheckGetName", "V", "M", 7, unique_name, address);
  checks.Expect(std::string(unique_name) == "V/M/7" && std::string(address) == "address-7",
                "libraries: the name shape", std::string(unique_name) + " " + address);

  std::uint8_t eeprom[260] = {};
  library->CallGetChassisEeprom("CheckGetChassisEeprom", "abc", "de", eeprom);
  bool eeprom_ok = true;
  for (std::uint32_t i = 0; i < 260; ++i) {
    eeprom_ok = eeprom_ok && eeprom[i] == static_cast<std::uint8_t>(5 + i * 7);
  }
  checks.Expect(eeprom_ok, "libraries: the EEPROM shape fills 260 bytes");

  std::uint32_t value = 0;
  library->CallGetInformation("CheckGetInformation", "abc", "de", 4, &value);
  checks.Expect(value == 4032, "libraries: the information shape", std::to_string(value));

  std::uint32_t bus = 0;
  library->CallGetPciRootBusNumber("CheckGetPciRootBusNumber", "Vendor", "Mo", 2, 3, &bus);
  checks.Expect(bus == 20308, "libraries: the root bus shape", std::to_string(bus));

  std::uint32_t untouched = 99;
  library->CallGetCount("CheckNothing", "V", "M", &untouched);
  checks.Expect(untouched == 99, "libraries: calling a missing export leaves the preset value");
}

void CheckVersion(VersionInfo& version, Checks& checks) {
  std::optional<FileVersion> own = version.OwnFileVersion();
  const std::uint32_t ms = (ZTRM_VERSION_MAJOR << 16) | ZTRM_VERSION_MINOR;
  const std::uint32_t ls = (ZTRM_VERSION_PATCH << 16) | ZTRM_VERSION_TWEAK;
  checks.Expect(own && own->ms == ms && own->ls == ls,
                "version: own file version is " ZTRM_VERSION_TEXT,
                own ? std::to_string(own->ms >> 16) + "." + std::to_string(own->ms & 0xFFFF) + "." +
                          std::to_string(own->ls >> 16) + "." + std::to_string(own->ls & 0xFFFF)
                    : std::string("nullopt"));
}

void CheckHost(HostIdentity& host, Console& console, Checks& checks) {
  // Twice: the second query finds COM security already set for the process.
  for (int run = 1; run <= 2; ++run) {
    std::optional<std::vector<ComputerSystemInfo>> systems = host.QueryComputerSystems();
    const std::string name = "host: WMI Win32_ComputerSystem, query " + std::to_string(run);
    checks.Expect(
        systems && !systems->empty() && systems->front().manufacturer && systems->front().model,
        name, systems ? std::to_string(systems->size()) + " objects" : "nullopt");
    if (systems && run == 1) {
      for (const ComputerSystemInfo& info : *systems) {
        console.Write("  manufacturer " + Show(info.manufacturer) + ", model " + Show(info.model) +
                      "\n");
      }
    }
  }
}

void CheckClockAndDriver(Clock& clock, ResourceDriver& driver, Checks& checks) {
  LocalTime now = clock.Now();
  checks.Expect(now.year >= 2020 && now.month >= 1 && now.month <= 12 && now.day >= 1 &&
                    now.day <= 31 && now.hour < 24 && now.minute < 60 && now.second < 61 &&
                    now.milliseconds < 1000,
                "clock: local time is a plausible date");
  WString zone = clock.TimeZoneStandardName();
  checks.Expect(!zone.empty(), "clock: time zone standard name \"" + ToUtf8(zone) + "\"");

  // The driver is not installed here: the device must simply not open.
  DriverHandle handle = driver.Open();
  checks.Expect(handle == 0, "driver: the absent device does not open");
  std::uint8_t out[4] = {};
  checks.Expect(!driver.Request(handle, 0x222000, nullptr, 0, out, sizeof(out)),
                "driver: a request without a device fails");
  driver.Close(handle);
}

void CheckCodePage(CodePage& code_page, Checks& checks) {
  const UINT acp = GetACP();
  std::string ascii = code_page.ToUserDefault(u"PXI chassis 1");
  checks.Expect(ascii == "PXI chassis 1" && code_page.FromUserDefault(ascii) == u"PXI chassis 1",
                "code page: ASCII round trip (ANSI code page " + std::to_string(acp) + ")");
  checks.Expect(code_page.ToUserDefault(u"").empty() && code_page.FromUserDefault("").empty(),
                "code page: empty text");
  if (acp == 1252) {
    std::string bytes = code_page.ToUserDefault(u"A\u00e9\u4e2d\u20ac");
    checks.Expect(bytes == "A\xe9?\x80", "code page: 1252 bytes, '?' for the unmappable");
    checks.Expect(code_page.FromUserDefault("A\xe9\x80") == u"A\u00e9\u20ac",
                  "code page: 1252 bytes to wide");
  }
}

int Run() {
  Win32Platform win32;
  Platform& platform = win32.platform();
  Checks checks(platform.console);

  if (platform.files.DirectoryExists(kWorkFolder) || !platform.files.CreateDirectory(kWorkFolder)) {
    checks.Expect(false, "setup: create C:\\ztrm_check (it must not exist yet)");
    return 1;
  }
  CheckRegistry(platform.registry, checks);
  CheckFiles(platform.files, checks);
  CheckProfiles(platform.files, platform.profiles, checks);
  CheckShell(platform.shell, platform.files, platform.clock, checks);
  CheckLibraries(platform.libraries, checks);
  CheckVersion(platform.version, checks);
  CheckHost(platform.host, platform.console, checks);
  CheckClockAndDriver(platform.clock, platform.driver, checks);
  CheckCodePage(platform.code_page, checks);

  platform.console.Write(checks.failures() == 0
                             ? std::string("all checks passed\n")
                             : std::to_string(checks.failures()) + " checks failed\n");
  return checks.failures() == 0 ? 0 : 1;
}

}  // namespace
}  // namespace ztrm

int wmain(int, wchar_t**) { return ztrm::Run(); }
