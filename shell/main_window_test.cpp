#include "main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "draw.h"
#include "random_source.h"
#include "test_support.h"
#include "texts.h"

namespace {

// What a code page 932 string should hold: the text as written, converted by the system.
std::string Cp932(const wchar_t* text) {
  char bytes[256];
  int length = WideCharToMultiByte(932, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
  return length > 0 ? std::string(bytes, length - 1) : std::string("(no code page 932)");
}

std::string LineOf(const int32_t values[kPickSize]) {
  char line[7 * 12];
  FormatLine(values, line);
  return line;
}

void SetDrawResult(const int32_t values[kPickSize]) {
  for (int slot = 0; slot < kPickSize; ++slot) DrawResult[slot] = values[slot];
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 932u) << "Wine must run with the Japanese ANSI code page";
    ASSERT_NE(RegisterMainClass(GetModuleHandleA(NULL)), 0);
    hwnd = CreateMainWindow(GetModuleHandleA(NULL));
    ASSERT_NE(hwnd, nullptr);
    PumpMessages();
  }
  void TearDown() override {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassA(kClassName, GetModuleHandleA(NULL));
  }

  // The area above the status bar, where the line is painted.
  RECT LineArea() {
    RECT client, status = ChildRect(StatusBar);
    GetClientRect(hwnd, &client);
    client.bottom = status.top;
    return client;
  }

  // Waits for the paint to finish, then compares the area with the line drawn by the test.
  void ExpectPainted(const std::string& line, const char* context) {
    PumpMessages();
    RECT update;
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE)) << context << ": paint still pending";
    RECT area = LineArea();
    std::vector<DWORD> shown = CaptureClient(hwnd, area);
    std::vector<DWORD> expected = RenderText(line.c_str(), area.right, area.bottom);
    int differing = 0, dark = 0;
    RECT where = {area.right, area.bottom, -1, -1};
    for (size_t i = 0; i < shown.size(); ++i) {
      dark += shown[i] != 0xFFFFFF;
      if (shown[i] == expected[i]) continue;
      ++differing;
      LONG x = static_cast<LONG>(i % area.right), y = static_cast<LONG>(i / area.right);
      where = {std::min(where.left, x), std::min(where.top, y), std::max(where.right, x),
               std::max(where.bottom, y)};
    }
    EXPECT_EQ(differing, 0) << context << ": pixels that differ from '" << line << "' within ("
                            << where.left << "," << where.top << ")-(" << where.right << ","
                            << where.bottom << ")";
    EXPECT_GT(dark, 50) << context << ": the line left almost no ink";
  }

  HWND hwnd = NULL;
};

TEST_F(MainWindow, TextsAreCodePage932BytesOfTheJapanese) {
  EXPECT_EQ(std::string(kWindowTitle), Cp932(L"VOREL用サイコロ"));
  EXPECT_EQ(std::string(kStatusText), Cp932(L"どれかキーを押すとスタート"));
  EXPECT_EQ(std::string(kExitItemText), Cp932(L"終了(&X)"));
  EXPECT_EQ(std::string(kUsageItemText), Cp932(L"使い方(&U)"));
  EXPECT_EQ(std::string(kUsageText), Cp932(L"どれかキーを押すとスタート!!"));
  EXPECT_EQ(std::string(kUsageCaption), Cp932(L"使い方"));
  EXPECT_EQ(std::string(kCloseText), Cp932(L"終了してもよろしいですか"));
  EXPECT_EQ(std::string(kCloseCaption), Cp932(L"確認"));
  EXPECT_EQ(
      std::string(kAboutText),
      Cp932(L"(C) 2026 The VOREL Project\nVOREL用サイコロソフト\nhttps://vorel.example.org/"));
  // A fixed point that does not depend on the conversion: 用 is 0x97 0x70 in code page 932.
  EXPECT_EQ(std::string(kWindowTitle), "VOREL\x97\x70\x83\x54\x83\x43\x83\x52\x83\x8D");
}

TEST_F(MainWindow, ClassAndWindowAreAsCreated) {
  WNDCLASSA windowClass;
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(NULL), kClassName, &windowClass));
  EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(windowClass.lpfnWndProc, MainWindowProc);
  EXPECT_EQ(windowClass.cbClsExtra, 0);
  EXPECT_EQ(windowClass.cbWndExtra, 0);
  EXPECT_EQ(windowClass.hbrBackground, GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(windowClass.hIcon, LoadIconA(NULL, IDI_APPLICATION));
  EXPECT_EQ(windowClass.hCursor, LoadCursorA(NULL, IDC_ARROW));
  EXPECT_STREQ(windowClass.lpszMenuName, "VOREL");

  EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & ~WS_CLIPSIBLINGS, 0x10CF0000);
  RECT outer;
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(outer.right - outer.left, 230);
  EXPECT_EQ(outer.bottom - outer.top, 150);
  char title[64] = "";
  GetWindowTextA(hwnd, title, sizeof title);
  EXPECT_EQ(std::string(title), std::string(kWindowTitle));
  EXPECT_EQ(GetParent(hwnd), nullptr);
}

TEST_F(MainWindow, MenuBarHoldsFileAndHelpInOrder) {
  HMENU bar = GetMenu(hwnd);
  ASSERT_EQ(bar, MenuBar);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  const struct {
    HMENU menu;
    int position;
    const char* text;
    UINT id;
    bool submenu;
  } items[] = {
      {bar, 0, "FILE(&F)", 0, true},
      {bar, 1, "HELP(&H)", 0, true},
      {GetSubMenu(bar, 0), 0, kExitItemText, IDM_EXIT, false},
      {GetSubMenu(bar, 1), 0, kUsageItemText, IDM_USAGE, false},
      {GetSubMenu(bar, 1), 1, kAboutItemText, IDM_ABOUT, false},
  };
  EXPECT_EQ(GetSubMenu(bar, 0), FileMenu);
  EXPECT_EQ(GetSubMenu(bar, 1), HelpMenu);
  EXPECT_EQ(GetMenuItemCount(FileMenu), 1);
  EXPECT_EQ(GetMenuItemCount(HelpMenu), 2);
  for (const auto& expected : items) {
    char text[64] = "";
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_STATE;
    item.dwTypeData = text;
    item.cch = sizeof text;
    std::string context = std::string("item ") + expected.text;
    ASSERT_TRUE(GetMenuItemInfoA(expected.menu, expected.position, TRUE, &item)) << context;
    EXPECT_EQ(std::string(text), std::string(expected.text)) << context;
    EXPECT_EQ(item.fType, static_cast<UINT>(MFT_STRING)) << context;
    EXPECT_EQ(item.fState, 0u) << context;
    EXPECT_EQ(item.hSubMenu != NULL, expected.submenu) << context;
    if (!expected.submenu) {
      EXPECT_EQ(item.wID, expected.id) << context;
    }
  }
}

TEST_F(MainWindow, StatusBarSpansTheBottomEdgeBeforeAndAfterAResize) {
  ASSERT_EQ(GetDlgItem(hwnd, IDC_STATUSBAR), StatusBar);
  char className[64] = "";
  GetClassNameA(StatusBar, className, sizeof className);
  EXPECT_STREQ(className, STATUSCLASSNAMEA);
  EXPECT_EQ(GetWindowLongA(StatusBar, GWL_STYLE) & 0x50000103, 0x50000103);
  char text[128] = "";
  SendMessageA(StatusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(std::string(text), std::string(kStatusText));

  for (SIZE size : {SIZE{230, 150}, SIZE{420, 300}, SIZE{180, 120}}) {
    if (size.cx != 230) SetWindowPos(hwnd, NULL, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    RECT client, status = ChildRect(StatusBar);
    GetClientRect(hwnd, &client);
    std::string context = "window " + std::to_string(size.cx) + "x" + std::to_string(size.cy);
    EXPECT_EQ(status.left, 0) << context;
    EXPECT_EQ(status.right, client.right) << context;
    EXPECT_EQ(status.bottom, client.bottom) << context;
    EXPECT_GT(status.bottom - status.top, 10) << context;
    EXPECT_TRUE(IsWindowVisible(StatusBar)) << context;
  }
  // The line stays where it was.
  const int32_t pick[kPickSize] = {3, 11, 13, 14, 26, 29, 32};
  SetDrawResult(pick);
  InvalidateRect(hwnd, NULL, TRUE);
  ExpectPainted("03,11,13,14,26,29,32", "after the resizes");
}

TEST_F(MainWindow, PaintsTheLineAtTenTen) {
  const int32_t zeros[kPickSize] = {};
  SetDrawResult(zeros);
  InvalidateRect(hwnd, NULL, TRUE);
  ExpectPainted("00,00,00,00,00,00,00", "before any draw");
  const int32_t pick[kPickSize] = {2, 14, 15, 18, 20, 21, 31};
  SetDrawResult(pick);
  InvalidateRect(hwnd, NULL, TRUE);
  ExpectPainted("02,14,15,18,20,21,31", "a pick");
  EXPECT_STREQ(ResultLine, "02,14,15,18,20,21,31");
}

TEST_F(MainWindow, AnyKeyDrawsForTheCurrentSecondAndRepaints) {
  for (LPARAM flags : {LPARAM{0x001E0001}, LPARAM{0x401E0001}}) {  // first press, auto-repeat
    bool checked = false;
    for (int attempt = 0; attempt < 3 && !checked; ++attempt) {
      ValidateRect(hwnd, NULL);
      int32_t second = CalendarSeconds();
      EXPECT_EQ(SendMessageA(hwnd, WM_KEYDOWN, 'A', flags), 0);
      if (CalendarSeconds() != second) continue;  // the second turned during the press
      checked = true;
      int32_t expected[kPickSize];
      DrawFromSeed(static_cast<uint32_t>(second), expected);
      EXPECT_EQ(LineOf(DrawResult), LineOf(expected)) << "flags " << flags;
      RECT update, client;
      ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE)) << "the key press must ask for a repaint";
      GetClientRect(hwnd, &client);
      EXPECT_TRUE(EqualRect(&update, &client)) << "the whole client area is repainted";
      ExpectPainted(LineOf(expected), "after a key press");
    }
    if (!checked) ADD_FAILURE() << "the clock kept turning during every key press, flags " << flags;
  }
}

TEST_F(MainWindow, AltKeysAndClicksDrawNothing) {
  DefWindowProcRecorder recorder;
  const int32_t pick[kPickSize] = {1, 2, 3, 4, 5, 6, 7};
  SetDrawResult(pick);
  ValidateRect(hwnd, NULL);
  const struct {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  } inputs[] = {
      {WM_SYSKEYDOWN, 'A', 0x201E0001},
      {WM_SYSKEYDOWN, VK_F10, 0x00440001},
      {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20)},
      {WM_LBUTTONUP, 0, MAKELPARAM(20, 20)},
      {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 15)},
      {WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20)},
      {WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(20, 20)},
  };
  for (const auto& input : inputs) {
    SendMessageA(hwnd, input.message, input.wParam, input.lParam);
    EXPECT_EQ(LineOf(DrawResult), "01,02,03,04,05,06,07") << "message " << input.message;
    RECT update;
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE)) << "message " << input.message;
    EXPECT_FALSE(recorder.calls(input.message).empty())
        << "message " << input.message << " should reach DefWindowProcA";
  }
}

TEST_F(MainWindow, UsageAndAboutBoxesBelongToTheWindow) {
  MessageBoxAnswerer answerer(IDOK);
  EXPECT_EQ(SendMessageA(hwnd, WM_COMMAND, IDM_USAGE, 0), 0);
  EXPECT_EQ(SendMessageA(hwnd, WM_COMMAND, IDM_ABOUT, 0), 0);
  ASSERT_EQ(answerer.seen().size(), 2u);
  const SeenBox& usage = answerer.seen()[0];
  EXPECT_EQ(usage.owner, hwnd);
  EXPECT_EQ(usage.caption, std::string(kUsageCaption));
  EXPECT_EQ(usage.text, std::string(kUsageText));
  EXPECT_EQ(usage.buttons, std::vector<int>{IDOK});
  EXPECT_FALSE(usage.anyIcon);

  const SeenBox& about = answerer.seen()[1];
  EXPECT_EQ(about.owner, hwnd);
  EXPECT_EQ(about.caption, "About");
  EXPECT_EQ(about.buttons, std::vector<int>{IDOK});
  EXPECT_FALSE(about.anyIcon);
  // Three lines joined by bare line feeds: year and maker, the program, the maker's address.
  std::string text = about.text;
  ASSERT_EQ(text.find('\r'), std::string::npos);
  size_t first = text.find('\n'), second = text.find('\n', first + 1);
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(text.find('\n', second + 1), std::string::npos);
  EXPECT_NE(text.substr(0, first).find("2026"), std::string::npos);
  EXPECT_EQ(text.substr(first + 1, second - first - 1), Cp932(L"VOREL用サイコロソフト"));
  EXPECT_EQ(text.substr(second + 1).rfind("https://", 0), 0u);
  EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(MainWindow, EveryWayToCloseAsksAndNoKeepsEverything) {
  const int32_t pick[kPickSize] = {6, 7, 9, 20, 27, 30, 32};
  SetDrawResult(pick);
  InvalidateRect(hwnd, NULL, TRUE);
  PumpMessages();
  MessageBoxAnswerer answerer(IDNO);
  EXPECT_EQ(SendMessageA(hwnd, WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(SendMessageA(hwnd, WM_COMMAND, IDM_EXIT, 0), 0);
  SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box and the system menu
  ASSERT_EQ(answerer.seen().size(), 3u);
  for (const SeenBox& box : answerer.seen()) {
    EXPECT_EQ(box.owner, hwnd);
    EXPECT_EQ(box.caption, std::string(kCloseCaption));
    EXPECT_EQ(box.text, std::string(kCloseText));
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_TRUE(box.questionIcon);
  }
  EXPECT_TRUE(IsWindow(hwnd));
  MSG quit;
  EXPECT_FALSE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(LineOf(DrawResult), "06,07,09,20,27,30,32");
  InvalidateRect(hwnd, NULL, TRUE);
  ExpectPainted("06,07,09,20,27,30,32", "after answering no");
}

TEST_F(MainWindow, YesDestroysTheWindowAndQuitsWithZero) {
  MessageBoxAnswerer answerer(IDYES);
  EXPECT_EQ(SendMessageA(hwnd, WM_COMMAND, IDM_EXIT, 0), 0);
  EXPECT_EQ(answerer.seen().size(), 1u);
  EXPECT_FALSE(IsWindow(hwnd));
  MSG quit;
  ASSERT_TRUE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);
}

TEST_F(MainWindow, UnknownCommandsGoToTheDefaultProcedure) {
  MessageBoxAnswerer answerer(IDOK);
  DefWindowProcRecorder recorder;
  for (WPARAM id : {WPARAM{0}, WPARAM{40000}, WPARAM{40004}, WPARAM{MAKEWPARAM(7, 1)}}) {
    LRESULT result = SendMessageA(hwnd, WM_COMMAND, id, 0x1234);
    std::vector<DefaultCall> calls = recorder.calls(WM_COMMAND);
    ASSERT_FALSE(calls.empty()) << "command " << id;
    EXPECT_EQ(calls.back().wParam, id);
    EXPECT_EQ(calls.back().lParam, 0x1234);
    EXPECT_EQ(calls.back().result, result);
  }
  EXPECT_EQ(recorder.calls(WM_COMMAND).size(), 4u);
  EXPECT_TRUE(answerer.seen().empty());
  SendMessageA(hwnd, WM_COMMAND, IDM_USAGE, 0);
  EXPECT_EQ(recorder.calls(WM_COMMAND).size(), 4u) << "known commands are answered by the window";
}

TEST_F(MainWindow, TwentyThousandKeyPressesLeakNothing) {
  PumpMessages();
  int gdi = CountGdiObjects(), menus = CountMenus(), windows = CountThreadWindows();
  // The counters must see a leak when there is one.
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  HMENU menu = CreatePopupMenu();
  EXPECT_GT(CountGdiObjects(), gdi);
  EXPECT_GT(CountMenus(), menus);
  DeleteObject(brush);
  DestroyMenu(menu);

  for (int batch = 0; batch < 200; ++batch) {
    for (int i = 0; i < 100; ++i) PostMessageA(hwnd, WM_KEYDOWN, 'A' + i % 26, 0x001E0001);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    UpdateWindow(hwnd);
  }
  DWORD_PTR answer = 0;
  EXPECT_TRUE(SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer));
  PumpMessages();
  EXPECT_EQ(CountGdiObjects(), gdi);
  EXPECT_EQ(CountMenus(), menus);
  EXPECT_EQ(CountThreadWindows(), windows);
  ExpectPainted(LineOf(DrawResult), "after the presses");
}

}  // namespace
