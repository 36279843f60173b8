// Log lines that are built in a 260-unit buffer before they are written: the
// text is cut at 259 units (a unique name and an address info of 259 units
// each cannot both fit), then written followed by "\r\n".
#ifndef ZTRM_INVENTORY_LOGGED_LINE_H_
#define ZTRM_INVENTORY_LOGGED_LINE_H_

#include "common/wide_text.h"
#include "enumeration/run_log.h"

namespace ztrm {

inline void LogBoundedLine(RunContext& ctx, WStringView line) {
  Log(ctx, u"%s\r\n", line.substr(0, WideText::kMaxLength));
}

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_LOGGED_LINE_H_
