// The die's one window: its class, its creation and the procedure that answers its messages.
#pragma once

#include <windows.h>

// Menu command ids, the low word of wParam in WM_COMMAND.
enum { IDM_EXIT = 40001, IDM_USAGE = 40002, IDM_ABOUT = 40003 };

// The status bar's control id among the main window's children.
enum { IDC_STATUSBAR = 1 };

// Outer size of the main window, frame, title bar and menu bar included.
enum { kWindowWidth = 230, kWindowHeight = 150 };

extern HWND StatusBar;  // the start prompt along the bottom edge
extern HMENU MenuBar;   // FILE and HELP
extern HMENU FileMenu;  // exit
extern HMENU HelpMenu;  // usage and About

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the "VOREL" class; returns 0 when that fails (for instance when it exists already).
ATOM RegisterMainClass(HINSTANCE instance);

// Creates the visible main window of that class; returns NULL when that fails.
HWND CreateMainWindow(HINSTANCE instance);
