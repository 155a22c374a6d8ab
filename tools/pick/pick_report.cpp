#include "pick_report.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli_time.h"
#include "cli_zone.h"
#include "draw.h"

std::string PickReport(uint32_t seed, bool showCandidates) {
  std::string report;
  char buffer[kLineRoom];
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

std::string PickJson(uint32_t seed, std::optional<int64_t> unixSecond, bool showCandidates) {
  using Json = nlohmann::ordered_json;
  Json json;
  json["format"] = kPickJsonFormat;
  json["seed"] = seed;
  json["utc_second"] = unixSecond ? Json(UtcText(*unixSecond)) : Json(nullptr);
  // The same second on the zone's clocks, its offset and the zone's name.
  std::string offset = unixSecond ? ShownOffset(*unixSecond) : "";
  json["local_second"] = unixSecond ? Json(ShownSecond(*unixSecond)) : Json(nullptr);
  json["utc_offset"] = offset.empty() ? Json(nullptr) : Json(offset);
  json["zone"] = unixSecond ? Json(ClockZoneNameInUtf8()) : Json(nullptr);
  int32_t pick[kPickSize];
  DrawFromSeed(seed, pick);
  json["pick"] = pick;
  char line[kLineRoom];
  FormatLine(pick, line);
  json["line"] = line;
  // The pick as --find's JSON gives it too, so one reader takes both programs' picks.
  json["numbers"] = pick;
  if (showCandidates) {
    int32_t candidates[kCandidateCount];
    DrawCandidates(seed, candidates);
    json["candidates"] = candidates;
  }
  return json.dump(2) + "\n";
}
