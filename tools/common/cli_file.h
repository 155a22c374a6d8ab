// A file a program writes whole or not at all: the text goes to a temporary file beside the
// target, and only a complete, flushed file is renamed over it. A run that fails or is
// interrupted before then leaves the old file as it was and no stray file behind. A target
// that is a link is followed, so the link stays and the file it names is replaced; a target
// that is no plain file (a pipe, a terminal, /dev/stdout) is written straight into.
#pragma once

#include <string>

struct PendingFile {
  std::string target;     // the file that gets the text, links followed
  std::string temporary;  // beside the target, so the rename stays on one file system
  int descriptor = -1;
  bool direct = false;  // the target is no plain file: written into, not replaced
};

// Checks the target and makes the temporary file now, so that a path that cannot be written is
// found before any long work. On failure `why` says why in the system's words ("No such file or
// directory", "Is a directory", "Permission denied").
bool OpenPendingFile(const std::string& target, PendingFile& file, std::string& why);

// Writes `text`, flushes it to the disk and puts it in the target's place.
bool CommitPendingFile(PendingFile& file, const std::string& text, std::string& why);

// Removes the temporary file; the target stays as it was. Safe to call more than once.
void DiscardPendingFile(PendingFile& file);
