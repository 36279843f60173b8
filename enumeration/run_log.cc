#include "enumeration/run_log.h"

namespace ztrm {

void AppendStopLine(FileSystem& files, const ProcessLocale& locale, WStringView log_path) {
  std::unique_ptr<TextStream> stream = OpenTextStream(files, log_path, OutputMode::kAppend, locale);
  if (stream) stream->Write(u"SERVICE STOPED\r\n");
}

bool ProbeFileFree(FileSystem& files, WStringView path) {
  return files.OpenOutput(path, OutputMode::kAppend) != nullptr;
}

}  // namespace ztrm
