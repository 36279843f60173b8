#include "setup/resource_manager_setup.h"

#include <cstring>
#include <memory>

#include "common/wide_format.h"
#include "enumeration/system_paths.h"
#include "enumeration/worker.h"

namespace ztrm {
namespace {

constexpr char16_t kConfigurationName[] = u"configuration.ini";
// Enough to tell text from binary data; the service's reads stop far earlier.
constexpr std::size_t kInspectLimit = 16u << 20;

enum class FileState { kMissing, kText, kFolder, kUnreadable, kBinary };

WString CommonAppData(Shell& shell) {
  std::optional<WString> folder = shell.GetSpecialFolder(SpecialFolder::kCommonAppData);
  return folder ? *folder : WString();
}

// What the file is to a profile reader. Binary data: a NUL byte in a file that
// does not start with a UTF-16 byte order mark.
FileState Inspect(FileSystem& files, WStringView folder, WStringView path) {
  if (files.DirectoryExists(path)) return FileState::kFolder;
  std::unique_ptr<InputFile> input = files.OpenInput(path);
  if (!input) {
    return files.ListEntries(folder, kConfigurationName).empty() ? FileState::kMissing
                                                                  : FileState::kUnreadable;
  }
  unsigned char head[2] = {};
  std::size_t total = 0;
  bool nul = false;
  char buffer[65536];
  while (total < kInspectLimit) {
    std::size_t got = input->Read(buffer, sizeof buffer);
    if (got == 0) break;
    for (std::size_t i = 0; i < got && total + i < 2; ++i) head[total + i] = static_cast<unsigned char>(buffer[i]);
    if (std::memchr(buffer, 0, got) != nullptr) nul = true;
    total += got;
  }
  bool utf16 = total >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF));
  return nul && !utf16 ? FileState::kBinary : FileState::kText;
}

WString ReadConfiguredName(ProfileFiles& profiles, WStringView path) {
  return profiles.ReadString(path, u"ResourceManager", u"Name", u"", WideText::kCapacity);
}

std::string Quoted(WStringView text) { return "\"" + ToUtf8(text) + "\""; }

}  // namespace

bool ParseSetupStep(const std::string& word, SetupStep& step) {
  if (word == "install") {
    step = SetupStep::kInstall;
  } else if (word == "install-active") {
    step = SetupStep::kInstallActive;
  } else if (word == "uninstall") {
    step = SetupStep::kUninstall;
  } else {
    return false;
  }
  return true;
}

SetupOutcome ApplySetupStep(Platform& platform, SetupStep step) {
  WString app_data = CommonAppData(platform.shell);
  if (app_data.empty()) return {"the common application data folder is unknown; nothing done", 1};
  WString folder = app_data + u"\\PXISA";
  WString path = folder + u"\\" + kConfigurationName;
  std::string where = ToUtf8(path);
  const bool install = step != SetupStep::kUninstall;

  switch (Inspect(platform.files, folder, path)) {
    case FileState::kFolder:
      return {where + " is a folder; left as it is" +
                  (install ? " (this resource manager is not configured)" : ""), 0};
    case FileState::kUnreadable:
      return {where + " cannot be opened; left as it is" +
                  (install ? " (this resource manager is not configured)" : ""), 0};
    case FileState::kBinary:
      return {where + " holds binary data, not profile text; left as it is" +
                  (install ? " (this resource manager is not configured; replace the file by hand)" : ""),
              0};
    case FileState::kMissing:
      if (!install) return {where + " does not exist; nothing to clear", 0};
      break;
    case FileState::kText:
      break;
  }

  WString name = ReadConfiguredName(platform.profiles, path);
  if (!install) {
    if (name.empty()) return {"no resource manager is configured in " + where + "; nothing to clear", 0};
    if (name != kThisResourceManager) {
      return {where + " names " + Quoted(name) + ", not this resource manager; left as it is", 0};
    }
    if (!platform.profiles.WriteString(path, u"ResourceManager", u"Name", u"") ||
        !ReadConfiguredName(platform.profiles, path).empty()) {
      return {"[ResourceManager] Name in " + where + " could not be cleared", 1};
    }
    return {"cleared [ResourceManager] Name in " + where + " (it named this resource manager)", 0};
  }

  if (name == kThisResourceManager) {
    return {"this resource manager is already the configured one in " + where + "; not changed", 0};
  }
  if (!name.empty() && step != SetupStep::kInstallActive) {
    return {"another resource manager is configured in " + where + " (" + Quoted(name) +
                "); left as it is: to switch, set [ResourceManager] Name = " + Quoted(kThisResourceManager) +
                " there or install with SETACTIVE=1",
            0};
  }
  platform.files.CreateDirectory(folder);  // false when it exists
  if (!platform.profiles.WriteString(path, u"ResourceManager", u"Name", kThisResourceManager) ||
      ReadConfiguredName(platform.profiles, path) != kThisResourceManager) {
    return {where + " could not be written; this resource manager is not configured", 1};
  }
  if (name.empty()) {
    return {"configured this resource manager in " + where + " (none was configured)", 0};
  }
  return {"configured this resource manager in " + where + " in place of " + Quoted(name) + " (SETACTIVE=1)", 0};
}

WideText SetupLogFile(Shell& shell) {
  return FormatWide(u"%s\\ZELTRO\\ZTRM\\setup.log", CommonAppData(shell));
}

SetupOutcome RunSetupStep(Platform& platform, SetupStep step) {
  SetupOutcome outcome = ApplySetupStep(platform, step);
  static constexpr const char* kStepWords[] = {"install", "install-active", "uninstall"};
  std::string version = "(no version)";
  if (std::optional<FileVersion> own = platform.version.OwnFileVersion()) {
    version = FormatNarrow("%d.%d.%d.%d", own->ms >> 16, own->ms & 0xFFFF, own->ls >> 16, own->ls & 0xFFFF);
  }
  LocalTime now = platform.clock.Now();
  std::string line = FormatNarrow("[%.4u-%.2u-%.2u %.2u:%.2u:%.2u] ztrm-setup %s %s: ", now.year, now.month,
                                  now.day, now.hour, now.minute, now.second, version.c_str(),
                                  kStepWords[static_cast<int>(step)]) +
                     outcome.message + "\r\n";
  WString app_data = CommonAppData(platform.shell);
  if (!app_data.empty()) {
    platform.files.CreateDirectory(app_data + u"\\ZELTRO");
    platform.files.CreateDirectory(app_data + u"\\ZELTRO\\ZTRM");
  }
  std::unique_ptr<OutputFile> log = platform.files.OpenOutput(SetupLogFile(platform.shell).view(), OutputMode::kAppend);
  if (!log || !log->Write(line.data(), line.size())) {
    outcome.message += " (the setup log could not be written)";
  }
  return outcome;
}

}  // namespace ztrm
