#include "enumeration/chassis_list.h"

#include <algorithm>

#include "chassis/chassis_mapping.h"
#include "common/decimal.h"
#include "common/wide_format.h"

namespace ztrm {
namespace {

WString ReadValue(RunContext& ctx, WStringView section, WStringView key) {
  return ctx.platform.profiles.ReadString(ctx.ChassisListPath.view(), section, key, u"",
                                          WideText::kCapacity);
}

}  // namespace

void MapListedPXI1Chassis(RunContext& ctx) {
  std::int32_t total = ParseDecimal(ReadValue(ctx, u"Information", u"TotalChassis"));
  total = std::min(total, kMaxChassisListEntries);
  for (std::int32_t i = 1; i <= total; ++i) {
    WString section = FormatWide(u"Chassis%d", i);
    std::int32_t chassis_id = ParseDecimal(ReadValue(ctx, section, u"ChassisID"));
    WideText vendor = ReadValue(ctx, section, u"Vendor");
    WideText model = ReadValue(ctx, section, u"Model");
    std::int32_t root_bus = ParseDecimal(ReadValue(ctx, section, u"PCIRootBusNumber"));
    MapPXI1Chassis(ctx, vendor.view(), model.view(), root_bus, chassis_id);
  }
}

}  // namespace ztrm
