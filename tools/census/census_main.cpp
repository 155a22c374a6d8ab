// vorel-census: every seed's pick, counted, to show what the die can and cannot show.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "census.h"
#include "census_report.h"

#ifndef VOREL_VERSION
#define VOREL_VERSION "0"
#endif

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
  interrupted.store(true);
}

// A one-line bar with the rate and the time left, redrawn in place.
void ShowProgress(double done, std::chrono::steady_clock::time_point start, uint64_t total) {
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int filled = static_cast<int>(done * 30);
  std::string bar(filled, '#');
  bar.resize(30, '.');
  double rate = elapsed > 0 ? done * static_cast<double>(total) / elapsed : 0;
  double left = done > 0 ? elapsed * (1 - done) / done : 0;
  std::fprintf(stderr, "\r[%s] %5.1f%%  %.3g seeds/s  %.0f s left ", bar.c_str(), done * 100, rate,
               left);
  std::fflush(stderr);
}

bool WriteFile(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && ok;
}

// Every seed through both paths; reports the first few that disagree.
int Verify(unsigned threads) {
  std::atomic<uint64_t> mismatches{0}, next{0};
  std::mutex printing;
  const uint64_t kChunk = 1 << 20, kChunks = (1ull << 31) / kChunk;
  auto work = [&] {
    for (uint64_t chunk; (chunk = next.fetch_add(1)) < kChunks && !interrupted.load();) {
      uint32_t last = static_cast<uint32_t>(chunk * kChunk + kChunk - 1);
      for (const WalkedPick& walked : WalkCycleForTest(last, kChunk)) {
        for (uint32_t seed : {walked.seed, walked.seed | 0x80000000u}) {
          WalkedPick drawn = DrawOneSeedForCensus(seed);
          bool same =
              drawn.seventhIndex == walked.seventhIndex && drawn.distinct == walked.distinct;
          for (int i = 0; i < 7; ++i) same = same && drawn.pick[i] == walked.pick[i];
          if (!same && mismatches.fetch_add(1) < 10) {
            std::lock_guard<std::mutex> lock(printing);
            std::fprintf(stderr, "vorel-census: seed %u: the fast path and the draw disagree\n",
                         seed);
          }
        }
      }
    }
  };
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t) workers.emplace_back(work);
  for (std::thread& worker : workers) worker.join();
  if (interrupted.load()) {
    std::fprintf(stderr, "vorel-census: interrupted\n");
    return 130;
  }
  if (mismatches.load()) {
    std::fprintf(stderr, "vorel-census: %llu seeds disagree\n",
                 static_cast<unsigned long long>(mismatches.load()));
    return 3;
  }
  std::printf("verified: the fast path gives the draw's pick for all 4294967296 seeds\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CensusArgs args;
  std::string error = ParseCensusArgs(argc, argv, args);
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  if (args.help) {
    std::fputs(kCensusUsage, stdout);
    return 0;
  }
  if (args.version) {
    std::puts("vorel-census " VOREL_VERSION);
    return 0;
  }
  unsigned threads =
      args.threads ? args.threads : std::max(1u, std::thread::hardware_concurrency());
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  if (args.verify) return Verify(threads);

  // Find out now, not after the count, that the chart cannot be written.
  if (!args.chartPath.empty() && !WriteFile(args.chartPath, "")) {
    std::fprintf(stderr, "vorel-census: cannot write the chart to '%s'\n", args.chartPath.c_str());
    return 2;
  }

  CensusOptions options;
  options.firstSeed = args.firstSeed;
  options.lastSeed = args.lastSeed;
  options.threads = threads;
  options.stop = &interrupted;
  auto start = std::chrono::steady_clock::now();
  uint64_t total = static_cast<uint64_t>(args.lastSeed) - args.firstSeed + 1;
  bool showProgress = isatty(STDERR_FILENO);
  if (showProgress) options.progress = [&](double done) { ShowProgress(done, start, total); };
  CensusResult result = RunCensus(options);
  if (showProgress) std::fputs("\r\033[K", stderr);
  if (result.interrupted) {
    std::fprintf(stderr, "vorel-census: interrupted after %llu seeds\n",
                 static_cast<unsigned long long>(result.seedsCovered));
    return 130;
  }
  PickSummary summary = SummarisePicks(result);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::string report = args.json ? CensusJson(result, summary, seconds, threads)
                                 : CensusTable(result, summary, seconds, threads);
  std::fputs(report.c_str(), stdout);
  if (!args.chartPath.empty()) {
    if (!WriteFile(args.chartPath, CensusChart(result, summary))) {
      std::fprintf(stderr, "vorel-census: cannot write the chart to '%s'\n",
                   args.chartPath.c_str());
      return 1;
    }
    if (!args.json) std::printf("Chart: %s\n", args.chartPath.c_str());
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
