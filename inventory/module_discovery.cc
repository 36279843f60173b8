#include "inventory/module_discovery.h"

#include <memory>

#include "common/wide_format.h"
#include "enumeration/run_log.h"
#include "inventory/bus_assignment.h"
#include "inventory/chassis_stage.h"
#include "inventory/logged_line.h"
#include "inventory/model_scope.h"
#include "inventory/peripheral_module_stage.h"
#include "inventory/system_module_stage.h"

namespace ztrm {
namespace {

constexpr char16_t kHyphens[] =
    u"----------------------------------------------------------------------\r\n";

// The common model loop of a stage. `read` reads the modules of one model and
// returns whether the summary line is due even without the error mark. A
// library stays loaded only while its own model is read.
void RunStage(RunContext& ctx, DiscoveryBuffers& buffers, PxisaServiceList& list,
              const StageText& text, bool (*read)(ModelScope&)) {
  Log(ctx, text.banner);
  if (list.VendorCount == 0) {
    Log(ctx, text.empty_list);
    return;
  }
  for (PxisaVendorEntry& vendor : list.Vendors) {
    for (PxisaModelEntry& model : vendor.Models) {
      std::unique_ptr<VendorLibrary> library = ctx.platform.libraries.Load(model.Library.view());
      if (!library) {
        Log(ctx, text.load_failure, model.Library);
        Log(ctx, u"\r\n");
        continue;
      }
      Log(ctx, text.load_success, model.Library);
      ModelScope scope(ctx, buffers, *library, vendor, model);
      const bool summary_due = read(scope);
      if (scope.error || summary_due) LogBoundedLine(ctx, FormatWide(text.summary, model.ModelName));
      Log(ctx, u"\r\n");
    }
  }
}

}  // namespace

void DiscoverModules(RunContext& ctx) {
  Log(ctx, u"\r\n");
  Log(ctx, kHyphens);
  Log(ctx, u"                       LOAD DLL WITH IMPORT API\r\n");
  Log(ctx, kHyphens);
  Log(ctx, u"\r\n");

  auto buffers = std::make_unique<DiscoveryBuffers>();
  RunStage(ctx, *buffers, ctx.SystemModules, kSystemStage, ReadSystemModules);
  NumberSystemModules(ctx);
  // The system module records are final from here on: peripherals and
  // chassis look up their bus owners and chassis texts through the index.
  IndexSystemModules(ctx);
  RunStage(ctx, *buffers, ctx.PeripheralModules, kPeripheralStage, ReadPeripheralModules);
  RunStage(ctx, *buffers, ctx.ChassisModules, kChassisStage, ReadChassis);
}

}  // namespace ztrm
