// The page ztrm-view writes: one self-contained HTML file (inline CSS and
// SVG, no script, nothing fetched) that draws each chassis of a SystemView
// and tables the same facts beneath it. Pure: model in, bytes out.
//
// Drawing of a chassis (one <svg class="chassis" data-chassis="ID">), top to
// bottom: the PCI bus segments as bands over their slots, with a dashed line
// where one segment ends and the next begins; the slots in a row, each
// `<rect class="slot ..." data-chassis data-slot>` with its name, the
// system slot marked SYS and the timing slot TIM; in a slot its module,
// `<rect class="module" data-chassis data-slot>` with model, bus and device
// (the system slot's module is the controller); the slot's own PCI bus and
// device under it; star trigger lines as curves from the timing slot to each
// slot they reach; the trigger buses as coloured bands (overlapping buses on
// rows of their own) and each trigger bridge as a box linked to its two
// buses. Every text taken from the files is escaped.
#ifndef ZTRM_TOOLS_VIEW_SYSTEM_VIEW_HTML_H_
#define ZTRM_TOOLS_VIEW_SYSTEM_VIEW_HTML_H_

#include <string>

#include "tools/view/system_view_model.h"

namespace ztrm {

// Text for HTML content and attribute values: & < > " ' escaped, control
// characters (other than tab and line feed) as '?'.
std::string EscapeHtml(const std::string& text);

std::string RenderSystemViewHtml(const SystemView& view);

}  // namespace ztrm

#endif  // ZTRM_TOOLS_VIEW_SYSTEM_VIEW_HTML_H_
