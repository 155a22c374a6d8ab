#include "cli_numbers.h"

#include <charconv>

// std::from_chars takes no sign for an unsigned type and no leading spaces, and says when the
// value does not fit; it must also reach the end of the text, so "12a" and "1.5" fail.
static bool ParseUnsigned(const std::string& text, uint64_t& value) {
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  std::from_chars_result read = std::from_chars(first, last, value, hex ? 16 : 10);
  return read.ec == std::errc() && read.ptr == last;
}

bool ParseSeed(const std::string& text, uint32_t& seed) {
  uint64_t value;
  if (!ParseUnsigned(text, value) || value > UINT32_MAX) return false;
  seed = static_cast<uint32_t>(value);
  return true;
}

bool ParseCount(const std::string& text, uint64_t lowest, uint64_t highest, uint64_t& count) {
  uint64_t value;
  if (!ParseUnsigned(text, value) || value < lowest || value > highest) return false;
  count = value;
  return true;
}
