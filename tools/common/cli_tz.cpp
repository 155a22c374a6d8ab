#include "cli_tz.h"

#include <time.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "cli_text.h"

namespace {

int IsDigit(int c) {
  return c >= '0' && c <= '9';
}
int IsLetter(int c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A cursor over a TZ value, for the small grammars below.
struct TzScan {
  const std::string& text;
  size_t at = 0;

  bool End() const { return at == text.size(); }
  bool Take(char c) {
    if (at == text.size() || text[at] != c) return false;
    ++at;
    return true;
  }
  // Passes at most `most` characters of a kind, and says how many.
  size_t Run(int (*of)(int), size_t most = 64) {
    size_t count = 0;
    for (; at < text.size() && count < most && of(static_cast<unsigned char>(text[at])); ++at) {
      ++count;
    }
    return count;
  }
  // [+-]h[:mm[:ss]] with up to `hourDigits` digits of hours: an offset, or a time of day.
  bool Clock(size_t hourDigits) {
    if (!Take('+')) Take('-');
    if (Run(IsDigit, hourDigits) == 0) return false;
    for (int part = 0; part < 2 && Take(':'); ++part) {
      if (Run(IsDigit, 2) != 2) return false;
    }
    return true;
  }
};

#ifdef _WIN32

// The Windows runtime reads TZ only as three letters, the hours west of UTC and perhaps three
// letters that turn on summer time by the rules of the United States: "JST-9", "EST5EDT". It
// reads anything else as some other zone without a word ("Asia/Tokyo" as UTC with an hour of
// summer time), so nothing else is let through; "UTC" and "GMT" alone it reads as UTC.
bool IsRuntimeZone(const std::string& value) {
  if (value == "UTC" || value == "GMT") return true;
  TzScan scan{value};
  return scan.Run(IsLetter, 3) == 3 && scan.Clock(2) &&
         (scan.End() || (scan.Run(IsLetter, 3) == 3 && scan.End()));
}

// The runtime gives the name of the zone set in Windows in the ANSI code page, as the console
// shows it: in Japanese, in code page 932, on a Japanese system.
std::string Utf8OfName(const std::string& name) {
  int wide = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
  std::wstring text(wide > 0 ? wide : 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, &text[0], wide);
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(size > 0 ? size : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], size, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  return utf8;
}

#else

int IsRuleChar(int c) {
  return IsDigit(c) || c == 'J' || c == 'M' || c == '.';
}
int IsNameInBrackets(int c) {
  return IsDigit(c) || IsLetter(c) || c == '+' || c == '-';
}

// The folder of the system's time-zone database, as the C library looks there.
std::string ZoneFolder() {
  const char* folder = std::getenv("TZDIR");
  return folder && *folder ? folder : "/usr/share/zoneinfo";
}

// The file a TZ value names: a path as it stands, or a name in the zone folder.
std::string ZoneFilePath(const std::string& name) {
  return !name.empty() && name[0] == '/' ? name : ZoneFolder() + "/" + name;
}

// Whether the file is one of the database's, which begin with "TZif".
bool IsZoneFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char magic[4] = {};
  return file.read(magic, 4) && std::memcmp(magic, "TZif", 4) == 0;
}

// A zone's name in a POSIX rule: three letters or more, or in angle brackets ("<+0545>").
bool PosixName(TzScan& scan) {
  if (scan.Take('<')) return scan.Run(IsNameInBrackets) >= 3 && scan.Take('>');
  return scan.Run(IsLetter) >= 3;
}

// A zone as POSIX writes it without a file: std offset [dst [offset] [,start[/time],end[/time]]],
// as "JST-9", "<+0545>-5:45" or "EST5EDT,M3.2.0,M11.1.0". The dates of a change are checked for
// their characters only.
bool IsPosixZone(const std::string& value) {
  TzScan scan{value};
  if (!PosixName(scan) || !scan.Clock(2)) return false;
  if (scan.End()) return true;
  if (!PosixName(scan)) return false;
  if (!scan.End() && value[scan.at] != ',' && !scan.Clock(2)) return false;
  if (scan.End()) return true;
  for (int change = 0; change < 2; ++change) {
    if (!scan.Take(',') || scan.Run(IsRuleChar) == 0) return false;
    if (scan.Take('/') && !scan.Clock(3)) return false;
  }
  return scan.End();
}

// A name as typed, or quoted and written out where a byte of it is no character or no printable
// one, so that every name is UTF-8.
std::string Utf8OfName(const std::string& name) {
  std::string quoted = Quoted(name);
  return quoted == "'" + name + "'" ? name : quoted;
}

// TZ's value as a heading names it: without the ':' that asks for a file, or the zone folder.
std::string NameOfTz(std::string value) {
  if (value[0] == ':') value.erase(0, 1);
  std::string folder = ZoneFolder() + "/";
  if (value.compare(0, folder.size(), folder) == 0) value.erase(0, folder.size());
  return value;
}

// The system's zone, by the name of the file /etc/localtime links to, or as /etc/timezone has it.
std::string SystemZoneName() {
  char target[4096];
  ssize_t length = readlink("/etc/localtime", target, sizeof target - 1);
  std::string link(target, length > 0 ? static_cast<size_t>(length) : 0);
  size_t folder = link.find("zoneinfo/");
  if (folder != std::string::npos) return link.substr(folder + 9);
  std::ifstream file("/etc/timezone");
  std::string name;
  return std::getline(file, name) && !name.empty() ? name : "local time";
}

#endif

}  // namespace

#ifdef _WIN32

std::string RefusedTz(const std::string& value) {
  if (IsRuntimeZone(value)) return "";
  return "TZ " + Quoted(value) +
         " is not a zone the Windows runtime reads: it takes three letters and the hours west "
         "of UTC, as JST-9 or EST5EDT; unset TZ to use the zone set in Windows";
}

TzRules ReadTzRules(const char* tz) {
  _tzset();
  TzRules rules;
  rules.keepsUtc = _timezone == 0 && _daylight == 0;
  // The runtime holds one rule for every year, so a zone without summer time has one offset and
  // is not asked: its calendar ends about the year 3000.
  rules.oneOffset = !_daylight;
  rules.offset = static_cast<int>(-_timezone);
  rules.name = rules.keepsUtc ? "UTC" : tz && *tz ? tz : _tzname[0];
  rules.nameInUtf8 = Utf8OfName(rules.name);
  return rules;
}

#else

// The C library takes a TZ value as a file of the database, or else as a POSIX rule; anything
// else it would read as UTC without a word.
std::string RefusedTz(const std::string& value) {
  bool fileOnly = value[0] == ':';
  std::string path = ZoneFilePath(fileOnly ? value.substr(1) : value);
  if (IsZoneFile(path) || (!fileOnly && IsPosixZone(value))) return "";
  return "TZ " + Quoted(value) + " names no time zone: there is no zone file " + Quoted(path) +
         (fileOnly ? "" : ", and it is no rule such as JST-9");
}

// The database keeps each zone's history, so the library is asked for every second.
TzRules ReadTzRules(const char* tz) {
  tzset();
  TzRules rules;
  rules.keepsUtc = timezone == 0 && daylight == 0;
  std::string name = rules.keepsUtc ? "UTC" : tz && *tz ? NameOfTz(tz) : SystemZoneName();
  rules.name = rules.nameInUtf8 = Utf8OfName(name);
  return rules;
}

#endif
