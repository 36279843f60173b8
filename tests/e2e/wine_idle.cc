// ztrm_wine_idle.exe [READY_FILE [HOLD_FILE]]: does nothing, for ever. A Wine
// session ends its services when its last ordinary process exits; the
// end-to-end tests keep this one running across their commands and end it by
// its process id. READY_FILE, when given, is created once the process runs,
// so that the tests start their next Wine command only when the session is up
// (two commands racing to start the Wine server has been seen to stall one of
// them). HOLD_FILE, when given, is opened for reading first and kept open, as
// another program reading it would (sharing reads and writes, as readers
// do); the process then exits at once if it cannot be opened.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc > 2) {
    HANDLE held = CreateFileW(argv[2], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
  }
  if (argc > 1) {
    HANDLE ready = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
  }
  for (;;) Sleep(INFINITE);
}
