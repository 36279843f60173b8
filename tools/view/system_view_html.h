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
// buses, the bridges side by side on one row under them. A slot the files
// list more than once is drawn once, with a mark (U+00D7 and the count)
// whose tooltip says what the files hold. Every text taken from the files is escaped, and cut
// to fit its box (FitText) with the whole text in a tooltip.
//
// With the run's decision trail (SystemView::has_trail), each chassis
// drawing's <title> and each module's tooltip also tell the decisions that
// put it there, and a "Left out of the system files" list after the chassis
// names what the run wrote nowhere, each with its decisions. Without one the
// page is as it always was.
#ifndef ZTRM_TOOLS_VIEW_SYSTEM_VIEW_HTML_H_
#define ZTRM_TOOLS_VIEW_SYSTEM_VIEW_HTML_H_

#include <string>
#include <vector>

#include "tools/view/system_view_model.h"

namespace ztrm {

// Text for HTML content and attribute values: & < > " ' escaped, control
// characters (other than tab and line feed) as '?'.
std::string EscapeHtml(const std::string& text);

// How wide UTF-8 `text` is drawn at `font_px`, in SVG units: the advance
// widths of DejaVu Sans (regular or bold), the widest of the usual sans-serif
// defaults, so a text measured to fit fits in any of them; every character
// beyond ASCII counts 1 em.
double TextWidth(const std::string& text, double font_px, bool bold = false);

// A text drawn in a box: the text itself when it fits `width`, else cut with
// an ellipsis, at its end or in its middle (keeping more of the end, where
// names differ); `cut` texts carry the whole text in a tooltip on the page.
struct FittedText {
  std::string shown;
  bool cut = false;
  bool operator==(const FittedText& o) const { return shown == o.shown && cut == o.cut; }
};
enum class Ellipsis { kEnd, kMiddle };
FittedText FitText(const std::string& text, double width, double font_px,
                   Ellipsis where = Ellipsis::kEnd, bool bold = false);

// Labels for texts drawn side by side (the instance names of a chassis's
// modules), each fitted with a middle ellipsis, such that different texts
// keep different labels: where two would look alike, each shows the part
// from where they differ.
std::vector<FittedText> DistinctLabels(const std::vector<std::string>& texts, double width,
                                       double font_px);

std::string RenderSystemViewHtml(const SystemView& view);

}  // namespace ztrm

#endif  // ZTRM_TOOLS_VIEW_SYSTEM_VIEW_HTML_H_
