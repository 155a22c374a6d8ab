#include "find/find_report.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "census_scope.h"
#include "cli_text.h"
#include "cli_time.h"
#include "cli_zone.h"
#include "report/census_report.h"

namespace {

// "Seeds that show it: 494 (every seed)", with "; the first 3 listed" when cut short. A scope of
// seeds lists seeds, a span of clock time its seconds.
std::string HowMany(const FindReport& report) {
  std::string line = report.scope.clockSpan ? "Seconds that show it: " : "Seeds that show it: ";
  line += Grouped(report.found.total) + " (" + ScopeInWords(report.scope) + ")";
  if (report.found.listed.size() < report.found.total) {
    line += "; the first " + Grouped(report.found.listed.size()) + " listed";
  }
  return line + "\n";
}

// The seconds on the zone's clocks, the zone named once, in the heading. Over a span the second
// comes first, in a column as wide as its longest entry.
std::string Rows(const FindReport& report) {
  std::string heading = "second (" + ClockZoneName() + ")";
  std::string out;
  if (report.scope.clockSpan) {
    int width = static_cast<int>(heading.size());
    for (const FoundSecond& found : report.found.listed) {
      width = std::max(width, static_cast<int>(ShownSecond(found.second).size()));
    }
    out += Printed("%-*s  %13s\n", width, heading.c_str(), "seed");
    for (const FoundSecond& found : report.found.listed) {
      out += Printed("%-*s  %13s\n", width, ShownSecond(found.second).c_str(),
                     Grouped(found.seed).c_str());
    }
  } else {
    out += "         seed  " + heading + "\n";
    for (const FoundSecond& found : report.found.listed) {
      out += Printed("%13s  %s\n", Grouped(found.seed).c_str(), ShownSecond(found.second).c_str());
    }
  }
  return out;
}

}  // namespace

std::string FindTable(const FindReport& report) {
  std::string line = LineOfPick(report.pick);
  if (report.found.total == 0) {
    return std::string(report.scope.clockSpan ? "No second" : "No seed") + " shows " + line + " (" +
           ScopeInWords(report.scope) + ")\n";
  }
  std::string out = "Pick: " + line + "\n" + HowMany(report);
  if (!report.scope.clockSpan) {
    out += "Each seed's second below is its first; it comes again every " + Grouped(kSeedPeriod) +
           " seconds (about 136 years)\n";
  }
  return out + "\n" + Rows(report);
}

std::string FindJson(const FindReport& report) {
  using Json = nlohmann::ordered_json;
  Json json;
  json["format"] = kFindJsonFormat;
  json["pick"] = LineOfPick(report.pick);
  // The pick as vorel-pick's JSON gives it too, so one reader takes both programs' picks.
  json["line"] = LineOfPick(report.pick);
  json["numbers"] = report.pick.numbers;
  json["covered"] = ScopeJson(report.scope);
  json["zone"] = ClockZoneNameInUtf8();
  json["first"] = report.first ? Json(report.first) : Json(nullptr);
  json["found"] = report.found.total;
  json["found_unit"] = report.scope.clockSpan ? "seconds" : "seeds";
  json["repeats_every"] = kSeedPeriod;
  Json matches = Json::array();
  for (const FoundSecond& found : report.found.listed) {
    std::string offset = ShownOffset(found.second);
    matches.push_back({{"seed", found.seed},
                       {"second", UtcText(found.second)},
                       {"unix_second", found.second},
                       {"local_second", ShownSecond(found.second)},
                       {"utc_offset", offset.empty() ? Json(nullptr) : Json(offset)}});
  }
  json["matches"] = matches;
  json["method"] = report.mode == CensusMode::kSeedBySeed ? "seed by seed" : "cycle walk";
  json["seconds"] = static_cast<double>(static_cast<int64_t>(report.seconds * 1000 + 0.5)) / 1000;
  json["threads"] = report.workers;
  json["target"] = report.target;
  return json.dump(2) + "\n";
}
