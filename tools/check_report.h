// ztrm-check's two report forms over the same facts.
//
// Text, per file: the file's name on a line of its own, then indented lines:
// vendor, model and bus segment header count as discovery sees them; the
// version; each PCI and PXI-1 bus segment with its IDSEL lines; each slot with
// its place (device number and bus segment, from slot path resolution); each
// trigger bus, trigger bridge, line mapping spec, star trigger and star system
// timing set; then one line per warning ("line N: kind: message", or
// "file: kind: message" for the file as a whole) and a result line. Items
// give the line of their section ("no section" when the file has none: the
// parser then reads empty values). A refused file is one line:
// "FILE: error: reason".
//
// JSON: {"files": [...]}, one object per file with the same facts; "line"
// is null where the text says "no section" or "file".
#ifndef ZTRM_TOOLS_CHECK_REPORT_H_
#define ZTRM_TOOLS_CHECK_REPORT_H_

#include <string>
#include <vector>

#include "platform/console.h"
#include "tools/description_check.h"

namespace ztrm {

std::string FormatCheckText(const DescriptionCheck& check);
std::string FormatCheckJson(const std::vector<DescriptionCheck>& checks);

// The command's output for all its files, in the form asked for, written to
// `console`; returns the exit code: the highest of the files'.
int ReportChecks(const std::vector<DescriptionCheck>& checks, bool json, Console& console);

inline constexpr char kCheckUsage[] = "usage: ztrm-check [--json] FILE...\n";
// What --help prints (both builds).
inline constexpr char kCheckHelp[] =
    "usage: ztrm-check [--json] FILE...\n"
    "\n"
    "Shows, for each chassis description file, what the service takes from it (read by\n"
    "the service's own code: vendor and model as discovery matches them, bus segments,\n"
    "slots with their PCI devices, trigger buses and bridges, star triggers), then one\n"
    "warning per thing the service would ignore, cut or read otherwise than meant, with\n"
    "its line number and kind.\n"
    "\n"
    "  --json  the same facts as one JSON document\n"
    "  --help  this text\n"
    "\n"
    "Exit codes: 0 every file clean; 1 warnings; 2 a file no chassis can ever be matched\n"
    "to, a refused file (a folder, unreadable, empty, binary, a line over 64 KiB, over\n"
    "2 MiB), or a wrong command line.\n";

}  // namespace ztrm

#endif  // ZTRM_TOOLS_CHECK_REPORT_H_
