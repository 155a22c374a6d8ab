// For the tests of the programs' JSON: the keys a reader of each format may rely on, and the check
// that a report of that format still carries every one of them with its kind of value.
//
// Each test lists its keys as JSON pointers with the kind of value each holds ("/matches/0/seed",
// "number"). A key may be added within a format; removing or renaming one, or changing its kind,
// takes a new format number and a list of its own, the older lists kept as they were.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

using KeysOfFormat = std::map<int, std::vector<std::pair<std::string, std::string>>>;

inline void ExpectKeysOfItsFormat(const nlohmann::json& json, const KeysOfFormat& keysOfFormat) {
  ASSERT_TRUE(json.contains("format")) << "no format number";
  int format = json["format"].get<int>();
  ASSERT_TRUE(keysOfFormat.count(format)) << "format " << format << " lists no keys here";
  for (const auto& [key, kind] : keysOfFormat.at(format)) {
    nlohmann::json::json_pointer pointer(key);
    ASSERT_TRUE(json.contains(pointer)) << key << " is gone from format " << format;
    EXPECT_EQ(json[pointer].type_name(), kind) << key;
  }
}
