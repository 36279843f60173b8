#include "output/root_bus_list.h"

#include <optional>

#include "common/text_stream.h"
#include "common/wide_format.h"
#include "output/driver_session.h"

namespace ztrm {

int mf_WriteRootBusList(RunContext& ctx) {
  stRootBusList& table = ctx.RootBusList;
  table.Zero();
  DriverHandle handle = OpenResourceDriver(ctx);
  if (handle == 0) return kDriverUnavailable;
  if (!RequestRootBusList(ctx, handle, table)) return kDriverRequestFailed;

  std::optional<WString> windows = ctx.platform.shell.GetSpecialFolder(SpecialFolder::kWindows);
  if (!windows) return kDriverDone;  // nowhere to write it
  WString path = FormatWide(u"%s\\ztbuslist.dat", *windows);
  std::unique_ptr<TextStream> file =
      OpenTextStream(ctx.platform.files, path, OutputMode::kReplace, ctx.locale);
  if (!file) return kDriverDone;

  file->Print(u"[RootBusList]\n");
  file->Print(u"Count=\"%d\"\n", table.uNumOfRootBus());
  int k = 0;
  for (std::size_t row = 0; row < rmdrv::kRootBusRows; ++row) {
    for (std::size_t column = 0; column < rmdrv::kRootBusRows; ++column) {
      if (table.Entry(row, column) == 1) {
        file->Print(u"Item%d=\"%d,%d\"\n", ++k, static_cast<int>(row), static_cast<int>(column));
      }
    }
  }
  file->Close();
  return kDriverDone;
}

}  // namespace ztrm
