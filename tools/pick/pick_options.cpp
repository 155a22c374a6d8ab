#include "pick_options.h"

#include <cstdio>

#include "cli_numbers.h"
#include "draw.h"

const char kPickUsage[] =
    "Usage: vorel-pick [--seed N | --at YYYY-MM-DDTHH:MM:SSZ] [--candidates]\n"
    "Prints the seven numbers the die shows, as a key press would.\n"
    "\n"
    "  (no option)      the pick for a key press in the current second\n"
    "  --seed N         the pick for seed N (decimal or 0x-hexadecimal, 0 to 4294967295)\n"
    "  --at TIME        the pick for a key press in that UTC second, e.g. 2026-12-07T04:05:06Z\n"
    "  --candidates     also print the seed and the twenty numbers the pick was taken from\n"
    "  --help           print this text\n"
    "  --version        print the version\n"
    "\n"
    "Exit codes: 0 done, 2 bad command line.\n";

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
static int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  int64_t era = year / 400;
  int64_t yearOfEra = year - era * 400;
  int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

static bool ReadNumber(const std::string& text, size_t at, size_t width, int& value) {
  value = 0;
  for (size_t i = at; i < at + width; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

bool ParseUtcSecond(const std::string& text, int64_t& unixSeconds, std::string& why) {
  int year, month, day, hour, minute, second;
  // Positions in YYYY-MM-DDTHH:MM:SSZ.
  bool shaped = text.size() == 20 && text[4] == '-' && text[7] == '-' && text[10] == 'T' &&
                text[13] == ':' && text[16] == ':' && text[19] == 'Z' &&
                ReadNumber(text, 0, 4, year) && ReadNumber(text, 5, 2, month) &&
                ReadNumber(text, 8, 2, day) && ReadNumber(text, 11, 2, hour) &&
                ReadNumber(text, 14, 2, minute) && ReadNumber(text, 17, 2, second);
  if (!shaped) {
    why = "is not a UTC time of the form YYYY-MM-DDTHH:MM:SSZ";
    return false;
  }
  static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  int monthDays = month >= 1 && month <= 12 ? kMonthDays[month - 1] + (month == 2 && leap) : 0;
  if (month < 1 || month > 12 || day < 1 || day > monthDays || hour > 23 || minute > 59 ||
      second > 59) {
    why = "does not exist";
    return false;
  }
  if (year < 1970) {
    why = "is before 1970-01-01T00:00:00Z, where the die's clock starts";
    return false;
  }
  unixSeconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
  return true;
}

static std::string Quoted(const char* text) {
  return std::string("'") + text + "'";
}

std::string ParsePickOptions(int argc, const char* const* argv, PickOptions& options) {
  options = PickOptions();
  bool haveSeed = false, haveAt = false, help = false, version = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--seed" || arg == "--at") {
      bool& seen = arg == "--seed" ? haveSeed : haveAt;
      if (seen) return "vorel-pick: " + arg + " given twice";
      if (i + 1 >= argc) return "vorel-pick: " + arg + " needs a value";
      const char* value = argv[++i];
      seen = true;
      if (arg == "--seed") {
        if (!ParseSeed(value, options.seed)) {
          return "vorel-pick: seed " + Quoted(value) +
                 " is not a number from 0 to 4294967295 (decimal or 0x-hexadecimal)";
        }
      } else {
        std::string why;
        if (!ParseUtcSecond(value, options.unixSeconds, why)) {
          return "vorel-pick: time " + Quoted(value) + " " + why;
        }
      }
    } else if (arg == "--candidates") {
      if (options.showCandidates) return "vorel-pick: --candidates given twice";
      options.showCandidates = true;
    } else if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--version") {
      version = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "vorel-pick: unknown option " + Quoted(argv[i]) + " (see --help)";
    } else {
      return "vorel-pick: unexpected argument " + Quoted(argv[i]) + " (see --help)";
    }
  }
  if (haveSeed && haveAt) return "vorel-pick: --seed and --at cannot be used together";
  if (help) {
    options.mode = PickOptions::kHelp;
  } else if (version) {
    options.mode = PickOptions::kVersion;
  } else if (haveSeed) {
    options.mode = PickOptions::kSeed;
  } else if (haveAt) {
    options.mode = PickOptions::kAt;
  }
  return "";
}

std::string PickReport(uint32_t seed, bool showCandidates) {
  std::string report;
  char buffer[7 * 12 + 1];
  if (showCandidates) {
    std::snprintf(buffer, sizeof buffer, "seed %u (0x%08X)\n", seed, seed);
    report += buffer;
    int32_t candidates[kCandidateCount];
    DrawCandidates(seed, candidates);
    report += "candidates";
    for (int32_t candidate : candidates) {
      std::snprintf(buffer, sizeof buffer, " %02d", static_cast<int>(candidate));
      report += buffer;
    }
    report += "\n";
  }
  int32_t pick[kPickSize];
  DrawFromSeed(seed, pick);
  FormatLine(pick, buffer);
  return report + buffer + "\n";
}
