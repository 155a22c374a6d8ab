// vorel-census: every seed's pick, counted, to show what the die can and cannot show.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "census.h"
#include "census_args.h"
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

// Every seed through the walk and the plain draw, then the vector walk's census against the plain
// one.
int Verify(unsigned threads, const std::string& target, bool showProgress) {
  CensusOptions options;
  options.threads = threads;
  options.target = target;
  options.stop = &interrupted;
  auto start = std::chrono::steady_clock::now();
  if (showProgress) options.progress = [&](double done) { ShowProgress(done, start, 1ull << 32); };
  VerifyResult verdict = VerifyCensus(options);
  if (showProgress) std::fputs("\r\033[K", stderr);
  if (verdict.interrupted) {
    std::fprintf(stderr, "vorel-census: interrupted\n");
    return 130;
  }
  for (uint32_t seed : verdict.disagreeingSeeds) {
    std::fprintf(stderr, "vorel-census: seed %u: the walk and the draw disagree\n", seed);
  }
  if (verdict.mismatches || !verdict.countsAgree) {
    std::fprintf(
        stderr, "vorel-census: %llu seeds disagree; the census walked with %s %s the plain count\n",
        static_cast<unsigned long long>(verdict.mismatches), verdict.target.c_str(),
        verdict.countsAgree ? "matches" : "does not match");
    return 3;
  }
  std::printf(
      "verified: the walk gives the draw's pick for all %llu seeds, and the census walked with "
      "%s counts exactly as the plain draw\n",
      static_cast<unsigned long long>(verdict.seedsChecked), verdict.target.c_str());
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
    std::printf("\nTargets this processor runs, best first: %s\n", TargetList().c_str());
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
  if (args.verify) return Verify(threads, args.target, isatty(STDERR_FILENO));

  // Find out now, not after the count, that the chart cannot be written.
  if (!args.chartPath.empty() && !WriteFile(args.chartPath, "")) {
    std::fprintf(stderr, "vorel-census: cannot write the chart to '%s'\n", args.chartPath.c_str());
    return 2;
  }

  CensusOptions options;
  options.firstSeed = args.firstSeed;
  options.seedCount = static_cast<uint64_t>(args.lastSeed) - args.firstSeed + 1;
  options.threads = threads;
  options.target = args.target;
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
