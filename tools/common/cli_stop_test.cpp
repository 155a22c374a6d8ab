// Stops by signal, tried in child processes: each child installs the handlers, makes a pending
// temporary file or starts stoppable work, and is sent a signal; its parent reads how it ended.
#include "cli_stop.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "cli_file.h"

namespace {

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  DIR* listing = opendir(folder.c_str());
  while (dirent* entry = listing ? readdir(listing) : nullptr) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  if (listing) closedir(listing);
  return names;
}

// How a child ended: "signal N", "exit N", or "still running" after 20 s (then it is killed).
std::string Ending(pid_t child) {
  int status = 0;
  for (int waited = 0; waitpid(child, &status, WNOHANG) == 0; ++waited) {
    if (waited == 2000) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return "still running";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  return "exit " + std::to_string(WEXITSTATUS(status));
}

// A child that dies by a signal whose default dumps core leaves no core file.
void NoCoreFiles() {
  rlimit none = {0, 0};
  setrlimit(RLIMIT_CORE, &none);
}

class StopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vorel-stop-test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
  }
  void TearDown() override {
    for (const std::string& name : NamesIn(folder)) unlink((folder + "/" + name).c_str());
    rmdir(folder.c_str());
  }
  std::string folder;
};

// The temporary file stands beside the chart when the signal comes: it goes, the old chart stays,
// and the program ends by that signal, whichever it is.
TEST_F(StopTest, EachSignalRemovesTheTemporaryFileAndEndsByItself) {
  std::string chart = folder + "/c.svg";
  FILE* old = std::fopen(chart.c_str(), "w");
  ASSERT_NE(old, nullptr);
  std::fputs("old chart", old);
  std::fclose(old);
  for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1, SIGUSR2, SIGXCPU,
                     SIGXFSZ, SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR, SIGRTMIN, SIGRTMAX}) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      NoCoreFiles();
      CatchStopSignals();
      PendingFile file;
      std::string why;
      if (!CheckPendingFile(chart, file, why) || !WritePendingFile(file, "new chart", why)) {
        _exit(3);
      }
      if (NamesIn(folder).size() != 2) _exit(4);  // no temporary file to remove
      raise(signal);
      _exit(5);
    }
    EXPECT_EQ(Ending(child), "signal " + std::to_string(signal)) << strsignal(signal);
    EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"c.svg"}) << strsignal(signal);
  }
}

TEST_F(StopTest, ASignalIgnoredFromTheStartStaysIgnored) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGHUP, SIG_IGN);
    CatchStopSignals();
    raise(SIGHUP);
    _exit(0);
  }
  EXPECT_EQ(Ending(child), "exit 0");
}

// During stoppable work a signal only asks to stop, from whichever thread takes it; the first
// signal is the one the program ends by, once the work has ended.
TEST_F(StopTest, DuringTheWorkASignalOnlyAsksToStop) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    NoCoreFiles();
    CatchStopSignals();
    const std::atomic<bool>* stop = BeginStoppableWork();
    std::thread worker([stop] {
      kill(getpid(), SIGUSR1);
      auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (!stop->load() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      kill(getpid(), SIGTERM);
    });
    worker.join();
    if (!stop->load()) _exit(3);
    if (!EndStoppableWork()) _exit(4);
    EndByStopSignal();
  }
  EXPECT_EQ(Ending(child), "signal " + std::to_string(SIGUSR1));
}

// Once the work is over, a signal ends the program wherever it waits: here in a write to a full
// pipe, which it must not leave with "Interrupted system call".
TEST_F(StopTest, AfterTheWorkASignalEndsABlockedWrite) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CatchStopSignals();
    BeginStoppableWork();
    EndStoppableWork();
    int full[2];
    if (pipe(full) != 0) _exit(3);
    std::string block(1 << 20, 'x');  // more than any pipe holds
    if (write(ready[1], "w", 1) != 1) _exit(4);
    ssize_t wrote = write(full[1], block.data(), block.size());
    _exit(wrote < 0 ? 5 : 6);  // the write came back: 5 with EINTR, 6 cut short
  }
  close(ready[1]);
  char signal;
  ASSERT_EQ(read(ready[0], &signal, 1), 1);
  close(ready[0]);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // into the write
  kill(child, SIGTERM);
  EXPECT_EQ(Ending(child), "signal " + std::to_string(SIGTERM));
}

}  // namespace
