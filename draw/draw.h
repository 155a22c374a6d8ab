// One draw: seven distinct numbers from 1 to 37, kept ascending, and the line that shows them.
#pragma once

#include <cstdint>

enum { kPickSize = 7, kCandidateCount = 20, kHighestNumber = 37 };

// The latest pick, seven zeros until the first draw.
extern int32_t DrawResult[kPickSize];

// The line the window paints, rewritten by every FormatResultLine (20 characters and a zero).
extern char ResultLine[256];

// Reseeds RandomSource from the calendar second and replaces DrawResult with a new pick.
void DrawNumbers();

// Writes DrawResult into ResultLine as "%02d,%02d,%02d,%02d,%02d,%02d,%02d".
void FormatResultLine();

// The pure steps behind DrawNumbers, so a pick can be checked without the clock.

// The twenty candidates, each Next() mod 37 + 1, that a draw from `seed` looks at.
void DrawCandidates(uint32_t seed, int32_t candidates[kCandidateCount]);

// The first seven distinct candidates in order of first appearance, then sorted ascending.
// A list with only m < 7 distinct values leaves 7 - m zeros, which sort to the front.
void PickFromCandidates(const int32_t candidates[kCandidateCount], int32_t pick[kPickSize]);

// DrawCandidates then PickFromCandidates: the pick a key press shows for `seed`.
void DrawFromSeed(uint32_t seed, int32_t pick[kPickSize]);

// Room for any line FormatLine writes: seven values of at most eleven characters
// ("-2147483648"), six commas and the terminating zero.
enum { kLineRoom = kPickSize * 12 };

// Formats seven values the way the window shows them; `line` needs room for kLineRoom bytes.
// Returns the length written, not counting the terminating zero.
int FormatLine(const int32_t values[kPickSize], char* line);
