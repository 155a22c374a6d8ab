#include "cli_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace {

bool Fail(std::string& why, int error) {
  why = std::strerror(error);
  return false;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The path with its links followed, the last one too when it points nowhere yet (writing there
// makes the file it names). Gives up after as many links as the system follows.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    char next[PATH_MAX];
    ssize_t length = readlink(path.c_str(), next, sizeof next - 1);
    if (length < 0) return path;
    std::string link(next, static_cast<size_t>(length));
    path = link[0] == '/' ? link : FolderOf(path) + link;
  }
  return path;
}

// The mode a new file would get from the user's umask, or the mode of the file it replaces.
mode_t ModeFor(const std::string& target) {
  struct stat existing;
  if (stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

int WriteAll(int descriptor, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    ssize_t wrote = write(descriptor, text.data() + done, text.size() - done);
    if (wrote < 0 && errno != EINTR) return errno;
    if (wrote > 0) done += static_cast<size_t>(wrote);
  }
  return 0;
}

// Whether the target can take the text, before any temporary file is made: 0, or the reason.
int CheckTarget(const std::string& target, bool& direct) {
  struct stat existing;
  direct = false;
  if (stat(target.c_str(), &existing) != 0) {
    if (errno != ENOENT) return errno;
    return target.back() == '/' ? ENOENT : 0;  // a file to be made, in a folder that may be
  }
  if (S_ISDIR(existing.st_mode)) return EISDIR;
  if (access(target.c_str(), W_OK) != 0) return errno;
  direct = !S_ISREG(existing.st_mode);
  return 0;
}

// Makes the folder's new entry last through a crash, as the file's contents already do.
void SyncFolder(const std::string& target) {
  std::string folder = FolderOf(target);
  int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor < 0) return;
  fsync(descriptor);
  close(descriptor);
}

}  // namespace

bool OpenPendingFile(const std::string& target, PendingFile& file, std::string& why) {
  file = PendingFile();
  if (target.empty()) return Fail(why, ENOENT);
  file.target = FollowLinks(target);
  if (int error = CheckTarget(file.target, file.direct)) return Fail(why, error);
  if (file.direct) return true;
  // A short name, so that any name the folder takes leaves room for it.
  std::string pattern = FolderOf(file.target) + ".vorel.XXXXXX";
  file.descriptor = mkstemp(&pattern[0]);
  if (file.descriptor < 0) return Fail(why, errno);
  file.temporary = pattern;
  return true;
}

bool CommitPendingFile(PendingFile& file, const std::string& text, std::string& why) {
  if (file.direct) {
    int descriptor = open(file.target.c_str(), O_WRONLY);
    if (descriptor < 0) return Fail(why, errno);
    int error = WriteAll(descriptor, text);
    if (close(descriptor) != 0 && !error) error = errno;
    return error ? Fail(why, error) : true;
  }
  int error = WriteAll(file.descriptor, text);
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
  SyncFolder(file.target);
  return true;
}

void DiscardPendingFile(PendingFile& file) {
  if (file.descriptor >= 0) close(file.descriptor);
  file.descriptor = -1;
  if (!file.temporary.empty()) unlink(file.temporary.c_str());
  file.temporary.clear();
}
