#include "cli_stop.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "cli_exit.h"
#include "cli_file.h"

namespace {

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the handler's flags must be safe to set in a signal handler");

std::atomic<bool> stoppable{false};  // long work is running and checks stopAsked
std::atomic<bool> stopAsked{false};
std::atomic<int> stopSignal{0};  // the first signal that asked, or 0

// Ends the program by `signal` as if it had never been caught. Only calls that are safe in a
// signal handler: the handler runs this on whatever thread took the signal.
[[noreturn]] void EndBySignal(int signal) {
  RemoveTemporaryFileNow();
  struct sigaction fallback = {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  // Inside the handler the signal is held off until it returns; let it through at once.
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  _exit(kExitBySignal + signal);  // only for a signal whose default is not to end the program
}

// The flag is set before the phase is read, and EndStoppableWork() leaves the phase before it
// reads the flag: a signal that lands while the work ends is seen by one or the other.
extern "C" void OnStopSignal(int signal) {
  int saved = errno;
  int none = 0;
  stopSignal.compare_exchange_strong(none, signal);
  stopAsked.store(true);
  if (!stoppable.load()) EndBySignal(signal);
  errno = saved;
}

void Catch(int signal) {
  struct sigaction current;
  if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) return;
  struct sigaction stop = {};
  stop.sa_handler = OnStopSignal;
  sigemptyset(&stop.sa_mask);
  // A wait that a signal interrupts goes on: the work sees the flag when it next looks.
  stop.sa_flags = SA_RESTART;
  sigaction(signal, &stop, nullptr);
}

}  // namespace

void CatchStopSignals() {
  for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1, SIGUSR2, SIGXCPU,
                     SIGXFSZ, SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR, SIGSTKFLT}) {
    Catch(signal);
  }
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) Catch(signal);
}

const std::atomic<bool>* BeginStoppableWork() {
  stoppable.store(true);
  return &stopAsked;
}

bool EndStoppableWork() {
  stoppable.store(false);
  return stopAsked.load();
}

void EndByStopSignal() {
  int signal = stopSignal.load();
  EndBySignal(signal ? signal : SIGTERM);
}
