#include "cli_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool Fail(std::string& why, int error) {
  why = std::strerror(error);
  return false;
}

// The mode a new file would get from the user's umask, or the mode of the file it replaces.
mode_t ModeFor(const std::string& target) {
  struct stat existing;
  if (stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool OpenPendingFile(const std::string& target, PendingFile& file, std::string& why) {
  file = PendingFile();
  struct stat existing;
  if (target.empty()) return Fail(why, ENOENT);
  if (stat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) return Fail(why, EISDIR);
  size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  if (name.empty()) return Fail(why, EISDIR);
  std::string pattern = folder + "." + name + ".XXXXXX";
  int descriptor = mkstemp(&pattern[0]);
  if (descriptor < 0) return Fail(why, errno);
  file.target = target;
  file.temporary = pattern;
  file.descriptor = descriptor;
  return true;
}

bool CommitPendingFile(PendingFile& file, const std::string& text, std::string& why) {
  int error = 0;
  for (size_t done = 0; done < text.size() && !error;) {
    ssize_t wrote = write(file.descriptor, text.data() + done, text.size() - done);
    if (wrote < 0 && errno != EINTR) error = errno;
    if (wrote > 0) done += static_cast<size_t>(wrote);
  }
  if (!error && fchmod(file.descriptor, ModeFor(file.target)) != 0) error = errno;
  if (!error && fsync(file.descriptor) != 0) error = errno;
  if (close(file.descriptor) != 0 && !error) error = errno;
  file.descriptor = -1;
  if (!error && rename(file.temporary.c_str(), file.target.c_str()) != 0) error = errno;
  if (error) {
    DiscardPendingFile(file);
    return Fail(why, error);
  }
  file.temporary.clear();
  return true;
}

void DiscardPendingFile(PendingFile& file) {
  if (file.descriptor >= 0) close(file.descriptor);
  file.descriptor = -1;
  if (!file.temporary.empty()) unlink(file.temporary.c_str());
  file.temporary.clear();
}
