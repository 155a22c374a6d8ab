#include "census_progress.h"

#include "cli_text.h"

std::string ProgressLine(double done, double elapsedSeconds, uint64_t seeds) {
  int filled = static_cast<int>(done * 30);
  std::string bar(filled, '#');
  bar.resize(30, '.');
  double rate = elapsedSeconds > 0 ? done * static_cast<double>(seeds) / elapsedSeconds : 0;
  double left = done > 0 ? elapsedSeconds * (1 - done) / done : 0;
  return Printed("[%s] %5.1f%%  %s M seeds/s  %.0f s left ", bar.c_str(), done * 100,
                 Grouped(static_cast<uint64_t>(rate / 1e6 + 0.5)).c_str(), left);
}
