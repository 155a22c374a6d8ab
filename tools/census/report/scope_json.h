// The seeds a report covers, as its JSON names them: an object of their words (as the table
// names them), the first seed, how many, and for a span of clock time its first and last
// second. The census's JSON and the finder's carry the same object under "covered".
#pragma once

#include <nlohmann/json.hpp>

#include "census_result.h"

nlohmann::ordered_json ScopeJson(const CensusScope& scope);
