#include "cli_numbers.h"

#include <charconv>

// std::from_chars takes no sign for an unsigned type and no leading spaces, and says when the
// value does not fit, having read all its digits; it must also reach the end of the text, so
// "12a" and "1.5" fail.
CountRead ReadCount(const std::string& text, uint64_t& count) {
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  uint64_t value = 0;
  std::from_chars_result read = std::from_chars(first, last, value, hex ? 16 : 10);
  if (read.ptr != last || first == last) return CountRead::kNotANumber;
  if (read.ec == std::errc::result_out_of_range) return CountRead::kTooLarge;
  if (read.ec != std::errc()) return CountRead::kNotANumber;
  count = value;
  return CountRead::kRead;
}

bool ParseSeed(const std::string& text, uint32_t& seed) {
  uint64_t value = 0;
  if (ReadCount(text, value) != CountRead::kRead || value > UINT32_MAX) return false;
  seed = static_cast<uint32_t>(value);
  return true;
}
