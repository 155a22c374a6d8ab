#include "find/wanted_pick.h"

#include <algorithm>
#include <vector>

#include "cli_text.h"

namespace {

// The fields between the commas, blanks around each taken off.
std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    std::string field = text.substr(start, comma == std::string::npos ? comma : comma - start);
    size_t first = field.find_first_not_of(" \t"), last = field.find_last_not_of(" \t");
    fields.push_back(first == std::string::npos ? "" : field.substr(first, last - first + 1));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

// A number from 1 to 37, any leading zeros allowed. Digits past the third cannot make one, and
// are not read on, so that no number grows past what an int holds.
bool ReadNumber(const std::string& field, int32_t& number, std::string& why) {
  if (field.empty() || field.find_first_not_of("0123456789") != std::string::npos) {
    why = "has " + Quoted(field) + ", which is not a number";
    return false;
  }
  size_t digits = field.find_first_not_of('0');
  std::string significant = digits == std::string::npos ? "0" : field.substr(digits);
  number = significant.size() > 2 ? kHighestNumber + 1 : std::stoi(significant);
  if (number < 1 || number > kHighestNumber) {
    why = "has " + significant + ", which is not a number from 1 to 37";
    return false;
  }
  return true;
}

}  // namespace

bool ParseWantedPick(const std::string& text, WantedPick& pick, std::string& why) {
  if (text.find_first_not_of(" \t") == std::string::npos) {
    why = "is empty: give seven numbers from 1 to 37, as 02,14,15,18,20,21,31";
    return false;
  }
  std::vector<int32_t> numbers;
  for (const std::string& field : Fields(text)) {
    int32_t number;
    if (!ReadNumber(field, number, why)) return false;
    numbers.push_back(number);
  }
  if (numbers.size() != kPickSize) {
    why = "has " + Counted(numbers.size(), "number", "numbers") +
          ", not 7: give seven numbers from 1 to 37 separated by commas";
    return false;
  }
  pick = WantedPick();
  for (int i = 0; i < kPickSize; ++i) {
    uint64_t bit = uint64_t{1} << (numbers[i] - 1);
    if (pick.mask & bit) {
      why = "has " + std::to_string(numbers[i]) + " twice: the seven numbers are distinct";
      return false;
    }
    pick.mask |= bit;
    pick.numbers[i] = numbers[i];
  }
  std::sort(pick.numbers, pick.numbers + kPickSize);
  return true;
}

std::string LineOfPick(const WantedPick& pick) {
  char line[kLineRoom];
  FormatLine(pick.numbers, line);
  return line;
}
