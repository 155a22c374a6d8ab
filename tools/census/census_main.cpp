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
#include "cli_file.h"
#include "cli_output.h"
#include "cli_text.h"

#ifndef VOREL_VERSION
#define VOREL_VERSION "0"
#endif

namespace {

// The signal that asked the census to stop, or 0; the count then ends at its next chunk.
std::atomic<int> stopSignal{0};
std::atomic<bool> stopAsked{false};

extern "C" void OnStopSignal(int signal) {
  stopSignal.store(signal);
  stopAsked.store(true);
}

// The shell's exit code for a program ended by that signal: 128 plus its number (130 for
// Ctrl-C, 143 for a plain kill, 129 for a hang-up).
int ExitCodeOfSignal() {
  int signal = stopSignal.load();
  return 128 + (signal ? signal : SIGINT);
}

// A one-line bar with the rate and the time left, redrawn in place.
void ShowProgress(double done, std::chrono::steady_clock::time_point start, uint64_t total) {
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int filled = static_cast<int>(done * 30);
  std::string bar(filled, '#');
  bar.resize(30, '.');
  double rate = elapsed > 0 ? done * static_cast<double>(total) / elapsed : 0;
  double left = done > 0 ? elapsed * (1 - done) / done : 0;
  std::fprintf(stderr, "\r[%s] %5.1f%%  %s M seeds/s  %.0f s left ", bar.c_str(), done * 100,
               Grouped(static_cast<uint64_t>(rate / 1e6 + 0.5)).c_str(), left);
  std::fflush(stderr);
}

// The workers asked for, or every core; more threads than cores would only share the cores and
// take memory each, so the count stops at the cores, with a note.
unsigned WorkerThreads(unsigned asked) {
  unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  if (asked > cores) {
    std::fprintf(stderr,
                 "vorel-census: %u threads asked for, but this machine has %u core%s: "
                 "counting on %u\n",
                 asked, cores, cores == 1 ? "" : "s", cores);
  }
  return asked ? std::min(asked, cores) : cores;
}

const char* PathName(CensusPath path) {
  switch (path) {
    case CensusPath::kVector:
      return "AVX-512";
    case CensusPath::kBitInstructions:
      return "bit-instruction";
    default:
      return "portable";
  }
}

// The seeds asked for through the walk and the plain draw, then the fastest census against the
// plain one.
int Verify(const CensusArgs& args, unsigned threads, bool showProgress) {
  CensusOptions options;
  options.firstSeed = args.scope.firstSeed;
  options.seedCount = args.scope.seedCount;
  options.threads = threads;
  options.stop = &stopAsked;
  auto start = std::chrono::steady_clock::now();
  if (showProgress) {
    options.progress = [&](double done) { ShowProgress(done, start, args.scope.seedCount); };
  }
  VerifyResult verdict = VerifyCensus(options);
  if (showProgress) std::fputs("\r\033[K", stderr);
  if (verdict.interrupted) {
    std::fprintf(stderr, "vorel-census: interrupted\n");
    return ExitCodeOfSignal();
  }
  for (uint32_t seed : verdict.disagreeingSeeds) {
    std::fprintf(stderr, "vorel-census: seed %u: the walk and the draw disagree\n", seed);
  }
  if (verdict.mismatches || !verdict.countsAgree) {
    std::fprintf(stderr, "vorel-census: %s seeds disagree; the %s census %s the plain count\n",
                 Grouped(verdict.mismatches).c_str(), PathName(verdict.path),
                 verdict.countsAgree ? "matches" : "does not match");
    return 3;
  }
  std::string text = "verified (" + ScopeInWords(args.scope) +
                     "): the walk gives the draw's pick for " +
                     Counted(verdict.seedsChecked, "seed", "seeds") + ", and the " +
                     PathName(verdict.path) + " census counts exactly as the plain draw\n";
  return WriteStdout("vorel-census", text) ? 0 : 1;
}

// The census of the seeds asked for, its report on standard output and the chart, if asked for.
int Count(const CensusArgs& args, unsigned threads, bool showProgress) {
  // The chart's file is made now, beside its target, so a path that cannot be written is found
  // before the count; the target is replaced only by a complete chart.
  PendingFile chart;
  std::string why;
  if (!args.chartPath.empty() && !OpenPendingFile(args.chartPath, chart, why)) {
    std::fprintf(stderr, "vorel-census: cannot write the chart to %s: %s\n",
                 Quoted(args.chartPath).c_str(), why.c_str());
    return 2;
  }
  CensusOptions options;
  options.firstSeed = args.scope.firstSeed;
  options.seedCount = args.scope.seedCount;
  options.threads = threads;
  options.stop = &stopAsked;
  auto start = std::chrono::steady_clock::now();
  if (showProgress) {
    options.progress = [&](double done) { ShowProgress(done, start, args.scope.seedCount); };
  }
  CensusResult result = RunCensus(options);
  if (showProgress) std::fputs("\r\033[K", stderr);
  if (result.interrupted) {
    DiscardPendingFile(chart);
    std::fprintf(stderr, "vorel-census: interrupted after %s\n",
                 Counted(result.seedsCovered, "seed", "seeds").c_str());
    return ExitCodeOfSignal();
  }
  PickSummary summary = SummarisePicks(result);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::string report = args.json ? CensusJson(result, summary, seconds, args.scope)
                                 : CensusTable(result, summary, seconds, args.scope);
  if (!args.chartPath.empty()) {
    if (!CommitPendingFile(chart, CensusChart(result, summary, args.scope), why)) {
      std::fprintf(stderr, "vorel-census: cannot write the chart to %s: %s\n",
                   Quoted(args.chartPath).c_str(), why.c_str());
      return 1;
    }
    if (!args.json) report += "Chart: " + args.chartPath + "\n";
  }
  return WriteStdout("vorel-census", report) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  CensusArgs args;
  std::string error = ParseCensusArgs(argc, argv, args);
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  if (args.help) return WriteStdout("vorel-census", kCensusUsage) ? 0 : 1;
  if (args.version) return WriteStdout("vorel-census", "vorel-census " VOREL_VERSION "\n") ? 0 : 1;
  unsigned threads = WorkerThreads(args.threads);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, OnStopSignal);
  bool showProgress = isatty(STDERR_FILENO);
  return args.verify ? Verify(args, threads, showProgress) : Count(args, threads, showProgress);
}
