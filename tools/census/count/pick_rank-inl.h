// The rank of each lane's pick, from its low word (values 0..31) and high word (32..36), with
// the tables of pick_rank.h. Included by the vector walk once per instruction set; how a build
// ranks depends on its lanes and on what its instructions can look up.
//
// Sixteen and eight lanes rank in the vectors, one set bit of the low word at a time, from
// 32-entry tables loaded into vectors once (VectorRankTables; AVX2's sixteen registers hold only
// some of them, and the rest are read back from the first-level cache). Worked example, the builds
// that read a bit's place from a float's exponent (AVX3, AVX2): the pick 2,14,15,18,20,21,31 shown
// for seed 0 is the values 1, 13, 14, 17, 19, 20 and 30, all in the low word; the high word is
// empty, and its entry is 0 - 127. The first bit, 2^1, converts to 2.0f, exponent 128: +128, so far
// 1 = C(1, 1). The next bit, 2^13, has exponent 140 and reads entry 140 mod 32 = 12 of table 1,
// C(13, 2) = 78; then C(14, 3) = 364, C(17, 4) = 2380, C(19, 5) = 11628, C(20, 6) = 38760 and
// C(30, 7) = 2035800, in all 2089011.
//
// Each lookup is a permute across the lanes, whose cost is much the same on every x86 processor
// with the instruction. Eight lanes could instead gather from tables in memory, but a gather is
// some forty micro-operations on AMD's processors and, on Intel's from Skylake to Ice Lake, is
// slowed markedly by the microcode that guards it against a data-sampling attack: a build for
// eight lanes runs on both, so it looks up by permutes.
//
// Four lanes and one rank lane by lane, from the chunk tables the one-draw walk ranks with: a
// table in registers would take eight registers or more, and these builds have no gather.
#if defined(VOREL_PICK_RANK_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef VOREL_PICK_RANK_INL_H_
#undef VOREL_PICK_RANK_INL_H_
#else
#define VOREL_PICK_RANK_INL_H_
#endif

#include "count/pick_rank.h"
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace vorel {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Each Table32 looks up a 32-entry table at the low five bits of `field`, which may hold more
// bits above (the exponent field and sign of a converted bit). The AVX-512 builds, and any later
// x86 build that Highway places above them, hold it in two registers; AVX2 in four; every other
// build ranks lane by lane.
#if HWY_TARGET <= HWY_AVX3
#define VOREL_RANK_IN_VECTORS 1
// Sixteen lanes hold half a table. One instruction looks up across both registers, by the
// index's low five bits (bit 4 chooses the register), and leaves the bits above alone; Highway
// 1.0.3 has no operation for it, so it is called by its own name here.
template <class D>
struct Table32 {
  static_assert(hn::MaxLanes(D()) == 16, "half a table to a register");
  hn::Vec<D> lower, upper;

  HWY_INLINE void Load(D d, const uint32_t* table) {
    lower = hn::Load(d, table);
    upper = hn::Load(d, table + 16);
  }
  HWY_INLINE hn::Vec<D> Lookup(D, hn::Vec<D> field) const {
    return hn::Vec<D>{_mm512_permutex2var_epi32(lower.raw, field.raw, upper.raw)};
  }
};
#elif HWY_TARGET == HWY_AVX2
#define VOREL_RANK_IN_VECTORS 1
// Eight lanes hold a quarter of a table each: four permutes by the index's low three bits, then
// a choice by bit 3 and one by bit 4, each moved up to the sign bit, which is all a blend reads.
// For the field 140 (0b10001100, the exponent of 2^13 above), whose low five bits are 12: each
// quarter gives its entry 4 (table[4], [12], [20] and [28]); bit 3, set, takes [12] over [4] and
// [28] over [20]; bit 4, clear, takes the lower pair's, table[12].
template <class D>
struct Table32 {
  static_assert(hn::MaxLanes(D()) == 8, "a quarter of a table to a register");
  hn::Vec<D> quarter[4];

  HWY_INLINE void Load(D d, const uint32_t* table) {
    for (int q = 0; q < 4; ++q) quarter[q] = hn::Load(d, table + 8 * q);
  }
  HWY_INLINE hn::Vec<D> Lookup(D d, hn::Vec<D> field) const {
    const hn::RebindToSigned<D> di;
    const auto eighth = hn::IndicesFromVec(d, hn::And(field, hn::Set(d, 7u)));
    const auto bit3 = hn::BitCast(di, hn::ShiftLeft<28>(field));
    const auto bit4 = hn::BitCast(di, hn::ShiftLeft<27>(field));
    auto in = [&](int q) { return hn::BitCast(di, hn::TableLookupLanes(quarter[q], eighth)); };
    const auto lower = hn::IfNegativeThenElse(bit3, in(1), in(0));
    const auto upper = hn::IfNegativeThenElse(bit3, in(3), in(2));
    return hn::BitCast(d, hn::IfNegativeThenElse(bit4, upper, lower));
  }
};
#endif

#ifdef VOREL_RANK_IN_VECTORS
#undef VOREL_RANK_IN_VECTORS
template <class D>
struct PickRanker {
  using V = hn::Vec<D>;
  Table32<D> low[kPickSize];  // low[0] stays unused: the first bit needs no table
  Table32<D> high;

#if HWY_TARGET <= HWY_AVX3_DL
  // These builds count bits in vectors: the place of the lowest bit is the count of the zeros
  // below it, popcount(~rest & (rest - 1)), three operations where the float takes four.
  HWY_INLINE void Load(D d) {
    const VectorRankTables& tables = VectorRanks();
    for (int k = 1; k < kPickSize; ++k) low[k].Load(d, tables.lowByPlace[k]);
    high.Load(d, tables.high);
  }

  // The rank, for lanes whose pick holds seven values (others get a meaningless number).
  HWY_INLINE V Rank(D d, V pickLow, V pickHigh) const {
    V rank = high.Lookup(d, pickHigh);
    V rest = pickLow;
    for (int k = 0; k < kPickSize; ++k) {
      const V less = hn::Sub(rest, hn::Set(d, 1u));
      const V place = hn::PopulationCount(hn::AndNot(rest, less));
      rank = hn::Add(rank, k == 0 ? place : low[k].Lookup(d, place));
      rest = hn::And(rest, less);
    }
    return rank;
  }
#else
  HWY_INLINE void Load(D d) {
    const VectorRankTables& tables = VectorRanks();
    for (int k = 1; k < kPickSize; ++k) low[k].Load(d, tables.lowByExponent[k]);
    high.Load(d, tables.highLessBias);
  }

  // The exponent field of the lowest set bit of `rest` converted to float, 127 + its place, or
  // 0 for no bit (bit 31 converts to a negative float: its sign lands above the field's eight
  // bits). The bit itself leaves `rest`: rest & (rest - 1), two operations from one `rest` to
  // the next, so the seven bits follow each other quickly.
  static HWY_INLINE V TakeLowestBit(D d, V& rest) {
    const hn::RebindToSigned<D> di;
    const hn::RebindToFloat<D> df;
    const V next = hn::And(rest, hn::Sub(rest, hn::Set(d, 1u)));
    const V lowest = hn::Xor(rest, next);
    rest = next;
    return hn::ShiftRight<23>(hn::BitCast(d, hn::ConvertTo(df, hn::BitCast(di, lowest))));
  }

  // The rank, for lanes whose pick holds seven values (others get a meaningless number).
  HWY_INLINE V Rank(D d, V pickLow, V pickHigh) const {
    const V exponentField = hn::Set(d, 0xFFu);
    V rank = high.Lookup(d, pickHigh);
    V rest = pickLow;
    rank = hn::Add(rank, hn::And(TakeLowestBit(d, rest), exponentField));  // 127 + p
    for (int k = 1; k < kPickSize; ++k) {
      rank = hn::Add(rank, low[k].Lookup(d, TakeLowestBit(d, rest)));
    }
    return rank;
  }
#endif
};
#else
template <class D>
struct PickRanker {
  using V = hn::Vec<D>;
  const RankTables* tables;

  HWY_INLINE void Load(D) { tables = &Ranks(); }

  // The stand-ins of a short window stand above value 36; they are cut off, so that the
  // tables are read inside their bounds (such a lane's rank is not used).
  HWY_INLINE V Rank(D d, V pickLow, V pickHigh) const {
    constexpr size_t kLanes = hn::MaxLanes(D());
    HWY_ALIGN uint32_t low[kLanes], high[kLanes], rank[kLanes];
    hn::Store(pickLow, d, low);
    hn::Store(hn::And(pickHigh, hn::Set(d, (1u << VectorRankTables::kHighValues) - 1)), d, high);
    for (size_t lane = 0; lane < kLanes; ++lane) {
      rank[lane] = tables->Rank(uint64_t{high[lane]} << 32 | low[lane]);
    }
    return hn::Load(d, rank);
  }
};
#endif

}  // namespace HWY_NAMESPACE
}  // namespace vorel
HWY_AFTER_NAMESPACE();

#endif  // VOREL_PICK_RANK_INL_H_
