// ztrm_wine_idle.exe: does nothing, for ever. A Wine session ends its services
// when its last ordinary process exits; the end-to-end tests keep this one
// running across their commands and end it by its process id.
#include <windows.h>

int main() {
  for (;;) Sleep(INFINITE);
}
