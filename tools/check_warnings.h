// The warnings of ztrm-check (description_check.h lists their kinds): what
// the service would ignore, cut or read otherwise than the author probably
// meant, found by comparing what the service's code read from a file with
// the line model of the same bytes.
#ifndef ZTRM_TOOLS_CHECK_WARNINGS_H_
#define ZTRM_TOOLS_CHECK_WARNINGS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "chassis/chassis_records.h"
#include "tools/description_check.h"

namespace ztrm {

// Where discovery's kept lines stand: the line reader's pieces are counted
// as an editor counts lines (a piece over 255 units is followed by more
// pieces of the same line; a lone CR, which the reader keeps inside a piece,
// ends a line for an editor).
struct DiscoveryLine {
  std::size_t line = 0;  // 0: no piece holds the kept text
  bool whole = false;    // ends with its line feed
  bool last = false;     // nothing follows it
};

struct DiscoveryLines {
  DiscoveryLine vendor, model;
  std::vector<std::size_t> headers;  // lines of bus segment section headers
};

// One profile read the parser made.
struct ProfileRead {
  WString section, key;
};

// True for a file that starts with a UTF-16 byte order mark.
bool IsUtf16Text(const std::string& bytes);

// Adds the warnings of `check`, whose sys, slots, vendor, model, document and
// index are filled, to check.warnings: in line order, at most kMaxWarnings
// kept, the rest counted in warnings_left_out. `found` is discovery's record
// of the file, `lines` where its kept lines stand, `reads` every read the
// parser made.
void AddCheckWarnings(DescriptionCheck& check, const std::string& bytes,
                      const stChassisDescFile& found, const DiscoveryLines& lines,
                      const std::vector<ProfileRead>& reads);

}  // namespace ztrm

#endif  // ZTRM_TOOLS_CHECK_WARNINGS_H_
