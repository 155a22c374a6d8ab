#include "main_window.h"

#include <commctrl.h>

#include "draw.h"
#include "texts.h"

HWND StatusBar;
HMENU MenuBar;
HMENU FileMenu;
HMENU HelpMenu;

// cbSize tells the system which layout of the menu item record it gets: 48 bytes on 32-bit
// Windows, 80 on 64-bit, where its handles and pointers are twice as wide.
static_assert(sizeof(MENUITEMINFOA) == (sizeof(void*) == 4 ? 48 : 80),
              "the menu item record of this Windows");

ATOM RegisterMainClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(NULL, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  // No menu resource carries this name; the menu bar is built at WM_CREATE instead.
  windowClass.lpszMenuName = kClassName;
  windowClass.lpszClassName = kClassName;
  return RegisterClassA(&windowClass);
}

HWND CreateMainWindow(HINSTANCE instance) {
  return CreateWindowExA(0, kClassName, kWindowTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                         CW_USEDEFAULT, CW_USEDEFAULT, kWindowWidth, kWindowHeight, NULL, NULL,
                         instance, NULL);
}

// Inserts one string item by position; `item` carries the mask and either the id or the submenu.
static void InsertTextItem(HMENU menu, UINT position, const char* text, MENUITEMINFOA& item) {
  item.dwTypeData = const_cast<char*>(text);
  InsertMenuItemA(menu, position, TRUE, &item);
}

// The status bar and the menu bar are built here, not from resources: the program carries none.
// Nothing is checked; a part that cannot be made is simply missing.
static LRESULT OnCreate(HWND hwnd) {
  InitCommonControls();
  StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, kStatusText,
                                  hwnd, IDC_STATUSBAR);
  MenuBar = CreateMenu();
  FileMenu = CreatePopupMenu();
  HelpMenu = CreatePopupMenu();

  MENUITEMINFOA item = {};
  item.cbSize = sizeof item;
  item.fMask = MIIM_SUBMENU | MIIM_TYPE;
  item.fType = MFT_STRING;
  item.hSubMenu = FileMenu;
  InsertTextItem(MenuBar, 0, kFileMenuText, item);
  item.hSubMenu = HelpMenu;
  InsertTextItem(MenuBar, 1, kHelpMenuText, item);

  item.fMask = MIIM_ID | MIIM_TYPE;
  item.hSubMenu = NULL;
  item.wID = IDM_EXIT;
  InsertTextItem(FileMenu, 0, kExitItemText, item);
  item.wID = IDM_USAGE;
  InsertTextItem(HelpMenu, 0, kUsageItemText, item);
  item.wID = IDM_ABOUT;
  InsertTextItem(HelpMenu, 1, kAboutItemText, item);

  SetMenu(hwnd, MenuBar);
  return 0;
}

// Ending the message loop ends the program, with exit code 0.
static LRESULT OnDestroy() {
  PostQuitMessage(0);
  return 0;
}

// The status control places itself along the bottom edge when told the new size.
static LRESULT OnSize(WPARAM wParam, LPARAM lParam) {
  SendMessageA(StatusBar, WM_SIZE, wParam, lParam);
  return 0;
}

// Shows the latest pick at (10, 10) in the default font and colours; the class brush has
// already wiped the old line.
static LRESULT OnPaint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  FormatResultLine();
  TextOutA(dc, 10, 10, ResultLine, lstrlenA(ResultLine));
  EndPaint(hwnd, &ps);
  return 0;
}

// Closing always asks first, whether it comes from the close box, the system menu or FILE.
static LRESULT OnClose(HWND hwnd) {
  if (MessageBoxA(hwnd, kCloseText, kCloseCaption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
    DestroyWindow(hwnd);
  }
  return 0;
}

// Any key, auto-repeat included, draws for the current second and repaints the whole line.
static LRESULT OnKeyDown(HWND hwnd) {
  DrawNumbers();
  InvalidateRect(hwnd, NULL, TRUE);
  return 0;
}

static LRESULT OnCommand(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDM_EXIT:
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case IDM_USAGE:
      MessageBoxA(hwnd, kUsageText, kUsageCaption, MB_OK);
      return 0;
    case IDM_ABOUT:
      MessageBoxA(hwnd, kAboutText, kAboutCaption, MB_OK);
      return 0;
  }
  return DefWindowProcA(hwnd, WM_COMMAND, wParam, lParam);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(hwnd);
    case WM_DESTROY:
      return OnDestroy();
    case WM_SIZE:
      return OnSize(wParam, lParam);
    case WM_PAINT:
      return OnPaint(hwnd);
    case WM_CLOSE:
      return OnClose(hwnd);
    case WM_KEYDOWN:
      return OnKeyDown(hwnd);
    case WM_COMMAND:
      return OnCommand(hwnd, wParam, lParam);
  }
  // Alt keys, F10 and the mouse end up here too, so they draw nothing.
  return DefWindowProcA(hwnd, message, wParam, lParam);
}
