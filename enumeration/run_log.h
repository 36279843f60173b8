// The run log, pxirms.log in the Windows folder: the trace of the last run.
//
// It has no levels and no per-line prefix; each message carries its own line
// end. Only the run writes through RunContext::LogStream; the stop line and
// the one-shot probe open the file on their own, and the exclusive opening
// makes them fail while a run holds it.
#ifndef ZTRM_ENUMERATION_RUN_LOG_H_
#define ZTRM_ENUMERATION_RUN_LOG_H_

#include "common/wide_format.h"
#include "enumeration/run_context.h"

namespace ztrm {

// Formats a message and writes it to the run log; nothing happens when no run
// holds the log open.
template <typename... Args>
void Log(RunContext& ctx, WStringView format, const Args&... args) {
  if (ctx.LogStream) ctx.LogStream->Print(format, args...);
}

// Writes `text` to the run log as it stands, NUL units and all.
inline void LogText(RunContext& ctx, WStringView text) {
  if (ctx.LogStream) ctx.LogStream->Write(text);
}

// Appends "SERVICE STOPED\r\n" to the log at `log_path` through a stream of its
// own; left out when the file cannot be opened (a run holds it).
void AppendStopLine(FileSystem& files, const ProcessLocale& locale, WStringView log_path);

// Opens `path` in append mode and closes it at once, writing nothing; true
// when it opened, i.e. no run holds it.
bool ProbeFileFree(FileSystem& files, WStringView path);

}  // namespace ztrm

#endif  // ZTRM_ENUMERATION_RUN_LOG_H_
