#include <gtest/gtest.h>

#include <string>

#include "main_window.h"
#include "test_support.h"
#include "texts.h"

namespace {

HWND FindMainWindow() {
  return FindWindowA(kClassName, NULL);
}

// Asks the window that WinMain made to close through the FILE menu, once the loop runs.
void CALLBACK ChooseExit(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND hwnd = FindMainWindow();
  if (!hwnd) return;
  KillTimer(NULL, timer);
  PostMessageA(hwnd, WM_COMMAND, IDM_EXIT, 0);
}

TEST(WinMain, ReturnsZeroAfterTheCloseIsConfirmed) {
  MessageBoxAnswerer answerer(IDYES);
  SetTimer(NULL, 0, 20, ChooseExit);
  char commandLine[] = "--anything at all";
  EXPECT_EQ(WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_HIDE), 0);
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].caption, std::string(kCloseCaption));
  EXPECT_EQ(FindMainWindow(), nullptr);
}

TEST(WinMain, ReturnsMinusOneWhenTheClassIsTaken) {
  WNDCLASSA taken = {};
  taken.lpfnWndProc = DefWindowProcA;
  taken.hInstance = GetModuleHandleA(NULL);
  taken.lpszClassName = kClassName;
  ASSERT_NE(RegisterClassA(&taken), 0);
  EXPECT_EQ(WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWNORMAL), -1);
  EXPECT_EQ(FindMainWindow(), nullptr);
}

HHOOK refuseHook;
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) return 1;
  return CallNextHookEx(refuseHook, code, wParam, lParam);
}

TEST(WinMain, ReturnsMinusOneWhenTheWindowCannotBeCreated) {
  refuseHook = SetWindowsHookExA(WH_CBT, RefuseWindows, NULL, GetCurrentThreadId());
  int result = WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWNORMAL);
  UnhookWindowsHookEx(refuseHook);
  EXPECT_EQ(result, -1);
}

// vorel.exe as its own process, found beside this test program.
struct Program {
  PROCESS_INFORMATION process = {};
  HWND window = NULL;

  explicit Program(const std::string& arguments) {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string exe(path);
    exe = exe.substr(0, exe.find_last_of('\\') + 1) + "vorel.exe";
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &process)) {
      return;
    }
    WaitForInputIdle(process.hProcess, 10000);
    window = FindOwnWindow(kClassName);
  }
  ~Program() {
    if (!process.hProcess) return;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process.hProcess, 99);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }

  // A top-level window of this process with the class, waited for up to five seconds.
  HWND FindOwnWindow(const char* className) {
    for (int tries = 0; tries < 100; ++tries) {
      HWND found = NULL;
      while ((found = FindWindowExA(NULL, found, className, NULL)) != NULL) {
        DWORD owner = 0;
        GetWindowThreadProcessId(found, &owner);
        if (owner == process.dwProcessId && IsWindowVisible(found)) return found;
      }
      Sleep(50);
    }
    return NULL;
  }

  // Waits for the confirmation and answers it; returns what it asked.
  SeenBox Answer(int button) {
    HWND dialog = FindOwnWindow("#32770");
    if (!dialog) return SeenBox();
    SeenBox box = ReadMessageBox(dialog);
    PressButton(dialog, button);
    return box;
  }

  bool Running(DWORD milliseconds) {
    return WaitForSingleObject(process.hProcess, milliseconds) == WAIT_TIMEOUT;
  }

  DWORD ExitCode() {
    DWORD code = 12345;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
  }
};

TEST(Program, EndsWithZeroAfterAConfirmedExitFromTheFileMenu) {
  for (const char* arguments : {"", "--help", "/x y \"z z\" \x8F\x49\x97\xB9"}) {
    Program program(arguments);
    ASSERT_NE(program.window, nullptr) << "arguments: " << arguments;
    PostMessageA(program.window, WM_COMMAND, IDM_EXIT, 0);
    SeenBox box = program.Answer(IDNO);
    EXPECT_EQ(box.caption, std::string(kCloseCaption)) << "arguments: " << arguments;
    EXPECT_EQ(box.owner, program.window);
    EXPECT_TRUE(program.Running(300)) << "no keeps it running; arguments: " << arguments;
    PostMessageA(program.window, WM_COMMAND, IDM_EXIT, 0);
    program.Answer(IDYES);
    ASSERT_FALSE(program.Running(10000)) << "arguments: " << arguments;
    EXPECT_EQ(program.ExitCode(), 0u) << "arguments: " << arguments;
  }
}

TEST(Program, EndsWithZeroAfterAConfirmedCloseFromTheCloseBox) {
  Program program("");
  ASSERT_NE(program.window, nullptr);
  PostMessageA(program.window, WM_SYSCOMMAND, SC_CLOSE, 0);
  SeenBox box = program.Answer(IDYES);
  EXPECT_EQ(box.text, std::string(kCloseText));
  ASSERT_FALSE(program.Running(10000));
  EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
