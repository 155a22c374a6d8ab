// Test support: a test of the census's vector code runs once per instruction set Highway builds
// that code for, whether this processor runs it or not; where the processor lacks one, its run
// shows as skipped, saying so. A test file makes a suite of its own with
//     class RankerWith : public EachTarget {};
//     INSTANTIATE_FOR_EACH_TARGET(RankerWith);
// and each TEST_P(RankerWith, ...) runs with Target(), Highway's bit for one instruction set.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "hwy/targets.h"

// Every instruction set the vector code is built for, best first, by Highway's bit for it.
std::vector<int64_t> BuiltTargets();

class EachTarget : public testing::TestWithParam<int64_t> {
 protected:
  void SetUp() override;
  int64_t Target() const { return GetParam(); }
  std::string TargetName() const { return hwy::TargetName(GetParam()); }

  // What `describe` returns when Highway's dispatch chooses this instruction set, as if the
  // processor ran it alone: `describe` calls a function exported with HWY_EXPORT through
  // HWY_DYNAMIC_DISPATCH, which answers with that instruction set's code.
  template <class Describe>
  auto Dispatched(Describe describe) const {
    hwy::SetSupportedTargetsForTest(GetParam());
    auto described = describe();
    hwy::SetSupportedTargetsForTest(0);
    return described;
  }
};

// The name of each run: the instruction set's.
std::string NameOfTargetTest(const testing::TestParamInfo<int64_t>& target);

#define INSTANTIATE_FOR_EACH_TARGET(Suite) \
  INSTANTIATE_TEST_SUITE_P(Built, Suite, testing::ValuesIn(BuiltTargets()), NameOfTargetTest)
