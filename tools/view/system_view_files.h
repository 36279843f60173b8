// The file side of ztrm-view, shared by ztrm-view and `ztrm-sim --html`:
// reads the run's files (each at most kMaxViewFileBytes + 1 bytes, so an
// oversized file is read only as far as the model uses it), builds the page
// and writes it.
#ifndef ZTRM_TOOLS_VIEW_SYSTEM_VIEW_FILES_H_
#define ZTRM_TOOLS_VIEW_SYSTEM_VIEW_FILES_H_

#include <string>
#include <vector>

#include "tools/view/system_view_model.h"

namespace ztrm {

struct ViewPageResult {
  bool written = false;
  std::string error;                 // why the page was not written
  std::vector<std::string> skipped;  // what the page names as not drawn
};

// `log_path` empty: no run log. A file that cannot be read is named in the
// page and drawn without. `trail`: the decisions of the run that wrote the
// files, when the caller made that run (see ViewTrail); null draws without.
ViewPageResult WriteSystemViewPage(const std::string& pxisys_path, const std::string& pxiesys_path,
                                   const std::string& log_path, const std::string& out_path,
                                   const ViewTrail* trail = nullptr);

}  // namespace ztrm

#endif  // ZTRM_TOOLS_VIEW_SYSTEM_VIEW_FILES_H_
