#include "walk/list_twin.h"

#include "count/pick_rank.h"
#include "walk/cycle.h"

namespace {

// Moves x to the front. The entries before its old place move back one; when it was not in the
// list, the last entry drops off. Returns x's old place, kListLength when it was not there.
int PushIntoList(ListLane& lane, uint8_t x) {
  int found = 0;
  while (found < kListLength && lane.value[found] != x) ++found;
  for (int r = found < kListLength ? found : kListLength - 1; r > 0; --r) {
    lane.value[r] = lane.value[r - 1];
    lane.pushedAt[r] = lane.pushedAt[r - 1];
  }
  lane.value[0] = x;
  lane.pushedAt[0] = lane.step;
  return found;
}

void Push(ListLane& lane) {
  uint8_t x = static_cast<uint8_t>(Candidate(lane.state));
  uint8_t leaving = lane.value[kPickSize - 1];
  // The pick is the first seven: unchanged when x was among them, else x takes the place of
  // the seventh, which moves to eighth.
  if (PushIntoList(lane, x) >= kPickSize) lane.pick = (lane.pick & ~(1ull << leaving)) | 1ull << x;
  ++lane.step;
  lane.state = Backward(lane.state);
}

}  // namespace

void StartListLane(ListLane& lane, uint32_t firstState, SeedSpan span) {
  lane.span = span;
  lane.state = WarmUpState(firstState);
  lane.step = 0;
  lane.pick = 0;
  for (int r = 0; r < kListLength; ++r) {
    lane.value[r] = static_cast<uint8_t>(kStandInValue + r);
    lane.pushedAt[r] = kStandInStep - r;
    if (r < kPickSize) lane.pick |= 1ull << (kStandInValue + r);
  }
  for (int warm = 0; warm < kCandidateCount - 1; ++warm) Push(lane);
}

ListFigures StepListLane(ListLane& lane) {
  int weight = lane.span.Weight(SeedOfWindow(lane.state));
  Push(lane);
  int64_t now = lane.step - 1;  // the step of the push just made
  ListFigures figures = {lane.pick, kPossiblePicks, -1, 0, weight};
  for (int r = 0; r < kListLength; ++r) {
    figures.distinct += now - lane.pushedAt[r] < kCandidateCount;  // inside the window
  }
  int64_t seventhAge = now - lane.pushedAt[kPickSize - 1];
  if (seventhAge < kCandidateCount) {
    figures.seventhIndex = static_cast<int>(seventhAge);
    figures.rank = RankOfMask(lane.pick);
  }
  return figures;
}
