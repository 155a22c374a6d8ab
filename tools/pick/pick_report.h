// What vorel-pick prints for a seed: lines for people, or JSON for programs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The JSON's format: a reader can rely on every key of a format. Adding a key keeps the number;
// removing or renaming one, or changing what a key holds, takes the next.
constexpr int kPickJsonFormat = 1;

// The line, after the seed and its candidates if asked.
std::string PickReport(uint32_t seed, bool showCandidates);

// The same as one JSON object: the format, the seed, the UTC second it came from and the same
// second in the zone opened (cli_zone.h) with its offset and the zone's name (all null when the
// seed was given), the pick as numbers and as the line (and the numbers again as "numbers", as
// vorel-census --find gives them), and with `showCandidates` the candidates.
std::string PickJson(uint32_t seed, std::optional<int64_t> unixSecond, bool showCandidates);
