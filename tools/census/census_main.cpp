// vorel-census: every seed's pick, counted, to show what the die can and cannot show; or, with
// --find, the seeds and seconds that show one pick. This is the program's outer shell: where the
// report and the chart go, the progress line, and how the run ends, whatever ends it.
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "census.h"
#include "census_args.h"
#include "census_find.h"
#include "census_progress.h"
#include "census_seam.h"
#include "cli_exit.h"
#include "cli_file.h"
#include "cli_output.h"
#include "cli_stop.h"
#include "cli_text.h"
#include "cli_time.h"
#include "find/draw_check.h"
#include "find/find_report.h"
#include "report/census_report.h"

#ifndef VOREL_VERSION
#define VOREL_VERSION "0"
#endif

namespace {

// What a count that runs out of memory says: most of it goes to each worker thread's counters.
constexpr char kOutOfMemory[] =
    "out of memory (each worker thread takes about 60 MB: fewer --threads take less)";

void Complain(const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str());
}

// Whether the terminal named in TERM can erase to the end of the line; a dumb one, or none
// named, gets no escape sequence, only spaces.
bool TerminalErases() {
  const char* terminal = std::getenv("TERM");
  return terminal && *terminal && std::strcmp(terminal, "dumb") != 0;
}

size_t progressWidth = 0;  // the longest progress line shown, to blank it without an escape

// The progress line, redrawn in place.
void ShowProgress(double done, std::chrono::steady_clock::time_point start, uint64_t total) {
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::string line = ProgressLine(done, elapsed, total);
  progressWidth = std::max(progressWidth, line.size());
  std::fprintf(stderr, "\r%s", line.c_str());
  std::fflush(stderr);
}

// Blanks the progress line, so that what follows starts on a clean line.
void EndProgress(const CensusOptions& options) {
  if (!options.progress) return;
  if (TerminalErases()) {
    std::fputs("\r\033[K", stderr);
  } else {
    std::fprintf(stderr, "\r%s\r", std::string(progressWidth, ' ').c_str());
  }
}

// The cores this process may run on (fewer than the machine's when it is pinned to some).
unsigned UsableCores() {
  cpu_set_t cpus;
  if (sched_getaffinity(0, sizeof cpus, &cpus) == 0) return std::max(1, CPU_COUNT(&cpus));
  return std::max(1u, std::thread::hardware_concurrency());
}

// The workers asked for, or every core; more threads than cores would only share the cores and
// take memory each, so they stop at the cores, with a note that repeats the count asked for. A
// short count may need fewer still, which the report tells.
unsigned WorkerThreads(const CensusArgs& args) {
  unsigned cores = UsableCores();
  if (args.threads > cores) {
    Complain(args.threadsAsked + " threads asked for, but this process may run on " +
             Counted(cores, "core", "cores") + ": at most " +
             Counted(cores, "thread counts", "threads count"));
  }
  return args.threads ? std::min(args.threads, cores) : cores;
}

// The census of the seeds asked for, with a progress line on a terminal unless --no-progress.
CensusOptions OptionsFor(const CensusArgs& args, unsigned threads) {
  CensusOptions options;
  options.scope = args.scope;
  options.threads = threads;
  options.target = args.target;
  if (args.progress && isatty(STDERR_FILENO)) {
    auto start = std::chrono::steady_clock::now();
    uint64_t total = args.scope.seedCount;
    options.progress = [start, total](double done) { ShowProgress(done, start, total); };
  }
  return options;
}

// The seeds asked for through the walk and the plain draw, then the fastest census against the
// plain one.
ExitCode Verify(const CensusArgs& args, unsigned threads) {
  CensusOptions options = OptionsFor(args, threads);
  options.alterFastCount = FastCountFault();
  options.stop = BeginStoppableWork();
  VerifyResult verdict = VerifyCensus(options);
  bool stopped = EndStoppableWork();
  EndProgress(options);
  if (stopped) {
    Complain("interrupted");
    EndByStopSignal();
  }
  VerdictWords words = VerdictInWords(verdict, args.scope);
  for (const std::string& line : words.complaints) Complain(line);
  if (!words.complaints.empty()) return kExitDifferenceFound;
  return WriteStdout(kProgram, words.verified) ? kExitDone : kExitFailed;
}

// The seeds, or the seconds, that show the pick sought, as a table or JSON; nothing at all when
// the die's draw of a seed found shows another pick.
ExitCode Find(const CensusArgs& args, unsigned threads) {
  FindOptions options;
  options.pick = args.pick;
  options.census = OptionsFor(args, threads);
  options.vectorFindForTest = SearchFault();
  auto start = std::chrono::steady_clock::now();
  options.census.stop = BeginStoppableWork();
  FindResult result = RunFind(options);
  bool stopped = EndStoppableWork();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EndProgress(options.census);
  if (stopped) {
    Complain("interrupted before the search was done");
    EndByStopSignal();
  }
  if (!result.wrongSeeds.empty()) {
    uint32_t seed = result.wrongSeeds.front();
    Complain(Counted(result.wrongSeeds.size(), "seed", "seeds") + " found for " +
             LineOfPick(args.pick) + " draw another pick (seed " + std::to_string(seed) +
             " draws " + LineOfSeed(seed) + "): a fault in the search" +
             (result.target.empty() ? "" : " walked with " + result.target) +
             "; nothing is listed");
    return kExitDifferenceFound;
  }
  FindReport report;
  report.pick = args.pick;
  report.scope = args.scope;
  report.first = args.first;
  report.found = SecondsOfSeeds(result.seeds, args.scope, args.first);
  report.mode = result.mode;
  report.target = result.target;
  report.workers = result.workers;
  report.seconds = seconds;
  return WriteStdout(kProgram, args.json ? FindJson(report) : FindTable(report)) ? kExitDone
                                                                                 : kExitFailed;
}

ExitCode CannotWriteChart(const std::string& path, const std::string& why, ExitCode code) {
  Complain("cannot write the chart to " + Quoted(path) + ": " + why);
  return code;
}

// A path as the report names it: as typed, or quoted and escaped where typing it shows more.
std::string ShownPath(const std::string& path) {
  std::string quoted = Quoted(path);
  return quoted == "'" + path + "'" ? path : quoted;
}

// The chart, after the report: in its file's place, or after the report when it goes to standard
// output too, or into a pipe, a FIFO or a device.
ExitCode WriteChart(const CensusArgs& args, PendingFile& chart, const std::string& svg) {
  std::string why;
  if (!PendingFileHasReader(chart)) {
    Complain("waiting for a reader of the FIFO " + Quoted(args.chartPath) + " to write the chart");
  }
  if (!WritePendingFile(chart, svg, why) || !CommitPendingFile(chart, why)) {
    return CannotWriteChart(args.chartPath, why, kExitFailed);
  }
  bool intoReport = chart.kind == TargetKind::kOwnDescriptor && chart.descriptor == STDOUT_FILENO;
  if (args.json || intoReport) return kExitDone;
  return WriteStdout(kProgram, "Chart: " + ShownPath(args.chartPath) + "\n") ? kExitDone
                                                                             : kExitFailed;
}

// The census of the seeds asked for, its report on standard output and the chart, if asked for.
// A chart path that cannot be written is refused before the count; nothing is made until the
// chart is ready, and the chart's file changes only once the report is out.
ExitCode Count(const CensusArgs& args, unsigned threads) {
  PendingFile chart;
  std::string why;
  bool charting = !args.chartPath.empty();
  if (charting && !CheckPendingFile(args.chartPath, chart, why)) {
    return CannotWriteChart(args.chartPath, why, kExitBadCommandLine);
  }
  CensusOptions options = OptionsFor(args, threads);
  auto start = std::chrono::steady_clock::now();
  options.stop = BeginStoppableWork();
  CensusResult result = RunCensus(options);
  bool stopped = EndStoppableWork();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EndProgress(options);
  if (stopped) {
    Complain("interrupted after " + Counted(result.seedsCovered, "seed", "seeds"));
    EndByStopSignal();
  }
  PickSummary summary = SummarisePicks(result);
  std::string report = args.json ? CensusJson(result, summary, seconds, args.scope)
                                 : CensusTable(result, summary, seconds, args.scope);
  if (!WriteStdout(kProgram, report)) return kExitFailed;
  if (!charting) return kExitDone;
  return WriteChart(args, chart, CensusChart(result, summary, args.scope));
}

ExitCode Run(int argc, char** argv) {
  CensusArgs args;
  // The clock is read once, as the program starts: every "now" of the command line is one second.
  std::string error = ParseCensusArgs(argc, argv, args, UnixSecondsNow());
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return kExitBadCommandLine;
  }
  if (args.help) return WriteStdout(kProgram, CensusHelp()) ? kExitDone : kExitFailed;
  if (args.version) {
    return WriteStdout(kProgram, std::string(kProgram) + " " VOREL_VERSION "\n") ? kExitDone
                                                                                 : kExitFailed;
  }
  unsigned threads = WorkerThreads(args);
  if (args.find) return Find(args, threads);
  return args.verify ? Verify(args, threads) : Count(args, threads);
}

std::terminate_handler runtimeTerminate = nullptr;

// An exception that no code catches, on whichever thread: memory that ran out is told in one line
// and exit 1; anything else ends as the runtime ends it. Neither leaves the temporary file
// behind. Writes straight to the descriptor, taking no memory and no lock: another thread may
// hold stderr's.
[[noreturn]] void OnUncaughtException() {
  RemoveTemporaryFileNow();
  try {
    if (std::exception_ptr thrown = std::current_exception()) std::rethrow_exception(thrown);
  } catch (const std::bad_alloc&) {
    for (const char* part : {kProgram, ": ", kOutOfMemory, "\n"}) {
      ssize_t ignored = write(STDERR_FILENO, part, std::strlen(part));
      (void)ignored;  // nothing more can be told
    }
    _exit(kExitFailed);
  } catch (...) {
  }
  runtimeTerminate();
  std::abort();
}

}  // namespace

int main(int argc, char** argv) {
  CatchStopSignals();
  runtimeTerminate = std::set_terminate(OnUncaughtException);
  try {
    return Run(argc, argv);
  } catch (const std::system_error& error) {
    Complain(std::string("cannot start a worker thread: ") + error.what());
    return kExitFailed;
  }
}
