// ztrm-view: a picture of a PXI system from one run's files.
//
//   ztrm-view [--log PXIRMS.LOG] PXISYS.INI PXIESYS.INI -o OUT.html
//
// Writes one self-contained HTML page (inline SVG and CSS, no script) that
// draws every chassis the two files describe and tables the same facts.
// What cannot be drawn is named in the page and on standard error. The files
// alone do not say why a module is missing; `ztrm-sim --html` writes the page
// with the decisions of the run it made.
// Exit: 0 page written, nothing skipped; 1 page written, something skipped;
// 2 bad command line or the page could not be written.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/view/system_view_files.h"

namespace {

const char kUsage[] = "usage: ztrm-view [--log PXIRMS.LOG] PXISYS.INI PXIESYS.INI -o OUT.html\n";
const char kHelp[] =
    "usage: ztrm-view [--log PXIRMS.LOG] PXISYS.INI PXIESYS.INI -o OUT.html\n"
    "\n"
    "Draws one run's system files as one self-contained HTML page (inline SVG and\n"
    "tables, no script): each chassis with its slots, modules, bus segments, trigger\n"
    "buses and bridges and star trigger lines. What cannot be drawn is named in the\n"
    "page's \"Not drawn\" list and on standard error.\n"
    "\n"
    "From the files alone it cannot tell why a module or chassis is missing: only\n"
    "the run that wrote them knows. `ztrm-sim --html IMAGE` draws the same page\n"
    "after its run with the run's decisions in each chassis's and module's tooltip\n"
    "and a list of what was left out and why.\n"
    "\n"
    "  --log PXIRMS.LOG  also show the run's time, host and failure lines\n"
    "  -o OUT.html       the page to write\n"
    "  --help            this text\n"
    "\n"
    "Exit codes: 0 page written; 1 page written with something not drawn; 2 wrong\n"
    "command line, or the page could not be written.\n";

// A note for the terminal: control characters from the files shown as '?'.
std::string Printable(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  std::string log, out;
  std::string files[2];
  int given = 0;
  for (int i = 1; i < argc; ++i) {
    const bool has_value = i + 1 < argc;
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--log") == 0 && has_value && log.empty()) {
      log = argv[++i];
    } else if (std::strcmp(argv[i], "-o") == 0 && has_value && out.empty()) {
      out = argv[++i];
    } else if (argv[i][0] != '-' && given < 2) {
      files[given++] = argv[i];
    } else {
      std::fprintf(stderr, "ztrm-view: unexpected argument '%s'; %s", argv[i], kUsage);
      return 2;
    }
  }
  if (given != 2 || out.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  ztrm::ViewPageResult result = ztrm::WriteSystemViewPage(files[0], files[1], log, out);
  for (const std::string& note : result.skipped) {
    std::fprintf(stderr, "ztrm-view: not drawn: %s\n", Printable(note).c_str());
  }
  if (!result.written) {
    std::fprintf(stderr, "ztrm-view: %s\n", Printable(result.error).c_str());
    return 2;
  }
  std::printf("wrote %s\n", out.c_str());
  return result.skipped.empty() ? 0 : 1;
}
