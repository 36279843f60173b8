// A vendor module library that misbehaves, for the capture's Wine test: its
// peripheral module GetCount crashes for the model "Crash" and never returns
// for the model "Hang"; every other export is present and reports nothing.
#include <cstdint>
#include <cstring>

#include "platform/win32/win32_windows.h"

extern "C" {

__declspec(dllexport) void WINAPI PXISA_PeripheralModule_GetCount(const char*, const char* model,
                                                                  std::uint32_t* count) {
  if (std::strcmp(model, "Crash") == 0) {
    volatile std::uint32_t* nowhere = nullptr;
    *nowhere = 1;
  }
  if (std::strcmp(model, "Hang") == 0) {
    for (;;) Sleep(1000);
  }
  *count = 0;
}

__declspec(dllexport) void WINAPI PXISA_PeripheralModule_GetName(const char*, const char*,
                                                                 std::uint32_t, char*, char*) {}

__declspec(dllexport) void WINAPI PXISA_PeripheralModule_GetInformation(const char*, const char*,
                                                                        std::uint32_t,
                                                                        std::uint32_t*) {}
}
