#include "enumeration/worker.h"

#include "chassis/chassis_id_table.h"
#include "chassis/description_discovery.h"
#include "enumeration/chassis_list.h"
#include "enumeration/companion.h"
#include "enumeration/host_identification.h"
#include "enumeration/run_log.h"
#include "enumeration/system_paths.h"
#include "inventory/inventory_reset.h"
#include "inventory/module_discovery.h"
#include "inventory/pxisa_registry.h"
#include "output/pxiesys_writer.h"
#include "output/pxisys_writer.h"
#include "output/root_bus_list.h"

namespace ztrm {

bool DecideRun(WStringView configured_name, bool& manager_active, bool start_request,
               bool reenumeration_request) {
  if (configured_name.empty() || configured_name != kThisResourceManager) {
    manager_active = false;
    return false;
  }
  if (!manager_active) {
    manager_active = true;
    return true;
  }
  return start_request || reenumeration_request;
}

WideText DerivePxiFolder(const WideText& companion_dir) {
  if (companion_dir.size() < 3) return WideText();
  WString folder(companion_dir.view().substr(0, companion_dir.size() - 3));
  folder += u"PXI";
  return folder;
}

void EnumerationWorker::Start() {
  Platform& p = ctx_.platform;
  ConfigurationFile_ = PxisaConfigurationFile(p.shell);
  LogFile_ = WindowsFolderFile(p.shell, kRunLogName);
  PxiSysFile_ = WindowsFolderFile(p.shell, kPxiSysName);
  PxieSysFile_ = WindowsFolderFile(p.shell, kPxieSysName);

  if (ctx_.CompanionDir.empty()) {
    ctx_.CompanionDir = ReadCompanionDir(
        p.registry, {kCompanionKey, kCompanionKeyWow, kPxiKey, kPxiKeyWow});
  }
  WideText pxi_folder = DerivePxiFolder(ctx_.CompanionDir);
  if (!pxi_folder.empty()) {
    ctx_.ChassisListPath = FormatWide(u"%s\\PXIChassisList.ini", pxi_folder);
    ctx_.ChassisMappingPath = FormatWide(u"%s\\ChassisMappingID.ini", pxi_folder);
  }

  LaunchCompanion(p, ctx_.CompanionDir, u"reload");
  mf_WriteRootBusList(ctx_);

  if (std::optional<FileVersion> version = p.version.OwnFileVersion()) {
    ctx_.FileVersionText = FormatWide(u"%d.%d.%d.%d", version->ms >> 16, version->ms & 0xFFFF,
                                      version->ls >> 16, version->ls & 0xFFFF);
  }
}

WString EnumerationWorker::ReadConfiguredManager() {
  return ctx_.platform.profiles.ReadString(ConfigurationFile_.view(), u"ResourceManager", u"Name",
                                           u"", WideText::kCapacity);
}

void EnumerationWorker::Poll() {
  WString name = ReadConfiguredManager();
  if (DecideRun(name, ManagerActive, ctx_.StartRequest.load() != 0,
                ctx_.ReenumerationRequest.load() != 0)) {
    PerformRun();
  }
}

void EnumerationWorker::Run(const std::atomic<std::uint32_t>& stop_flag) {
  Start();
  while (stop_flag.load() == 0) {
    Poll();
    ctx_.platform.clock.Sleep(kPollIntervalMs);
  }
}

void EnumerationWorker::CloseRunFiles() {
  ctx_.PxiSysStream.reset();
  ctx_.PxieSysStream.reset();
  ctx_.LogStream.reset();
}

void EnumerationWorker::PerformRun() {
  Platform& p = ctx_.platform;
  // Step 1: the 32-bit PXISA view decides the registry paths of this run.
  bool wow64_view = p.registry.OpenLocalMachineKey(u"SOFTWARE\\Wow6432Node\\PXISA") != nullptr;

  // The three files stay held from here to the end of the run; the one-shot
  // command relies on that to see a run in progress.
  ctx_.LogStream = OpenTextStream(p.files, LogFile_.view(), OutputMode::kReplace, ctx_.locale);
  ctx_.PxiSysStream = OpenTextStream(p.files, PxiSysFile_.view(), OutputMode::kReplace, ctx_.locale);
  ctx_.PxieSysStream = OpenTextStream(p.files, PxieSysFile_.view(), OutputMode::kReplace, ctx_.locale);

  Log(ctx_, u"Initialization global parameter.\r\n");

  ctx_.StartRequest = 0;
  ctx_.ReenumerationRequest = 0;
  ResetInventory(ctx_);
  ctx_.vecChassisDescFile.clear();
  ctx_.ChassisDescFileLookup = ChassisDescFileIndex();

  if (!ctx_.LogStream) {
    // Without a log the run does nothing; files that did open stay empty.
    CloseRunFiles();
    LaunchCompanion(p, ctx_.CompanionDir, u"reload");
    return;
  }
  Log(ctx_, u"Create Log File Success.\r\n");

  LocalTime now = p.clock.Now();
  WString stamp = FormatWide(u"[%.4u-%.2u-%.2u_%.2u:%.2u:%.2u.%.3u]  ", now.year, now.month, now.day,
                             now.hour, now.minute, now.second, now.milliseconds);
  Log(ctx_, u"%s\n\nSERVICE START\r\n", stamp);
  Log(ctx_, u"Application is X86\r\n");
  Log(ctx_, u"Platform is X64\r\n");

  if (wow64_view) ctx_.UseWow6432Node = true;
  ctx_.vecPXISys.clear();

  IdentifyHost(ctx_);
  Log(ctx_, u"Current System Manufacturer Name = %s.\r\n", ctx_.HostManufacturer);
  Log(ctx_, u"Current System Model Name = %s.\r\n", ctx_.HostModel);

  FindChassisDescriptionFiles(ctx_);
  ReadChassisMappingIDs(ctx_);
  QueryPxisaRegistry(ctx_);
  DiscoverModules(ctx_);
  Log(ctx_, u"Query Finished.\r\n");

  MapListedPXI1Chassis(ctx_);

  if (ctx_.PxiSysStream) {
    mf_WritePXISys(ctx_);
  } else {
    Log(ctx_, u" Fail to Write PXISys.\r\n");
  }
  ctx_.PxiSysStream.reset();
  if (ctx_.PxieSysStream) {
    mf_WritePXIESys(ctx_);
  } else {
    Log(ctx_, u" Fail to Write PXIESys.\r\n");
  }
  ctx_.PxieSysStream.reset();
  ctx_.LogStream.reset();

  LaunchCompanion(p, ctx_.CompanionDir, u"reload");
}

}  // namespace ztrm
