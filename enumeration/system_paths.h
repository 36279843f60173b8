// Where the system's files lie: the Windows folder and the common
// application data folder, as the shell names them.
#ifndef ZTRM_ENUMERATION_SYSTEM_PATHS_H_
#define ZTRM_ENUMERATION_SYSTEM_PATHS_H_

#include "common/wide_text.h"
#include "platform/shell.h"

namespace ztrm {

// The run's three files in the Windows folder; a run holds all three.
inline constexpr char16_t kRunLogName[] = u"pxirms.log";
inline constexpr char16_t kPxiSysName[] = u"pxisys.ini";
inline constexpr char16_t kPxieSysName[] = u"pxiesys.ini";

// "%s\<name>" in the Windows folder (an empty folder text when the shell
// cannot name it).
WideText WindowsFolderFile(Shell& shell, WStringView name);

// "%s\PXISA\configuration.ini" in the common application data folder.
WideText PxisaConfigurationFile(Shell& shell);

}  // namespace ztrm

#endif  // ZTRM_ENUMERATION_SYSTEM_PATHS_H_
