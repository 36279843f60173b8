#include "inventory/model_scope.h"

#include <algorithm>
#include <string>

#include "enumeration/decision_trail.h"
#include "enumeration/run_log.h"

namespace ztrm {

NarrowName::NarrowName(const RunContext& ctx, const WideText& name) {
  std::string text = ctx.locale.ToMultiByte(name.view());
  std::copy_n(text.begin(), std::min(text.size(), bytes.size() - 1), bytes.begin());
}

WideText WidenName(const RunContext& ctx, const char* bytes, std::size_t size) {
  std::size_t length = 0;
  while (length < size && bytes[length] != 0) ++length;
  return WideText(ctx.locale.FromMultiByte(std::string_view(bytes, length)));
}

std::size_t RecordCount(const PxisaServiceList& list) {
  std::size_t count = 0;
  for (const PxisaVendorEntry& vendor : list.Vendors) {
    for (const PxisaModelEntry& model : vendor.Models) count += model.Modules.size();
  }
  return count;
}

bool CountModules(ModelScope& s, const StageText& text, std::size_t already_read) {
  if (!s.library.HasExport(text.count_export)) {
    Log(s.ctx, text.count_import_failure);
    s.error = true;
    return false;
  }
  std::uint32_t count = 0;
  s.library.CallGetCount(text.count_export, s.vendor_narrow.c_str(), s.model_narrow.c_str(), &count);
  s.model.ModuleCount = count;
  if (count == 0) {
    Log(s.ctx, text.count_none_line, s.vendor.VendorName, s.model.ModelName);
  } else {
    Log(s.ctx, text.count_line, count, s.vendor.VendorName, s.model.ModelName);
  }
  const std::uint32_t left = already_read >= text.max_per_run
                                 ? 0
                                 : text.max_per_run - static_cast<std::uint32_t>(already_read);
  s.read_count = std::min(count, left);
  if (count > left) {
    Log(s.ctx, text.count_limit_line, left, left, text.max_per_run);
    if (s.ctx.Trail) {
      TrailEntry& e = s.ctx.Trail->Add(TrailKind::kCountCut,
                                       {TrailSubjectKind::kModel, s.ctx.Trail->NextModel(), 0},
                                       u"the modules past the first ones: not written");
      With(e, "vendor", s.vendor.VendorName.view());
      With(e, "model", s.model.ModelName.view());
      With(e, "reported", count);
      With(e, "read", left);
      With(e, "bound of the run", text.max_per_run);
    }
  }
  return true;
}

void ReadModuleName(ModelScope& s, const char* export_name, std::uint32_t index,
                    ModuleRecord& record) {
  DiscoveryBuffers& b = s.buffers;
  s.library.CallGetName(export_name, s.vendor_narrow.c_str(), s.model_narrow.c_str(), index,
                        b.unique_name.data(), b.address_info.data());
  record.UniqueName = WidenName(s.ctx, b.unique_name.data(), kVendorBufferSize);
  record.AddressInfo = WidenName(s.ctx, b.address_info.data(), kVendorBufferSize);
}

std::uint32_t ReadInformation(ModelScope& s, const char* export_name, std::uint32_t item) {
  std::uint32_t value = 0;
  s.library.CallGetInformation(export_name, s.buffers.unique_name.data(),
                               s.buffers.address_info.data(), item, &value);
  return value;
}

}  // namespace ztrm
