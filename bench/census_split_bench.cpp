// Where the census's time goes, per instruction set, on 1 and on 2 threads: the whole census of
// every seed; the walk alone (each window's pick compared with one sought, as --find does, so that
// nothing is kept); the walk with the count's own arithmetic but no counter (every pick ranked, its
// word formed, held back and packed, then dropped); and the counter alone, fed a recorded stream
// of the words the walk hands it, in the walk's order. The counter alone runs on a recorded
// stream of kRecordedDraws draws, the same for each thread, and is scaled to the whole cycle;
// so do its two stages apart, queueing the words and counting the queues. Beside it, the
// memory's floor for the counter: the bytes its queues hold for that stream, written once past
// the cache and read back once, with nothing counted. Rounds are taken in turn,
// every part of every instruction set once a round, so that a busy spell on the machine falls on
// all of them alike; the table gives the median of each. The first line names the processor.
// Usage: census_split_bench [ROUNDS [TARGET...]]   (default: 3 rounds; AVX3_DL AVX3 AVX2 SSE4)
#include <emmintrin.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "census.h"
#include "census_find.h"
#include "chunked_work.h"
#include "count/pick_counter.h"
#include "count/tally.h"
#include "host.h"
#include "walk/cycle.h"
#include "walk/vector_walk.h"

namespace {

// Draws whose words the counter alone is fed: a worker's chunks from all over the cycle, 2^28
// draws in all, about 230 million words.
constexpr uint64_t kChunk = 1u << 22, kRecordedDraws = 1u << 28;

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The words the census's count hands the counter for the chunk of draws from `begin` on, in the
// order it hands them over: each step's lanes in lane order, a lane's word held back while the
// next draw repeats it (then one word for both, with the doubled bit), a short window's word
// dropped, and at the end what each lane still holds. Read from the build's lane-by-lane figures.
void RecordChunk(const VectorBuild& build, uint64_t begin, std::vector<ListFigures>& figures,
                 std::vector<uint32_t>& words) {
  const size_t lanes = build.lanes;
  const uint64_t stretch = kChunk / lanes;
  std::vector<uint32_t> firstStates(lanes);
  for (size_t lane = 0; lane < lanes; ++lane) {
    firstStates[lane] = Jump(0, begin + stretch * (lane + 1) - 1);
  }
  build.walkForTest(firstStates.data(), stretch, SeedSpan(), figures.data());
  std::vector<uint32_t> held(lanes);
  std::vector<bool> idle(lanes, true);
  for (uint64_t step = 0; step < stretch; ++step) {
    for (size_t lane = 0; lane < lanes; ++lane) {
      const ListFigures& window = figures[step * lanes + lane];
      const bool isShort = window.rank == kPossiblePicks;
      const uint32_t word = PickCounter::Word(window.rank);
      const bool again = !idle[lane] && !isShort && word == held[lane];
      if (!again && !idle[lane]) words.push_back(held[lane]);
      held[lane] = again ? word | PickCounter::kTwice : word;
      idle[lane] = isShort;
    }
  }
  for (size_t lane = 0; lane < lanes; ++lane) {
    if (!idle[lane]) words.push_back(held[lane]);
  }
}

std::vector<uint32_t> RecordWords(const VectorBuild& build) {
  std::vector<uint32_t> words;
  std::vector<ListFigures> figures(kChunk);
  const uint64_t chunks = kRecordedDraws / kChunk, apart = kCycle / chunks;
  for (uint64_t chunk = 0; chunk < chunks; ++chunk) {
    RecordChunk(build, chunk * apart, figures, words);
  }
  return words;
}

// The whole cycle in the census's chunks, each chunk's stretches handed to `walk`.
double TimeWalk(const VectorBuild& build, unsigned threads,
                void (*walk)(Tally&, const uint32_t*, uint64_t)) {
  CensusOptions options;
  options.threads = threads;
  ChunkedWork plan = PlanOf(options, CensusMode::kWholeCycle);
  std::vector<Tally> tallies;
  for (unsigned worker = 0; worker < plan.threads; ++worker) {
    tallies.emplace_back(CounterShape{32, 8});  // the counter takes nothing here
  }
  return Seconds([&] {
    RunChunks(plan, [&](unsigned worker, uint64_t begin, uint64_t count) {
      WalkPositions(
          build, 0, begin, count,
          [&](const uint32_t* firstStates, uint64_t stretch) {
            walk(tallies[worker], firstStates, stretch);
          },
          [](uint32_t, uint64_t) {});
    });
  });
}

double TimeWhole(const std::string& target, unsigned threads) {
  CensusOptions options;
  options.threads = threads;
  options.target = target;
  return Seconds([&] { RunCensus(options); });
}

double TimeFind(const std::string& target, unsigned threads) {
  FindOptions options;
  options.census.threads = threads;
  options.census.target = target;
  options.pick.mask = 0x401A6002u;  // seed 0's pick, 02,14,15,18,20,21,31
  return Seconds([&] { RunFind(options); });
}

// Each thread feeds a counter of its own the whole recorded stream; scaled to the whole cycle,
// whose words the threads share.
double TimeCount(const VectorBuild& build, unsigned threads, const std::vector<uint32_t>& words) {
  std::vector<PickCounter> counters(threads);
  double seconds = Seconds([&] {
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
      workers.emplace_back([&, t] {
        build.countWords(counters[t], words.data(), words.size());
        counters[t].ApplyAll();
      });
    }
    for (std::thread& worker : workers) worker.join();
  });
  return seconds * static_cast<double>(kCycle) / kRecordedDraws / threads;
}

// The counter's two stages apart, each thread on a counter of its own, on the first sixteenth of
// the recorded words: queueing (each word into its slice's tail and, a tail at a time, into its
// queue, past the cache; the queues are made long enough that none fills, so nothing is counted
// yet) and then counting (each slice's queue into its counters). Scaled to the whole cycle as
// TimeCount is.
struct Stages {
  double queueing, counting;
};

Stages TimeStages(const VectorBuild& build, unsigned threads, const std::vector<uint32_t>& words) {
  const size_t part = words.size() / 16;
  std::vector<uint32_t> inSlice(PickCounter::kSlices);
  for (size_t i = 0; i < part; ++i) ++inSlice[words[i] >> PickCounter::kSliceShift];
  const uint32_t longest = *std::max_element(inSlice.begin(), inSlice.end());
  std::vector<PickCounter> counters;
  for (unsigned t = 0; t < threads; ++t) counters.emplace_back(CounterShape{longest + 1, 8});
  auto onEachThread = [&](const std::function<void(PickCounter&)>& work) {
    return Seconds([&] {
      std::vector<std::thread> workers;
      for (unsigned t = 0; t < threads; ++t) workers.emplace_back([&, t] { work(counters[t]); });
      for (std::thread& worker : workers) worker.join();
    });
  };
  const double scale = static_cast<double>(kCycle) / kRecordedDraws * 16 / threads;
  Stages stages;
  stages.queueing =
      onEachThread([&](PickCounter& counter) { build.countWords(counter, words.data(), part); });
  stages.counting = onEachThread([](PickCounter& counter) { counter.ApplyAll(); });
  stages.queueing *= scale;
  stages.counting *= scale;
  return stages;
}

// The memory's floor for the counter: each thread streams the bytes its counter's queues would
// hold for `words` (two a word) through a queue array the size of the counter's, as the counter
// moves them: a whole line at a time past the cache, to the slices' queues in turn, and when every
// queue is full, each queue read back from its start. Nothing is counted; the lines read are
// folded together only so that the reads are not left out. Scaled to the whole cycle as
// TimeCount is.
uint64_t StreamQueues(std::vector<PickCounter::Line>& queues, uint32_t queueLines, uint64_t lines) {
  __m128i folded = _mm_setzero_si128();
  for (uint64_t done = 0; done < lines;) {
    uint32_t filled = 0;  // lines per queue in this pass
    for (; filled < queueLines && done < lines; ++filled) {
      for (uint32_t slice = 0; slice < PickCounter::kSlices && done < lines; ++slice, ++done) {
        auto* to = reinterpret_cast<__m128i*>(&queues[slice * queueLines + filled]);
        const __m128i line = _mm_set1_epi64x(static_cast<long long>(done));
        for (int part = 0; part < 4; ++part) _mm_stream_si128(to + part, line);
      }
    }
    _mm_sfence();
    for (uint32_t slice = 0; slice < PickCounter::kSlices; ++slice) {
      for (uint32_t line = 0; line < filled; ++line) {
        const auto* from = reinterpret_cast<const __m128i*>(&queues[slice * queueLines + line]);
        for (int part = 0; part < 4; ++part)
          folded = _mm_xor_si128(folded, _mm_load_si128(from + part));
      }
    }
  }
  return static_cast<uint64_t>(_mm_cvtsi128_si64(folded));
}

double TimeStream(unsigned threads, size_t words) {
  const uint32_t queueLines = CounterShape().queueLength / PickCounter::kLine;  // the census's own
  const uint64_t lines =
      (words * sizeof(uint16_t) + sizeof(PickCounter::Line) - 1) / sizeof(PickCounter::Line);
  std::vector<std::vector<PickCounter::Line>> queues(threads);
  for (auto& queue : queues) queue.resize(size_t{PickCounter::kSlices} * queueLines);
  std::vector<uint64_t> folded(threads);
  double seconds = Seconds([&] {
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
      workers.emplace_back([&, t] { folded[t] = StreamQueues(queues[t], queueLines, lines); });
    }
    for (std::thread& worker : workers) worker.join();
  });
  return seconds * static_cast<double>(kCycle) / kRecordedDraws / threads;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
  std::printf("host: %s\n", HostDescription().c_str());
  std::vector<std::string> asked(argv + std::min(argc, 2), argv + argc);
  if (asked.empty()) asked = {"AVX3_DL", "AVX3", "AVX2", "SSE4"};
  std::vector<const VectorBuild*> builds;
  for (const std::string& name : asked) {
    size_t before = builds.size();
    for (const VectorBuild& build : VectorBuilds()) {
      if (name == build.name) builds.push_back(&build);
    }
    if (builds.size() == before) {
      std::fprintf(stderr, "census_split_bench: '%s' is no instruction set this processor runs\n",
                   name.c_str());
      return 2;
    }
  }
  std::map<const VectorBuild*, std::vector<uint32_t>> streams;
  for (const VectorBuild* build : builds) {
    double seconds = Seconds([&] { streams[build] = RecordWords(*build); });
    std::printf("%-8s recorded %zu words of %llu draws (%.3f a draw) in %.1f s\n", build->name,
                streams[build].size(), static_cast<unsigned long long>(kRecordedDraws),
                static_cast<double>(streams[build].size()) / kRecordedDraws, seconds);
  }
  const char* parts[] = {"whole", "walk", "no counter", "counter", "queueing", "counting"};
  std::map<std::string, std::vector<double>> times;
  const size_t words = streams[builds.front()].size();
  for (int round = 1; round <= rounds; ++round) {
    for (unsigned threads : {1u, 2u}) {
      double t = TimeStream(threads, words);
      std::printf("round %d  memory   %u thread%s  stream %.2f s\n", round, threads,
                  threads == 1 ? " " : "s", t);
      times["stream/" + std::to_string(threads)].push_back(t);
    }
    for (const VectorBuild* build : builds) {
      for (unsigned threads : {1u, 2u}) {
        const Stages stages = TimeStages(*build, threads, streams[build]);
        double t[] = {TimeWhole(build->name, threads),
                      TimeFind(build->name, threads),
                      TimeWalk(*build, threads, build->walkWithoutCounter),
                      TimeCount(*build, threads, streams[build]),
                      stages.queueing,
                      stages.counting};
        std::printf("round %d  %-8s %u thread%s", round, build->name, threads,
                    threads == 1 ? " " : "s");
        for (int part = 0; part < 6; ++part) {
          std::printf("  %s %.2f s", parts[part], t[part]);
          times[std::string(build->name) + "/" + std::to_string(threads) + "/" + parts[part]]
              .push_back(t[part]);
        }
        std::printf("\n");
        std::fflush(stdout);
      }
    }
  }
  // The census is its walk's half (the walk with the count's arithmetic) and its counter's: it
  // can take no less than the longer of the two, which it would if the processor ran them fully
  // side by side, and takes about their sum where it runs them one after the other.
  std::printf("\nhost: %s\n", HostDescription().c_str());
  std::printf("medians of %d rounds, seconds for all 2^32 seeds\n", rounds);
  for (unsigned threads : {1u, 2u}) {
    std::printf(
        "memory stream of the counter's queue bytes (%.0f MB a thread for the recorded "
        "stream, written then read), %u thread%s: %.2f s\n",
        words * 2.0 / 1e6, threads, threads == 1 ? "" : "s",
        Median(times["stream/" + std::to_string(threads)]));
  }
  std::printf(
      "| instruction set | threads | whole | walk alone | walk, no counter | counter alone "
      "| counter: queueing | counter: counting | memory stream | counter / stream "
      "| floor: overlapped | floor: added | whole / overlapped |\n");
  std::printf("| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |\n");
  for (const VectorBuild* build : builds) {
    for (unsigned threads : {1u, 2u}) {
      std::string key = std::string(build->name) + "/" + std::to_string(threads) + "/";
      double whole = Median(times[key + "whole"]), walk = Median(times[key + "walk"]);
      double noCounter = Median(times[key + "no counter"]), count = Median(times[key + "counter"]);
      double queueing = Median(times[key + "queueing"]), counting = Median(times[key + "counting"]);
      double stream = Median(times["stream/" + std::to_string(threads)]);
      double overlapped = std::max(noCounter, count);
      std::printf(
          "| %s | %u | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | "
          "%.2f |\n",
          build->name, threads, whole, walk, noCounter, count, queueing, counting, stream,
          count / stream, overlapped, noCounter + count, whole / overlapped);
    }
  }
  return 0;
}
