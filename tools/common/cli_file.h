// A file a program writes whole or not at all, without ever losing what the user already had.
// The target is checked before any long work, without making anything, and is one of three:
// - a plain file of its own: the text goes to a temporary file beside it, made only when the text
//   is ready, and a complete, flushed file is renamed over it. A link is followed, so the link
//   stays and the file it names is replaced. A run that fails or is ended by a signal before then
//   leaves the old file as it was and no stray file behind.
// - a file the program already writes: standard output or standard error sent to it (`>> log`,
//   `> log`), or a descriptor the path names by number (`/dev/stdout`, `/proc/self/fd/3` with
//   `3>>f`): written through that descriptor after what the program wrote there, never replaced,
//   and refused when the descriptor stands before the file's end (`1<>f`), where the text would
//   go over what follows. Any other descriptor the program inherited on the file, such as one
//   that holds a lock on it, is not its output: such a file is replaced as any other.
// - no plain file (a pipe, a FIFO, a terminal, a device): opened by the name given, not by the
//   text of its link (`pipe:[…]`), and written into. A device is opened when checked, so that
//   one that cannot be opened (`/dev/tty` without a terminal) is found before any long work. The
//   pipe or FIFO of the program's own standard input is refused: nothing would read the text.
#pragma once

#include <string>

enum class TargetKind { kReplaced, kOwnDescriptor, kStream };

// The pending file removes its temporary file unless committed. One at a time: the name of its
// temporary file is kept where a signal handler can reach it (RemoveTemporaryFileNow).
struct PendingFile {
  std::string given;   // the name as typed
  std::string target;  // kReplaced: the file replaced, links followed
  TargetKind kind = TargetKind::kReplaced;
  int descriptor = -1;  // kOwnDescriptor: the program's own; else once opened or made
  bool isFifo = false;
  bool madeTemporary = false;  // its temporary file exists and is not yet renamed

  PendingFile() = default;
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile();
};

// Checks, without making anything, that the target can take the text, so that a path that
// cannot be written is found before any long work. On failure `why` says what failed: the
// system's reason for the target ("No such file or directory", "Is a directory", "Permission
// denied"), or the folder that cannot hold the temporary file, named as such.
bool CheckPendingFile(const std::string& given, PendingFile& file, std::string& why);

// For a FIFO: whether a reader holds it open now; if not, writing waits for one, and the caller
// may say so first. Every other target: true.
bool PendingFileHasReader(PendingFile& file);

// Writes `text`: into a new temporary file beside a replaced target, flushed to the disk, or
// straight into the other targets. Signals are held off on the calling thread while the temporary
// file is made and while it is renamed, so that a handler that removes it (RemoveTemporaryFileNow)
// never misses it; a program with other threads that take signals then must block them there.
bool WritePendingFile(PendingFile& file, const std::string& text, std::string& why);

// Puts the written temporary file in the target's place; nothing to do for the other targets.
bool CommitPendingFile(PendingFile& file, std::string& why);

// Removes the temporary file, if one was made and not committed; the target stays as it was.
// Safe to call more than once; the pending file's end calls it too.
void DiscardPendingFile(PendingFile& file);

// Removes the pending temporary file, if there is one. Only calls that are safe in a signal
// handler, for a handler that ends the program.
void RemoveTemporaryFileNow();
