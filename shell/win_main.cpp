// The program's entry: one class, one window, one message loop; the loop's end is the exit code.
#include <windows.h>

#include "main_window.h"

// The command line, the previous instance and the show command are not read: the window shows
// itself through WS_VISIBLE, and a second copy may run beside the first.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (!RegisterMainClass(instance)) return -1;
  if (!CreateMainWindow(instance)) return -1;
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
