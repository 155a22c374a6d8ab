// Time from process start to the first painted line: starts a window program, waits until its
// window is visible with nothing left to paint, and ends it. Prints the median of N runs for each
// program named, side by side.  Usage: startup_bench N CLASS=program.exe [CLASS=program.exe ...]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND PaintedWindow(DWORD processId, const char* className) {
  HWND found = NULL;
  while ((found = FindWindowExA(NULL, found, className, NULL)) != NULL) {
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    if (owner == processId && IsWindowVisible(found) && !GetUpdateRect(found, NULL, FALSE)) {
      return found;
    }
  }
  return NULL;
}

// One start; returns seconds until painted, or a negative value on failure.
double TimeOneStart(const std::string& program, const char* className) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  std::string commandLine = "\"" + program + "\"";
  LARGE_INTEGER begin, end;
  QueryPerformanceCounter(&begin);
  if (!CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                      &process)) {
    return -1;
  }
  double seconds = -1;
  for (int polls = 0; polls < 100000; ++polls) {
    if (PaintedWindow(process.dwProcessId, className)) {
      QueryPerformanceCounter(&end);
      seconds = Seconds(begin, end);
      break;
    }
    Sleep(0);
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench N CLASS=program.exe ...\n");
    return 2;
  }
  int runs = std::atoi(argv[1]);
  std::vector<std::vector<double>> times(argc - 2);
  for (int run = 0; run < runs; ++run) {
    for (int i = 2; i < argc; ++i) {  // interleaved, so drift hits every program alike
      std::string named = argv[i];
      size_t equals = named.find('=');
      double seconds = TimeOneStart(named.substr(equals + 1), named.substr(0, equals).c_str());
      if (seconds < 0) {
        std::fprintf(stderr, "startup_bench: %s did not paint\n", argv[i]);
        return 1;
      }
      times[i - 2].push_back(seconds);
    }
  }
  for (int i = 2; i < argc; ++i) {
    std::vector<double>& t = times[i - 2];
    std::sort(t.begin(), t.end());
    std::printf("%-40s median %7.1f ms  min %7.1f ms  max %7.1f ms  (%d runs)\n", argv[i],
                t[t.size() / 2] * 1000, t.front() * 1000, t.back() * 1000, runs);
  }
  return 0;
}
