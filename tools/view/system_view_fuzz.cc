// Fuzz target: ztrm-view's reading and drawing over hostile files.
//
// Input: the bytes of pxisys.ini, pxiesys.ini and the run log, separated by
// the marker "\n\x01F" (missing parts: the file was not given). The page is
// drawn and must stay within its bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/view/system_view_html.h"
#include "tools/view/system_view_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  constexpr std::string_view kMarker("\n\x01" "F", 3);
  ztrm::ViewInputs inputs;
  std::optional<std::string>* parts[] = {&inputs.pxisys, &inputs.pxiesys, &inputs.run_log};
  for (std::optional<std::string>* part : parts) {
    if (input.data() == nullptr) break;
    std::size_t at = input.find(kMarker);
    *part = std::string(input.substr(0, at));
    input = at == std::string_view::npos ? std::string_view() : input.substr(at + kMarker.size());
  }
  ztrm::SystemView view = ztrm::ReadSystemView(inputs);
  std::string page = ztrm::RenderSystemViewHtml(view);
  if (page.size() > ztrm::kMaxViewPageBytes + (1u << 20)) std::abort();
  return 0;
}
