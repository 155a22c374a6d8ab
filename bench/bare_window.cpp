// The yardstick for the die's size and start-up time: the smallest program of the same kind,
// a class, a window and a message loop, built with the same compiler and flags.
#include <windows.h>
#ifdef BARE_WITH_COMMON_CONTROLS
#include <commctrl.h>
#endif

static LRESULT CALLBACK BareWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef BARE_WITH_COMMON_CONTROLS
  InitCommonControls();  // the one thing the die needs beyond a bare window: its status bar
#endif
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = BareWindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = "BARE";
  if (!RegisterClassA(&windowClass)) return -1;
  if (!CreateWindowExA(0, "BARE", "bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                       CW_USEDEFAULT, 230, 150, NULL, NULL, instance, NULL)) {
    return -1;
  }
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
