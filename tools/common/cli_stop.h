// How a command-line program ends when a signal asks it to, as a Unix tool should: a signal that
// ends a program by default still ends it, by that same signal, so the shell sees 128 plus its
// number (129 hung up, 130 interrupted, 141 output closed, 143 terminated); but the pending file's
// temporary file is removed first. During long work that can stop early, a signal only asks it to
// stop, so that the program can say how far it got before it ends by that signal. A signal the
// program was started to ignore (nohup, a background job of a script) stays ignored.
#pragma once

#include <atomic>

// Catches every signal that ends a program by default and may be caught: hang-up, Ctrl-C, quit,
// a closed pipe, alarms and timers, kill's default, the user signals, the CPU and file size
// limits, and the real-time signals. Holds for every thread the program starts afterwards.
void CatchStopSignals();

// From here a stop signal only sets the flag returned; the work checks it and ends early. The
// work's threads may take the signal: all the handler does then is set the flag.
const std::atomic<bool>* BeginStoppableWork();

// From here a stop signal ends the program at once again, wherever it waits (a blocked write, a
// FIFO without a reader). Returns whether one came during the work.
bool EndStoppableWork();

// Ends the program by the first signal that asked it to stop (SIGTERM if none did), after
// removing the pending temporary file.
[[noreturn]] void EndByStopSignal();
