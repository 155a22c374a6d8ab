// How both command-line programs end: one exit code for each way, the same in both, and the words
// --help gives each.
#pragma once

enum ExitCode {
  kExitDone = 0,
  kExitFailed = 1,           // the output or the chart cannot be written, or memory ran out
  kExitBadCommandLine = 2,   // one line on standard error names what is wrong
  kExitDifferenceFound = 3,  // a check of the program's own work found a difference
};

// A program that a signal ends ends by that signal, so its shell sees this plus the signal's
// number (129 hung up, 130 interrupted, 141 output closed, 143 terminated); a program that has to
// end for a signal some other way exits with the same number.
constexpr int kExitBySignal = 128;

// What --help says of each code.
constexpr const char* ExitCodeMeaning(ExitCode code) {
  switch (code) {
    case kExitDone:
      return "done";
    case kExitFailed:
      return "output not written, or out of memory";
    case kExitBadCommandLine:
      return "bad command line";
    case kExitDifferenceFound:
      return "a check found a difference";
  }
  return "";
}
