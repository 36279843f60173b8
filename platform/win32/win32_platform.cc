#include "platform/win32/win32_platform.h"

namespace ztrm {

Win32Platform::Win32Platform()
    : platform_{registry_, profiles_, files_, libraries_, driver_, shell_,
                clock_,    version_,  host_,  code_page_, console_} {}

}  // namespace ztrm
