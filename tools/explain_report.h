// `ztrm-sim --explain`: a run's decision trail told per chassis, module,
// description file, chassis list entry and bus segment walk.
//
// Sections, each item with where it ended up and the decisions that took it
// there (kind, the deciding values, where, the rule in words):
//   chassis   every chassis record in chassis order, then those left out, then
//             the chassis no description file matched;
//   modules   every controller, then every peripheral module, in registry
//             order (vendor, model, unique name, address), and the models
//             whose count was cut;
//   files     every description file: the chassis it matched, or why none
//             (the nearest miss: which line differed, and how);
//   list      every PXIChassisList.ini entry, read or not;
//   walks     every bus segment's bridge walk: the driver answers used and
//             where it stopped.
// Bounded: at most kExplainItems items a section and kExplainDecisions
// decisions an item unless `all` is set; what is left off is counted in one
// line. Names are shown escaped: control characters, bidirectional controls
// and unpaired UTF-16 halves as \xNN or \u{NNNN}, never raw.
#ifndef ZTRM_TOOLS_EXPLAIN_REPORT_H_
#define ZTRM_TOOLS_EXPLAIN_REPORT_H_

#include <cstddef>
#include <string>

#include "enumeration/decision_trail.h"
#include "enumeration/run_context.h"
#include "tools/view/system_view_model.h"

namespace ztrm {

inline constexpr std::size_t kExplainItems = 100;
inline constexpr std::size_t kExplainDecisions = 40;

struct ExplainOptions {
  bool json = false;
  bool all = false;  // no bounds
};

std::string ExplainRun(const RunContext& ctx, const DecisionTrail& trail, const ExplainOptions& options);

// The explanation of each chassis and module for ztrm-view's page (`ztrm-sim
// --html`): every item of the chassis and modules sections told as the text
// form tells it, by the section of the system files it stands in, and those
// written nowhere in the "left out" list (at most kMaxViewLeftOut, the rest
// counted). Two chassis written under one chassis ID share one text.
ViewTrail ExplainForView(const RunContext& ctx, const DecisionTrail& trail);

// Text as the report shows it (UTF-8, controls escaped) and as a JSON string
// body (without the quotes).
std::string ShownText(WStringView text);
std::string JsonText(WStringView text);

}  // namespace ztrm

#endif  // ZTRM_TOOLS_EXPLAIN_REPORT_H_
