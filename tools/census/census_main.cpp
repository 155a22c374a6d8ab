// vorel-census: every seed's pick, counted, to show what the die can and cannot show.
#include <sched.h>
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
#include "cli_file.h"
#include "cli_output.h"
#include "cli_text.h"
#include "report/census_report.h"

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

// Ctrl-C, a plain kill and a hang-up stop the count cleanly, unless the census was started to
// ignore them (nohup, a background job of a script): then they stay ignored.
void CatchStopSignals() {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current;
    sigaction(signal, nullptr, &current);
    if (current.sa_handler == SIG_IGN) continue;
    struct sigaction stop = {};
    stop.sa_handler = OnStopSignal;
    sigemptyset(&stop.sa_mask);
    sigaction(signal, &stop, nullptr);
  }
}

// After the clean-up, ends the program by the signal that stopped it, as if it had not been
// caught: the shell sees it (exit status 128 plus its number: 130, 143, 129) and a script's loop
// stops too.
int EndBySignal() {
  int signal = stopSignal.load();
  if (signal == 0) signal = SIGINT;
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  return 128 + signal;  // only if the signal did not end the program
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

// The cores this process may run on (fewer than the machine's when it is pinned to some).
unsigned UsableCores() {
  cpu_set_t cpus;
  if (sched_getaffinity(0, sizeof cpus, &cpus) == 0) return std::max(1, CPU_COUNT(&cpus));
  return std::max(1u, std::thread::hardware_concurrency());
}

// The workers asked for, or every core; more threads than cores would only share the cores and
// take memory each, so the count stops at the cores, with a note.
unsigned WorkerThreads(unsigned asked) {
  unsigned cores = UsableCores();
  if (asked > cores) {
    std::fprintf(stderr,
                 "vorel-census: %u threads asked for, but this machine has %s: counting on %u\n",
                 asked, Counted(cores, "core", "cores").c_str(), cores);
  }
  return asked ? std::min(asked, cores) : cores;
}

// The census of the seeds asked for, with a progress line on a terminal.
CensusOptions OptionsFor(const CensusArgs& args, unsigned threads) {
  CensusOptions options;
  options.firstSeed = args.scope.firstSeed;
  options.seedCount = args.scope.seedCount;
  options.threads = threads;
  options.target = args.target;
  options.stop = &stopAsked;
  if (isatty(STDERR_FILENO)) {
    auto start = std::chrono::steady_clock::now();
    uint64_t total = args.scope.seedCount;
    options.progress = [start, total](double done) { ShowProgress(done, start, total); };
  }
  return options;
}

void EndProgress(const CensusOptions& options) {
  if (options.progress) std::fputs("\r\033[K", stderr);
}

// The seeds asked for through the walk and the plain draw, then the fastest census against the
// plain one.
int Verify(const CensusArgs& args, unsigned threads) {
  CensusOptions options = OptionsFor(args, threads);
  VerifyResult verdict = VerifyCensus(options);
  EndProgress(options);
  if (verdict.interrupted) {
    std::fprintf(stderr, "vorel-census: interrupted\n");
    return EndBySignal();
  }
  for (uint32_t seed : verdict.disagreeingSeeds) {
    std::fprintf(stderr, "vorel-census: seed %u: the walk and the draw disagree\n", seed);
  }
  if (verdict.mismatches || !verdict.countsAgree) {
    std::fprintf(stderr,
                 "vorel-census: %s seeds disagree; the census walked with %s %s the plain count\n",
                 Grouped(verdict.mismatches).c_str(), verdict.target.c_str(),
                 verdict.countsAgree ? "matches" : "does not match");
    return 3;
  }
  std::string text =
      "verified (" + ScopeInWords(args.scope) + "): the walk gives the draw's pick for " +
      Counted(verdict.seedsChecked, "seed", "seeds") + ", and the census walked with " +
      verdict.target + " counts exactly as the plain draw\n";
  return WriteStdout("vorel-census", text) ? 0 : 1;
}

int CannotWriteChart(const std::string& path, const std::string& why, int code) {
  std::fprintf(stderr, "vorel-census: cannot write the chart to %s: %s\n", Quoted(path).c_str(),
               why.c_str());
  return code;
}

// A path as the report names it: as typed, or quoted and escaped where typing it shows more.
std::string ShownPath(const std::string& path) {
  std::string quoted = Quoted(path);
  return quoted == "'" + path + "'" ? path : quoted;
}

// The census of the seeds asked for, its report on standard output and the chart, if asked for.
// The chart replaces an older one only when everything before it went well.
int Count(const CensusArgs& args, unsigned threads) {
  // The chart's file is made now, beside its target, so a path that cannot be written is found
  // before the count.
  PendingFile chart;
  std::string why;
  bool charting = !args.chartPath.empty();
  if (charting && !OpenPendingFile(args.chartPath, chart, why)) {
    return CannotWriteChart(args.chartPath, why, 2);
  }
  CensusOptions options = OptionsFor(args, threads);
  auto start = std::chrono::steady_clock::now();
  CensusResult result = RunCensus(options);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EndProgress(options);
  if (result.interrupted) {
    DiscardPendingFile(chart);
    std::fprintf(stderr, "vorel-census: interrupted after %s\n",
                 Counted(result.seedsCovered, "seed", "seeds").c_str());
    return EndBySignal();
  }
  PickSummary summary = SummarisePicks(result);
  std::string report = args.json ? CensusJson(result, summary, seconds, args.scope)
                                 : CensusTable(result, summary, seconds, args.scope);
  if (!WriteStdout("vorel-census", report)) {
    DiscardPendingFile(chart);
    return 1;
  }
  if (!charting) return stopAsked.load() ? EndBySignal() : 0;
  if (stopAsked.load()) {
    DiscardPendingFile(chart);
    return EndBySignal();
  }
  if (!CommitPendingFile(chart, CensusChart(result, summary, args.scope), why)) {
    return CannotWriteChart(args.chartPath, why, 1);
  }
  if (args.json) return 0;
  return WriteStdout("vorel-census", "Chart: " + ShownPath(args.chartPath) + "\n") ? 0 : 1;
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
    std::string help = std::string(kCensusUsage) +
                       "\nInstruction sets this processor runs, best first: " + TargetList() + "\n";
    return WriteStdout("vorel-census", help) ? 0 : 1;
  }
  if (args.version) return WriteStdout("vorel-census", "vorel-census " VOREL_VERSION "\n") ? 0 : 1;
  unsigned threads = WorkerThreads(args.threads);
  CatchStopSignals();
  return args.verify ? Verify(args, threads) : Count(args, threads);
}
