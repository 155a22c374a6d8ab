// The rank of each lane's pick, from its low word (values 0..31) and high word (32..36), with
// the tables of pick_rank.h. Included by the vector walk once per instruction set; how a build
// ranks depends on its lanes and on what its instructions can look up.
//
// Sixteen lanes rank in the vectors, one set bit of the low word at a time, from 32-entry tables
// held in registers (VectorRankTables). Worked example, the build that reads a bit's place from a
// float's exponent (AVX3): the pick 2,14,15,18,20,21,31 shown for seed 0 is the values 1, 13,
// 14, 17, 19, 20 and 30, all in the low word; the high word is empty, and its entry is 0 - 127.
// The first bit, 2^1, converts to 2.0f, exponent 128: +128, so far 1 = C(1, 1). The next bit,
// 2^13, has exponent 140 and reads entry 140 mod 32 = 12 of table 1, C(13, 2) = 78; then
// C(14, 3) = 364, C(17, 4) = 2380, C(19, 5) = 11628, C(20, 6) = 38760 and C(30, 7) = 2035800, in
// all 2089011.
//
// Eight lanes (AVX2) gather three chunks of the pick from tables in memory (GatherRankTables),
// eight lanes in one instruction each: there a table in registers takes four of the sixteen, and
// each lookup four lookups and three blends.
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
// x86 build that Highway places above them, hold it in two registers; every other build ranks by
// gathering whole chunks (AVX2) or lane by lane.
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
#elif HWY_TARGET == HWY_AVX2
// Eight lanes gather: three lookups of whole chunks of the pick (GatherRankTables), eight lanes
// in one instruction each. The low and the high chunk need nothing but the pick; the middle one
// waits for the low one's count of numbers, in its entry's top byte, and takes it off again.
template <class D>
struct PickRanker {
  using V = hn::Vec<D>;
  using T = GatherRankTables;
  const GatherRankTables* tables;

  HWY_INLINE void Load(D) { tables = &GatherRanks(); }

  // The rank, for lanes whose pick holds seven values (others get a meaningless number, from
  // inside the tables: a short window's stand-ins, above the high chunk, are cut off).
  HWY_INLINE V Rank(D d, V pickLow, V pickHigh) const {
    const hn::RebindToSigned<D> di;
    auto at = [&](const uint32_t* table, V index) {
      return hn::GatherIndex(d, table, hn::BitCast(di, index));
    };
    constexpr int kMiddleFirst = T::kLowBits, kHighFirst = T::kLowBits + T::kMiddleBits;
    const V low = at(tables->low, hn::And(pickLow, hn::Set(d, (1u << T::kLowBits) - 1)));
    const V highChunk = hn::Or(
        hn::ShiftRight<kHighFirst>(pickLow),
        hn::And(hn::ShiftLeft<32 - kHighFirst>(pickHigh), hn::Set(d, (1u << T::kHighBits) - 1)));
    const V high = at(tables->high, highChunk);
    const V below = hn::ShiftLeft<T::kMiddleBits>(hn::ShiftRight<T::kCountShift>(low));
    const V middleChunk =
        hn::And(hn::ShiftRight<kMiddleFirst>(pickLow), hn::Set(d, (1u << T::kMiddleBits) - 1));
    const V middle = at(tables->middle, hn::Or(below, middleChunk));
    return hn::Add(hn::Add(low, middle), high);
  }
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
