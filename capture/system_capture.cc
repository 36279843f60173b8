#include "capture/system_capture.h"

#include <map>
#include <set>
#include <memory>

#include "capture/driver_capture.h"
#include "capture/reg_export.h"
#include "capture/simulated_module.h"
#include "chassis/chassis_mapping.h"
#include "chassis/description_discovery.h"
#include "common/registry_text.h"
#include "common/wide_format.h"
#include "enumeration/companion.h"
#include "enumeration/run_context.h"
#include "enumeration/system_paths.h"
#include "enumeration/worker.h"
#include "inventory/model_scope.h"
#include "inventory/pxisa_registry.h"

namespace ztrm {
namespace {

constexpr char16_t kWowPxisaKey[] = u"SOFTWARE\\Wow6432Node\\PXISA";
constexpr char16_t kBiosKey[] = u"HARDWARE\\DESCRIPTION\\System\\BIOS";
constexpr char16_t kReplayConfigurationFile[] = u"drive_c\\ProgramData\\PXISA\\configuration.ini";

// The registry listing's "Number of subkeys" lines do not belong on the
// capture's console.
class SilentConsole : public Console {
 public:
  void Write(std::string_view) override {}
};

std::string Utf8(WStringView text) { return ToUtf8(text); }

WString CutAtNul(WString text) {
  std::size_t nul = text.find(u'\0');
  if (nul != WString::npos) text.resize(nul);
  return text;
}

class ImageWriter {
 public:
  ImageWriter(FileSystem& files, WStringView dir) : files_(files), dir_(dir) {}

  WString Full(WStringView relative) const { return dir_ + u"\\" + WString(relative); }

  // Makes every folder of `relative` (a folder path below DIR). Folders
  // made (or found) once are remembered: thousands of description files
  // would otherwise have every folder on their way looked up again.
  bool MakeFolders(WStringView relative) {
    WString path = dir_;
    std::size_t start = 0;
    while (start <= relative.size()) {
      std::size_t end = relative.find(u'\\', start);
      if (end == WStringView::npos) end = relative.size();
      if (end > start) {
        path += u"\\";
        path += relative.substr(start, end - start);
        WString key = path;
        for (char16_t& c : key) c = FoldToUpper(c);
        if (made_.count(key) == 0) {
          if (!files_.DirectoryExists(path) && !files_.CreateDirectory(path)) return false;
          made_.insert(key);
        }
      }
      start = end + 1;
    }
    return true;
  }

  bool WriteFile(WStringView relative, const std::string& bytes) {
    std::size_t slash = relative.rfind(u'\\');
    if (slash != WStringView::npos && !MakeFolders(relative.substr(0, slash))) return false;
    std::unique_ptr<OutputFile> file = files_.OpenOutput(Full(relative), OutputMode::kReplace);
    return file && file->Write(bytes.data(), bytes.size());
  }

 private:
  FileSystem& files_;
  WString dir_;
  std::set<WString> made_;
};

std::optional<std::string> ReadWholeFile(FileSystem& files, WStringView path) {
  std::unique_ptr<InputFile> file = files.OpenInput(path);
  if (!file) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  std::size_t n;
  while ((n = file->Read(chunk, sizeof chunk)) > 0) bytes.append(chunk, n);
  return bytes;
}

struct Capture {
  Platform& p;
  ModelAnswerSource& answers;
  ImageWriter image;
  RegExport reg;
  std::vector<std::string> report;
  std::vector<std::string> notes;
  bool write_failed = false;

  void Write(WStringView relative, const std::string& bytes) {
    if (!image.WriteFile(relative, bytes)) {
      write_failed = true;
      notes.push_back("could not write " + Utf8(relative));
    }
  }

  void Value(RegistryKey& key, WStringView path, WStringView name) {
    if (std::optional<WString> text = key.StringValue(name)) {
      reg.SetString(path, name, CutAtNul(*text));
    } else if (std::optional<std::uint32_t> number = key.DwordValue(name)) {
      reg.SetDword(path, name, *number);
    } else if (std::optional<RawRegistryValue> raw = key.RawValue(name)) {
      reg.SetRaw(path, name, raw->type, raw->bytes);
    }
  }

  // The key, its named values and, `depth` levels down, its subkeys with
  // the values named for their level (leaf_values at the last level).
  void Tree(WStringView path, int depth, std::initializer_list<const char16_t*> leaf_values) {
    std::unique_ptr<RegistryKey> key = p.registry.OpenLocalMachineKey(path);
    if (!key) return;
    reg.AddKey(path);
    if (depth == 0) {
      for (const char16_t* name : leaf_values) Value(*key, path, name);
      return;
    }
    std::uint32_t count = key->SubkeyCount().value_or(0);
    for (std::uint32_t i = 0; i < count; ++i) {
      if (std::optional<WString> name = key->SubkeyName(i)) {
        Tree(WString(path) + u"\\" + *name, depth - 1, leaf_values);
      }
    }
  }

  void Registry(bool wow) {
    if (wow) reg.AddKey(kWowPxisaKey);
    if (auto systems = p.host.QueryComputerSystems(); systems && !systems->empty()) {
      const ComputerSystemInfo& first = systems->front();
      if (first.manufacturer) reg.SetString(kBiosKey, u"SystemManufacturer", *first.manufacturer);
      if (first.model) reg.SetString(kBiosKey, u"SystemProductName", *first.model);
    }
    for (const char16_t* path : {kCompanionKey, kCompanionKeyWow, kPxiKey, kPxiKeyWow}) {
      Tree(path, 0, {u"Path"});
    }
    Tree(wow ? u"SOFTWARE\\Wow6432Node\\PXISA\\CurrentVersion" : u"SOFTWARE\\PXISA\\CurrentVersion",
         0, {u"ChassisDescriptionFilePath"});
    const PxisaServicePaths& services = ServicePaths(wow);
    for (const char16_t* path : {services.chassis, services.peripheral_modules,
                                 services.system_modules, services.trigger_managers}) {
      Tree(path, 2, {u"Library", u"Version"});
    }
    Tree(services.resource_managers, 1, {u"PXI-2Version", u"PXI-4Version", u"PXI-6Version"});
    report.push_back(std::string("registry view: ") +
                     (wow ? "SOFTWARE\\Wow6432Node\\PXISA" : "SOFTWARE\\PXISA"));
    if (CaptureResourceDriver(p.driver, reg, notes)) {
      report.push_back("resource driver: answers captured");
    } else {
      report.push_back("resource driver: the device does not open");
    }
  }

  void CopyFile(WStringView source, WStringView relative, const char* what) {
    if (std::optional<std::string> bytes = ReadWholeFile(p.files, source)) {
      Write(relative, *bytes);
      report.push_back(std::string(what) + ": " + Utf8(source));
    } else {
      report.push_back(std::string(what) + ": none at " + Utf8(source));
    }
  }

  void CopyToSamePlace(WStringView source, const char* what) {
    std::optional<WString> relative = ImageRelativePath(source);
    if (!relative) {
      notes.push_back(std::string(what) + " " + Utf8(source) + " is not on drive C: and is left out");
      return;
    }
    CopyFile(source, *relative, what);
  }

  void DescriptionFiles(bool wow) {
    // The folder as the service reads it, whatever the value's type.
    std::optional<WideText> folder;
    if (std::unique_ptr<RegistryKey> key = p.registry.OpenLocalMachineKey(
            wow ? u"SOFTWARE\\Wow6432Node\\PXISA\\CurrentVersion" : u"SOFTWARE\\PXISA\\CurrentVersion")) {
      folder = ReadValueIntoTextBuffer(*key, u"ChassisDescriptionFilePath");
    }
    if (!folder || folder->empty()) {
      report.push_back("description files: no folder named");
      return;
    }
    std::optional<WString> relative = ImageRelativePath(folder->view());
    if (!relative) {
      notes.push_back("the description folder " + Utf8(folder->view()) +
                      " is not on drive C: and is left out");
      return;
    }
    image.MakeFolders(*relative);
    int copied = 0;
    for (const WString& name : p.files.ListEntries(folder->view(), u"*.ini")) {
      WString source = folder->str() + u"\\" + name;
      WString target = *relative + u"\\" + name;
      if (std::optional<std::string> bytes = ReadWholeFile(p.files, source)) {
        Write(target, *bytes);
        ++copied;
      } else {
        image.MakeFolders(target);
        if (!p.files.DirectoryExists(source)) {
          notes.push_back("description entry " + Utf8(source) +
                          " could not be read; it is a folder in the image, which cannot be "
                          "read either");
        }
      }
    }
    report.push_back("description files: " + std::to_string(copied) + " from " +
                     Utf8(folder->view()));
  }

  void Files(bool wow) {
    WideText configuration = PxisaConfigurationFile(p.shell);
    CopyFile(configuration.view(), kReplayConfigurationFile, "PXISA configuration");
    DescriptionFiles(wow);
    WideText companion =
        ReadCompanionDir(p.registry, {kCompanionKey, kCompanionKeyWow, kPxiKey, kPxiKeyWow});
    if (!companion.empty() && p.files.DirectoryExists(companion.view())) {
      if (std::optional<WString> relative = ImageRelativePath(companion.view())) {
        image.MakeFolders(*relative);
      }
    }
    WideText pxi_folder = DerivePxiFolder(companion);
    WideText list = kDefaultChassisListPath, mapping = kDefaultChassisMappingPath;
    if (!pxi_folder.empty()) {
      list = FormatWide(u"%s\\PXIChassisList.ini", pxi_folder);
      mapping = FormatWide(u"%s\\ChassisMappingID.ini", pxi_folder);
    }
    CopyToSamePlace(list.view(), "PXIChassisList.ini");
    CopyToSamePlace(mapping.view(), "ChassisMappingID.ini");
    image.MakeFolders(u"drive_c\\windows");
    // An output the service cannot write because a folder has its name.
    for (const char16_t* name : {kRunLogName, kPxiSysName, kPxieSysName, u"ztbuslist.dat"}) {
      if (p.files.DirectoryExists(WindowsFolderFile(p.shell, name).view())) {
        image.MakeFolders(WString(u"drive_c\\windows\\") + name);
        report.push_back("output " + Utf8(name) + ": a folder, kept as one");
      }
    }
  }
};

// One library file as the capture met it across the models it serves.
struct LibraryRecord {
  WString path;
  bool loaded = false;
  bool failed = false;
  std::string failure;
  std::uint32_t exports = 0;
  std::uint32_t stages = 0;
  std::vector<std::string> models;
  std::string sections;
};

WString FoldedKey(WStringView text) {
  WString key(text);
  for (char16_t& c : key) c = FoldToUpper(c);
  return key;
}

WString FolderOf(WStringView path) {
  std::size_t slash = path.rfind(u'\\');
  return WString(slash == WStringView::npos ? WStringView() : path.substr(0, slash));
}

void AskLibraries(Capture& c, bool wow) {
  SilentConsole silent;
  Platform quiet{c.p.registry, c.p.profiles, c.p.files,   c.p.libraries, c.p.driver, c.p.shell,
                 c.p.clock,    c.p.version,  c.p.host,    c.p.code_page, silent};
  RunContext ctx(quiet);
  ctx.UseWow6432Node = wow;
  FindChassisDescriptionFiles(ctx);
  QueryPxisaRegistry(ctx);

  std::vector<LibraryRecord> libraries;
  auto record_of = [&](const WideText& path) -> LibraryRecord& {
    for (LibraryRecord& r : libraries) {
      if (FoldedKey(r.path) == FoldedKey(path.view())) return r;
    }
    libraries.push_back(LibraryRecord{path.str(), false, false, {}, 0, 0, {}, {}});
    return libraries.back();
  };

  ServiceBuffers buffers;
  struct Stage {
    PxisaServiceList& list;
    ModuleStage stage;
  };
  for (Stage s : {Stage{ctx.SystemModules, ModuleStage::kSystem},
                  Stage{ctx.PeripheralModules, ModuleStage::kPeripheral},
                  Stage{ctx.ChassisModules, ModuleStage::kChassis}}) {
    for (const PxisaVendorEntry& vendor : s.list.Vendors) {
      for (const PxisaModelEntry& model : vendor.Models) {
        ModelRequest request;
        request.stage = s.stage;
        request.library = model.Library.str();
        request.vendor = NarrowName(ctx, vendor.VendorName).c_str();
        request.model = NarrowName(ctx, model.ModelName).c_str();
        if (s.stage == ModuleStage::kChassis) {
          WString vendor_key = VendorKeyText(vendor.VendorName.view());
          WString model_key = ModelKeyText(model.ModelName.view());
          for (const stChassisDescFile& file : ctx.vecChassisDescFile) {
            if (file.szVendorLine.view() == vendor_key && file.szModelLine.view() == model_key) {
              request.root_indices = file.dwBusSegmentCount;
              break;
            }
          }
        }
        LibraryRecord& library = record_of(model.Library);
        library.stages |= StageBit(s.stage);
        library.models.push_back(Utf8(vendor.VendorName.view()) + "/" + Utf8(model.ModelName.view()));
        std::string failure;
        std::optional<ModelAnswers> answers = c.answers.Ask(request, buffers, failure);
        if (!answers) {
          library.failed = true;
          library.failure += (library.failure.empty() ? "" : "; ") + library.models.back() + ": " +
                             failure;
          continue;
        }
        buffers = answers->buffers_after;
        if (!answers->loaded) continue;
        library.loaded = true;
        library.exports = answers->exports;
        library.sections += "; " + library.models.back() + "\n";
        library.sections += SimulatedModuleSections(request, *answers, c.notes);
      }
    }
  }

  std::map<WString, std::pair<WString, std::string>> configs;  // folded folder -> folder, text
  std::string manifest;
  for (const LibraryRecord& library : libraries) {
    std::string line = "library " + Utf8(library.path) + " (";
    for (std::size_t i = 0; i < library.models.size(); ++i) {
      line += (i ? ", " : "") + library.models[i];
    }
    line += "): ";
    std::optional<WString> relative = ImageRelativePath(library.path);
    if (library.failed) {
      line += "failed (" + library.failure + "); the replay cannot load it";
    } else if (!library.loaded) {
      line += "cannot be loaded; nor can the replay";
    } else if (!relative) {
      line += "not on drive C:; the replay cannot load it";
    } else {
      const SimulatedModuleBuild* build = MatchingBuild(library.exports, library.stages);
      if (!build) {
        build = &SimulatedModuleBuilds().front();
        c.notes.push_back("no build of the simulated module lacks the same exports as " +
                          Utf8(library.path) + "; replayed by " + build->name);
      }
      line += std::string("replayed by ") + build->name;
      manifest += std::string(build->name) + "\t" + Utf8(library.path) + "\n";
      WString folder = FolderOf(*relative);
      auto& config = configs[FoldedKey(folder)];
      if (config.first.empty()) config.first = folder;
      config.second += "; " + Utf8(library.path) + "\n\n" + library.sections;
    }
    c.report.push_back(line);
  }
  for (const auto& [key, config] : configs) {
    c.Write(config.first + u"\\ztsimmod.ini",
            "; Captured answers of the vendor module libraries of this folder.\n\n" +
                config.second);
  }
  c.Write(u"simulated_libraries.txt", manifest);
}

}  // namespace

std::optional<ModelAnswers> InProcessAnswerSource::Ask(const ModelRequest& request,
                                                       const ServiceBuffers& buffers,
                                                       std::string&) {
  return AskModel(libraries_, request, buffers);
}

std::optional<WString> ImageRelativePath(WStringView path) {
  if (path.size() < 3 || (path[0] != u'C' && path[0] != u'c') || path[1] != u':' ||
      path[2] != u'\\') {
    return std::nullopt;
  }
  WStringView rest = path.substr(3);
  while (!rest.empty() && rest.front() == u'\\') rest.remove_prefix(1);
  return WString(u"drive_c") + (rest.empty() ? WString() : u"\\" + WString(rest));
}

CaptureOutcome CaptureSystem(Platform& platform, ModelAnswerSource& answers, WStringView dir) {
  CaptureOutcome outcome;
  if (platform.files.DirectoryExists(dir)) {
    if (!platform.files.ListEntries(dir, u"*").empty()) {
      outcome.refusal = Utf8(dir) + " is not empty";
      return outcome;
    }
  } else if (!platform.files.CreateDirectory(dir)) {
    outcome.refusal = "cannot make the folder " + Utf8(dir);
    return outcome;
  }
  Capture c{platform, answers, ImageWriter(platform.files, dir), {}, {}, {}, false};
  c.report.push_back("ztrm-capture of this machine into " + Utf8(dir));
  bool wow = platform.registry.OpenLocalMachineKey(kWowPxisaKey) != nullptr;
  c.Registry(wow);
  c.Files(wow);
  AskLibraries(c, wow);
  c.Write(u"registry.reg", c.reg.FileBytes());
  for (const std::string& note : c.notes) c.report.push_back("not reproduced: " + note);
  std::string text;
  for (const std::string& line : c.report) text += line + "\n";
  c.Write(u"capture.txt", text);
  outcome.written = !c.write_failed;
  if (c.write_failed) outcome.refusal = "some files could not be written";
  outcome.report = c.report;
  return outcome;
}

}  // namespace ztrm
