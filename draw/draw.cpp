// The die's draw: the pick of the current second into DrawResult, and the line that shows it.
#include "draw.h"

#include "random_source.h"

int32_t DrawResult[kPickSize];
char ResultLine[256];

void PickFromCandidates(const int32_t candidates[kCandidateCount], int32_t pick[kPickSize]) {
  for (int slot = 0; slot < kPickSize; ++slot) pick[slot] = 0;
  pick[0] = candidates[0];
  // Every slot scans again from index 1 and takes the first value not yet picked; a slot that
  // finds none keeps its zero.
  for (int slot = 1; slot < kPickSize; ++slot) {
    for (int index = 1; index < kCandidateCount; ++index) {
      bool taken = false;
      for (int earlier = 0; earlier < slot; ++earlier) {
        if (pick[earlier] == candidates[index]) taken = true;
      }
      if (!taken) {
        pick[slot] = candidates[index];
        break;
      }
    }
  }
  for (int i = 0; i < kPickSize - 1; ++i) {
    for (int k = kPickSize - 1; k > i; --k) {
      if (pick[k] < pick[k - 1]) {
        int32_t swap = pick[k];
        pick[k] = pick[k - 1];
        pick[k - 1] = swap;
      }
    }
  }
}

void DrawNumbers() {
  Seed(RandomSource, static_cast<uint32_t>(CalendarSeconds()));
  int32_t candidates[kCandidateCount];
  for (int index = 0; index < kCandidateCount; ++index) {
    candidates[index] = Next(RandomSource) % kHighestNumber + 1;
  }
  PickFromCandidates(candidates, DrawResult);
}

// %02d for one value: at least two characters, zero-padded after any sign. Done by hand so the
// window program needs no printf family, which would triple its size.
static int FormatTwoDigits(int32_t value, char* out) {
  char digits[12];
  int count = 0;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  int length = 0;
  if (value < 0) out[length++] = '-';
  for (int pad = length + count; pad < 2; ++pad) out[length++] = '0';
  while (count > 0) out[length++] = digits[--count];
  return length;
}

int FormatLine(const int32_t values[kPickSize], char* line) {
  int length = 0;
  for (int slot = 0; slot < kPickSize; ++slot) {
    if (slot > 0) line[length++] = ',';
    length += FormatTwoDigits(values[slot], line + length);
  }
  line[length] = '\0';
  return length;
}

void FormatResultLine() {
  FormatLine(DrawResult, ResultLine);
}
