// Reads what the X screen shows of the die's window, for the end-to-end test and the run script:
//   screen_check where                    the window's screen rectangle: left top width height
//   screen_check line SCREEN.ppm A B      which line the screen shows, tried against the pick of
//                                         every second from A to B and the line before any draw
// `line` prints the line and exits 0 for a pick of a second in A..B, 3 for the line before any
// draw, 1 when the screen shows neither, 2 on bad input.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "draw.h"
#include "main_window.h"
#include "random_source.h"
#include "test_support.h"
#include "texts.h"

namespace {

// One number of a PPM header, past white space and # comments.
bool ReadHeaderNumber(FILE* file, int& value) {
  int c = std::fgetc(file);
  while (c == '#' || c == ' ' || c == '\n' || c == '\r' || c == '\t') {
    if (c == '#') {
      while (c != '\n' && c != EOF) c = std::fgetc(file);
    }
    c = std::fgetc(file);
  }
  if (c < '0' || c > '9') return false;
  value = 0;
  for (; c >= '0' && c <= '9'; c = std::fgetc(file)) value = value * 10 + (c - '0');
  return c != EOF;  // the one white-space character after the number is consumed
}

// A binary PPM (P6) with 8-bit channels, as ImageMagick writes it.
bool ReadPpm(const char* path, int& width, int& height, std::vector<DWORD>& pixels) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  int maximum = 0;
  bool ok = std::fgetc(file) == 'P' && std::fgetc(file) == '6' && ReadHeaderNumber(file, width) &&
            ReadHeaderNumber(file, height) && ReadHeaderNumber(file, maximum) && maximum == 255 &&
            width > 0 && height > 0 && width <= 16384 && height <= 16384;
  if (ok) {
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    ok = std::fread(rgb.data(), 1, rgb.size(), file) == rgb.size();
    pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; ok && i < pixels.size(); ++i) {
      pixels[i] = (DWORD{rgb[3 * i]} << 16) | (DWORD{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2];
    }
  }
  std::fclose(file);
  return ok;
}

int Where(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  return 0;
}

int Line(HWND window, const char* path, long long first, long long last) {
  int screenWidth, screenHeight;
  std::vector<DWORD> screen;
  if (!ReadPpm(path, screenWidth, screenHeight, screen)) {
    std::fprintf(stderr, "screen_check: cannot read the screen picture '%s'\n", path);
    return 2;
  }
  // The line is painted in the client area above the status bar.
  RECT client, status;
  GetClientRect(window, &client);
  GetWindowRect(GetDlgItem(window, IDC_STATUSBAR), &status);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  int width = client.right, height = status.top - origin.y;
  if (origin.x < 0 || origin.y < 0 || origin.x + width > screenWidth ||
      origin.y + height > screenHeight || height <= 0) {
    std::fprintf(stderr, "screen_check: the window is not wholly on the screen\n");
    return 1;
  }
  std::vector<DWORD> shown;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      shown.push_back(screen[static_cast<size_t>(origin.y + y) * screenWidth + origin.x + x]);
    }
  }
  char line[7 * 12];
  for (long long second = first; second <= last; ++second) {
    int32_t pick[kPickSize];
    DrawFromSeed(static_cast<uint32_t>(CalendarSecondsAt(second)), pick);
    FormatLine(pick, line);
    if (RenderText(line, width, height) == shown) {
      std::printf("%s\n", line);
      return 0;
    }
  }
  const int32_t zeros[kPickSize] = {};
  FormatLine(zeros, line);
  if (RenderText(line, width, height) == shown) {
    std::printf("%s\n", line);
    return 3;
  }
  std::fprintf(stderr, "screen_check: the screen shows no line of the seconds %lld to %lld\n",
               first, last);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  HWND window = NULL;
  for (int tries = 0; tries < 100 && !window; ++tries) {
    window = FindWindowA(kClassName, NULL);
    if (!window) Sleep(50);
  }
  if (!window) {
    std::fprintf(stderr, "screen_check: no window of the die is open\n");
    return 1;
  }
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "where" && argc == 2) return Where(window);
  if (mode == "line" && argc == 5) {
    return Line(window, argv[2], std::atoll(argv[3]), std::atoll(argv[4]));
  }
  std::fprintf(stderr, "usage: screen_check where | line SCREEN.ppm FIRST LAST\n");
  return 2;
}
