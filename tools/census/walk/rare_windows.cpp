#include "walk/rare_windows.h"

#include "walk/cycle.h"

namespace {

void NoteSeeds(Extreme& extreme, int figure, uint32_t state, const SeedSpan* span) {
  uint32_t seed = SeedOfWindow(state);
  for (uint32_t each : {seed, TwinOf(seed)}) {
    if (!span || span->Contains(each)) extreme.Note(figure, each);
  }
}

}  // namespace

void NoteFewDistinct(Tally& tally, uint32_t state, int distinct, const SeedSpan* span) {
  NoteSeeds(tally.fewest, distinct, state, span);
}

void NoteLateSeventh(Tally& tally, uint32_t state, int seventhIndex, const SeedSpan* span) {
  NoteSeeds(tally.latest, seventhIndex, state, span);
}
