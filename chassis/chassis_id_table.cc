#include "chassis/chassis_id_table.h"

#include <array>

#include "common/decimal.h"

namespace ztrm {
namespace {

WString SlotKey(int index) { return u"Chassis" + DecimalText(index); }

}  // namespace

void ReadChassisMappingIDs(RunContext& ctx) {
  ProfileFiles& profiles = ctx.platform.profiles;
  for (int i = 1; i <= kMaxMappingIndex; ++i) {
    WString value = profiles.ReadString(ctx.ChassisMappingPath.view(), kChassisMappingSection,
                                        SlotKey(i), u"", WideText::kCapacity);
    std::int32_t id = ParseDecimal(value);
    if (id > 0) ctx.usChassisMappingID[i] = static_cast<std::uint16_t>(id);
  }
}

std::uint16_t mf_GetComfortablyChassisID(RunContext& ctx, std::uint16_t MappingIndex) {
  if (MappingIndex < 1 || MappingIndex > kMaxMappingIndex) return 0;
  std::uint16_t current = ctx.usChassisMappingID[MappingIndex];
  if (current > 0 && current < 256) return current;

  // The smallest ID no slot holds. Only IDs up to 256 can be the answer, as
  // 255 slots cannot hold all of 1..256.
  std::array<bool, 257> taken{};
  for (int i = 1; i <= kMaxMappingIndex; ++i) {
    std::uint16_t id = ctx.usChassisMappingID[i];
    if (id < taken.size()) taken[id] = true;
  }
  std::uint16_t chosen = 1;
  while (taken[chosen]) ++chosen;

  ctx.usChassisMappingID[MappingIndex] = chosen;
  WriteChassisMappingIDs(ctx);
  return chosen;
}

void WriteChassisMappingIDs(RunContext& ctx) {
  ProfileFiles& profiles = ctx.platform.profiles;
  for (int i = 1; i <= kMaxMappingIndex; ++i) {
    profiles.WriteString(ctx.ChassisMappingPath.view(), kChassisMappingSection, SlotKey(i),
                         DecimalText(ctx.usChassisMappingID[i]));
  }
}

}  // namespace ztrm
