// <windows.h> for the backend's .cc files, never for a header of the core.
//
// The Win32 headers define CreateDirectory and SetCurrentDirectory as macros
// for their W/A variants; FileSystem has methods of those names, so the macros
// go and the backend names the W functions explicitly.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_WINDOWS_H_
#define ZTRM_PLATFORM_WIN32_WIN32_WINDOWS_H_

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CreateDirectory
#undef SetCurrentDirectory

#endif  // ZTRM_PLATFORM_WIN32_WIN32_WINDOWS_H_
