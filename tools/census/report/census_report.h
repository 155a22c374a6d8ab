// The census's three reports: a table for people, JSON for programs and an SVG bar chart of how
// often each number is picked.
#pragma once

#include <cstdint>
#include <string>

#include "census_result.h"
#include "census_scope.h"
#include "report/pick_summary.h"

// The JSON's format: a reader can rely on every key of a format. Adding a key keeps the number;
// removing or renaming one, or changing what a key holds, takes the next.
constexpr int kCensusJsonFormat = 1;

std::string CensusTable(const CensusResult& result, const PickSummary& summary, double seconds,
                        const CensusScope& scope);
std::string CensusJson(const CensusResult& result, const PickSummary& summary, double seconds,
                       const CensusScope& scope);
std::string CensusChart(const CensusResult& result, const PickSummary& summary,
                        const CensusScope& scope);

// The line the die shows for the pick of this rank, as 02,14,15,18,20,21,31.
std::string LineOfRank(uint32_t rank);
