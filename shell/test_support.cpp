#include "test_support.h"

static HDC MakePage(int width, int height, DWORD** bits, HBITMAP* bitmap);
static std::vector<DWORD> TakePage(HDC page, HBITMAP bitmap, const DWORD* bits, int count);

namespace {

HHOOK boxHook;
int boxAnswer;
std::vector<SeenBox> boxesSeen;

LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND dialog = reinterpret_cast<HWND>(wParam);
    char className[32] = "";
    GetClassNameA(dialog, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0) {
      boxesSeen.push_back(ReadMessageBox(dialog));
      PressButton(dialog, boxAnswer);
    }
  }
  return CallNextHookEx(boxHook, code, wParam, lParam);
}

bool IconsLookAlike(HICON a, HICON b);

struct BoxReading {
  SeenBox* box;
  HICON question;
};

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM context) {
  BoxReading* reading = reinterpret_cast<BoxReading*>(context);
  char className[32] = "";
  GetClassNameA(child, className, sizeof className);
  LONG style = GetWindowLongA(child, GWL_STYLE);
  if (lstrcmpiA(className, "Button") == 0) {
    reading->box->buttons.push_back(GetDlgCtrlID(child));
  } else if (lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
    HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    if (icon && (style & WS_VISIBLE)) {
      reading->box->anyIcon = true;
      reading->box->questionIcon = IconsLookAlike(icon, reading->question);
    }
  } else if (lstrcmpiA(className, "Static") == 0) {
    char text[512] = "";
    GetWindowTextA(child, text, sizeof text);
    if (text[0]) reading->box->text = text;
  }
  return TRUE;
}

// Where the program's calls to DefWindowProcA go: its entry in the import address table. The
// linker names it with the stdcall decoration on 32-bit Windows, plainly on 64-bit.
typedef LRESULT(WINAPI* WindowProcedure)(HWND, UINT, WPARAM, LPARAM);
#ifdef _WIN64
extern "C" WindowProcedure importedDefWindowProc __asm__("__imp_DefWindowProcA");
#else
extern "C" WindowProcedure importedDefWindowProc __asm__("__imp__DefWindowProcA@16");
#endif
WindowProcedure realDefWindowProc;
std::vector<DefaultCall> defaultCalls;

LRESULT WINAPI RecordDefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = realDefWindowProc(hwnd, message, wParam, lParam);
  defaultCalls.push_back({hwnd, message, wParam, lParam, result});
  return result;
}

void SetImportedDefWindowProc(WindowProcedure procedure) {
  DWORD old;
  VirtualProtect(&importedDefWindowProc, sizeof importedDefWindowProc, PAGE_READWRITE, &old);
  importedDefWindowProc = procedure;
  VirtualProtect(&importedDefWindowProc, sizeof importedDefWindowProc, old, &old);
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM context) {
  ++*reinterpret_cast<int*>(context);
  EnumChildWindows(hwnd, CountWindow, context);
  return TRUE;
}

}  // namespace

namespace {

// Two icon handles may hold the same picture (a message box may load its own copy).
bool IconsLookAlike(HICON a, HICON b) {
  std::vector<DWORD> pictures[2];
  HICON icons[2] = {a, b};
  for (int i = 0; i < 2; ++i) {
    DWORD* bits;
    HBITMAP bitmap;
    HDC page = MakePage(32, 32, &bits, &bitmap);
    RECT all = {0, 0, 32, 32};
    FillRect(page, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    DrawIconEx(page, 0, 0, icons[i], 32, 32, 0, NULL, DI_NORMAL);
    pictures[i] = TakePage(page, bitmap, bits, 32 * 32);
  }
  return pictures[0] == pictures[1];
}

}  // namespace

SeenBox ReadMessageBox(HWND dialog) {
  SeenBox box;
  box.owner = GetWindow(dialog, GW_OWNER);
  char caption[256] = "";
  GetWindowTextA(dialog, caption, sizeof caption);
  box.caption = caption;
  BoxReading reading = {&box, LoadIconA(NULL, IDI_QUESTION)};
  EnumChildWindows(dialog, ReadBoxChild, reinterpret_cast<LPARAM>(&reading));
  return box;
}

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

MessageBoxAnswerer::MessageBoxAnswerer(int answer) {
  boxAnswer = answer;
  boxesSeen.clear();
  boxHook = SetWindowsHookExA(WH_CBT, AnswerBoxes, NULL, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  UnhookWindowsHookEx(boxHook);
}

const std::vector<SeenBox>& MessageBoxAnswerer::seen() const {
  return boxesSeen;
}

void PumpMessages(DWORD milliseconds) {
  DWORD end = GetTickCount() + milliseconds;
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the test to see
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    DWORD now = GetTickCount();
    if (static_cast<LONG>(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, NULL, FALSE, end - now, QS_ALLINPUT);
  }
}

DefWindowProcRecorder::DefWindowProcRecorder() {
  defaultCalls.clear();
  realDefWindowProc = importedDefWindowProc;
  SetImportedDefWindowProc(RecordDefWindowProc);
}

DefWindowProcRecorder::~DefWindowProcRecorder() {
  SetImportedDefWindowProc(realDefWindowProc);
}

std::vector<DefaultCall> DefWindowProcRecorder::calls(UINT message) const {
  std::vector<DefaultCall> matching;
  for (const DefaultCall& call : defaultCalls) {
    if (call.message == message) matching.push_back(call);
  }
  return matching;
}

// A top-down 32-bit DIB section selected into a fresh memory DC.
static HDC MakePage(int width, int height, DWORD** bits, HBITMAP* bitmap) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC page = CreateCompatibleDC(NULL);
  *bitmap = CreateDIBSection(page, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), NULL, 0);
  SelectObject(page, *bitmap);
  return page;
}

static std::vector<DWORD> TakePage(HDC page, HBITMAP bitmap, const DWORD* bits, int count) {
  GdiFlush();
  std::vector<DWORD> pixels(bits, bits + count);
  for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
  DeleteDC(page);
  DeleteObject(bitmap);
  return pixels;
}

std::vector<DWORD> CaptureClient(HWND hwnd, const RECT& area) {
  int width = area.right - area.left, height = area.bottom - area.top;
  DWORD* bits;
  HBITMAP bitmap;
  HDC page = MakePage(width, height, &bits, &bitmap);
  HDC dc = GetDC(hwnd);
  BitBlt(page, 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
  ReleaseDC(hwnd, dc);
  return TakePage(page, bitmap, bits, width * height);
}

std::vector<DWORD> RenderText(const char* text, int width, int height) {
  DWORD* bits;
  HBITMAP bitmap;
  HDC page = MakePage(width, height, &bits, &bitmap);
  RECT all = {0, 0, width, height};
  FillRect(page, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  TextOutA(page, 10, 10, text, lstrlenA(text));
  return TakePage(page, bitmap, bits, width * height);
}

int CountGdiObjects() {
  int count = 0;
  for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++count;
  }
  return count;
}

int CountMenus() {
  int count = 0;
  for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot) {
    if (IsMenu(reinterpret_cast<HMENU>(slot))) ++count;
  }
  return count;
}

int CountThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

RECT ChildRect(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(NULL, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}
