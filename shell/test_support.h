// What the window tests share: answering message boxes, pumping messages, watching
// DefWindowProcA, reading pixels and counting system objects.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A message box as the test saw it while it opened.
struct SeenBox {
  HWND owner = NULL;
  std::string caption;
  std::string text;
  std::vector<int> buttons;  // control ids of the push buttons, in z-order
  bool questionIcon = false;
  bool anyIcon = false;
};

// Answers every message box this thread opens with `answer` (IDYES, IDNO, IDOK) and keeps what
// it saw. Ends with its scope.
class MessageBoxAnswerer {
 public:
  explicit MessageBoxAnswerer(int answer);
  ~MessageBoxAnswerer();
  const std::vector<SeenBox>& seen() const;
};

// Reads a dialog that is on screen the way MessageBoxAnswerer does.
SeenBox ReadMessageBox(HWND dialog);

// Presses a message box button from outside, as a click would.
void PressButton(HWND dialog, int id);

// Dispatches everything pending for this thread, for up to `milliseconds`, and lets paints run.
void PumpMessages(DWORD milliseconds = 50);

// Records every call the program makes to DefWindowProcA while it lives, then forwards it.
struct DefaultCall {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result;
};
class DefWindowProcRecorder {
 public:
  DefWindowProcRecorder();
  ~DefWindowProcRecorder();
  std::vector<DefaultCall> calls(UINT message) const;
};

// Pixels (0x00RRGGBB) of `area` of a window's client area as the system holds them.
std::vector<DWORD> CaptureClient(HWND hwnd, const RECT& area);

// The same area as a white page with `text` drawn at (10, 10) in a device context's default font.
std::vector<DWORD> RenderText(const char* text, int width, int height);

// Counts of live system objects, found by probing every 16-bit handle slot.
int CountGdiObjects();
int CountMenus();
int CountThreadWindows();

// The client rectangle of `child` in its parent's client coordinates.
RECT ChildRect(HWND child);
