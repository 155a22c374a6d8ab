#include "cli_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool WriteStdout(const char* program, const std::string& text) {
  errno = 0;
  bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  // The first failure's reason is the one to tell; a flush after it would only repeat or hide it.
  int reason = errno;
  if (written) {
    written = std::fflush(stdout) == 0;
    reason = errno;
  }
  if (written && !std::ferror(stdout)) return true;
  std::fprintf(stderr, "%s: cannot write: %s\n", program, std::strerror(reason ? reason : EIO));
  return false;
}
