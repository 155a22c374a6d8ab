#include "count/each_target.h"

std::vector<int64_t> BuiltTargets() {
  std::vector<int64_t> targets;
  for (int64_t rest = HWY_TARGETS; rest != 0; rest &= rest - 1) targets.push_back(rest & -rest);
  return targets;
}

void EachTarget::SetUp() {
  if (!(hwy::SupportedTargets() & GetParam())) {
    GTEST_SKIP() << "this processor cannot run " << TargetName()
                 << ", so the code built for it cannot be tried here";
  }
}

std::string NameOfTargetTest(const testing::TestParamInfo<int64_t>& target) {
  return hwy::TargetName(target.param);
}
