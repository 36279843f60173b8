#include "enumeration/chassis_list.h"

#include <algorithm>

#include "chassis/chassis_mapping.h"
#include "common/decimal.h"
#include "common/wide_format.h"
#include "enumeration/decision_trail.h"

namespace ztrm {
namespace {

WString ReadValue(RunContext& ctx, WStringView section, WStringView key) {
  return ctx.platform.profiles.ReadString(ctx.ChassisListPath.view(), section, key, u"",
                                          WideText::kCapacity);
}

// The entries after the last one read that the file does hold: [ChassisN]
// sections with a Vendor, Model or ChassisID, up to the first without.
void TrailUnreadEntries(RunContext& ctx, std::int32_t read, std::int32_t listed_total) {
  constexpr std::int32_t kLookAhead = 65536;  // bounds the search on a huge file
  for (std::int32_t i = read + 1; i <= read + kLookAhead; ++i) {
    WString section = FormatWide(u"Chassis%d", i);
    WString vendor = ReadValue(ctx, section, u"Vendor");
    WString model = ReadValue(ctx, section, u"Model");
    if (vendor.empty() && model.empty() && ReadValue(ctx, section, u"ChassisID").empty()) break;
    TrailEntry& e = ctx.Trail->Add(TrailKind::kListUnread,
                                   {TrailSubjectKind::kListEntry, static_cast<std::uint32_t>(i), 0},
                                   kNotWritten);
    With(e, "TotalChassis", FormatWide(u"%d", listed_total));
    With(e, "Vendor", vendor);
    With(e, "Model", model);
  }
}

}  // namespace

void MapListedPXI1Chassis(RunContext& ctx) {
  const std::int32_t listed_total = ParseDecimal(ReadValue(ctx, u"Information", u"TotalChassis"));
  const std::int32_t total = std::min(listed_total, kMaxChassisListEntries);
  for (std::int32_t i = 1; i <= total; ++i) {
    WString section = FormatWide(u"Chassis%d", i);
    std::int32_t chassis_id = ParseDecimal(ReadValue(ctx, section, u"ChassisID"));
    WideText vendor = ReadValue(ctx, section, u"Vendor");
    WideText model = ReadValue(ctx, section, u"Model");
    std::int32_t root_bus = ParseDecimal(ReadValue(ctx, section, u"PCIRootBusNumber"));
    const TrailSubject subject{TrailSubjectKind::kListEntry, static_cast<std::uint32_t>(i), 0};
    if (ctx.Trail) {
      TrailEntry& e = ctx.Trail->Add(TrailKind::kListed, subject);
      With(e, "ChassisID", static_cast<std::uint16_t>(chassis_id));
      With(e, "Vendor", vendor.view());
      With(e, "Model", model.view());
      With(e, "PCIRootBusNumber", static_cast<std::uint16_t>(root_bus));
    }
    MapPXI1Chassis(ctx, vendor.view(), model.view(), root_bus, chassis_id, subject);
  }
  if (ctx.Trail) TrailUnreadEntries(ctx, std::max(total, 0), listed_total);
}

}  // namespace ztrm
