#include "cli_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cli_text.h"

namespace {

// The temporary file's name where a signal handler can read it. `temporaryMade` says that a file
// of that name is ours to remove; both change only while every signal is held off, so a handler
// never sees a name without its file, nor a file without its name.
char temporaryName[PATH_MAX];
volatile sig_atomic_t temporaryMade = 0;

sigset_t HoldSignals() {
  sigset_t every, before;
  sigfillset(&every);
  pthread_sigmask(SIG_BLOCK, &every, &before);
  return before;
}

void ReleaseSignals(const sigset_t& before) {
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

bool Fail(std::string& why, int error) {
  why = std::strerror(error);
  return false;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

const char* FolderPath(const std::string& folder) {
  return folder.empty() ? "." : folder.c_str();
}

// The message for a target that could be replaced but for its folder: the temporary file, not
// the target, is what cannot be made.
bool FailInFolder(std::string& why, const std::string& folder, int error) {
  why = "its temporary file cannot be made in " + Quoted(folder.empty() ? "./" : folder) + ": " +
        std::strerror(error);
  return false;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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

// The program's open descriptors: standard output and standard error first, then the others in
// order, as /proc lists them.
std::vector<int> OpenDescriptors() {
  std::vector<int> found = {STDOUT_FILENO, STDERR_FILENO}, others;
  DIR* listing = opendir("/proc/self/fd");
  while (dirent* entry = listing ? readdir(listing) : nullptr) {
    char* end;
    long descriptor = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || descriptor == dirfd(listing)) continue;
    if (descriptor != STDOUT_FILENO && descriptor != STDERR_FILENO) {
      others.push_back(static_cast<int>(descriptor));
    }
  }
  if (listing) closedir(listing);
  std::sort(others.begin(), others.end());
  found.insert(found.end(), others.begin(), others.end());
  return found;
}

// A descriptor of the program's own, open for writing, on the file `info` describes; -1 if none.
int OwnDescriptorOn(const struct stat& info) {
  for (int descriptor : OpenDescriptors()) {
    int flags = fcntl(descriptor, F_GETFL);
    struct stat open;
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY || (flags & O_PATH)) continue;
    if (fstat(descriptor, &open) == 0 && SameFile(open, info)) return descriptor;
  }
  return -1;
}

// A target that does not exist yet: made in its folder, which must exist and take new files.
bool CheckNewFile(PendingFile& file, int missing, std::string& why) {
  if (missing != ENOENT) return Fail(why, missing);
  if (file.given.back() == '/') return Fail(why, ENOENT);
  file.target = FollowLinks(file.given);  // a dangling link: the file it names is made
  if (access(FolderPath(FolderOf(file.target)), W_OK | X_OK) != 0) return Fail(why, errno);
  return true;
}

// A plain file to be replaced: the folder of the file its links name must take a temporary file.
bool CheckReplaced(PendingFile& file, const struct stat& info, std::string& why) {
  file.target = FollowLinks(file.given);
  struct stat followed;
  if (stat(file.target.c_str(), &followed) != 0 || !SameFile(followed, info)) {
    // A descriptor's link to a file since removed: "/proc/self/fd/3" reads "/x/f (deleted)".
    why = "the file it names is no longer in any folder";
    return false;
  }
  std::string folder = FolderOf(file.target);
  if (access(FolderPath(folder), W_OK | X_OK) != 0) return FailInFolder(why, folder, errno);
  return true;
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

// Makes the temporary file in `folder` and publishes its name; 0 or the reason it failed.
int MakeTemporary(PendingFile& file, const std::string& folder) {
  if (temporaryMade) return EBUSY;  // another pending file's, not yet committed
  // A short name, so that any name the folder takes leaves room for it.
  std::string pattern = folder + ".vorel.XXXXXX";
  if (pattern.size() >= sizeof temporaryName) return ENAMETOOLONG;
  sigset_t before = HoldSignals();
  std::memcpy(temporaryName, pattern.c_str(), pattern.size() + 1);
  file.descriptor = mkostemp(temporaryName, O_CLOEXEC);
  int error = file.descriptor < 0 ? errno : 0;
  temporaryMade = file.madeTemporary = file.descriptor >= 0;
  ReleaseSignals(before);
  return error;
}

bool WriteTemporary(PendingFile& file, const std::string& text, std::string& why) {
  std::string folder = FolderOf(file.target);
  if (int error = MakeTemporary(file, folder)) return FailInFolder(why, folder, error);
  int error = WriteAll(file.descriptor, text);
  if (!error && fchmod(file.descriptor, ModeFor(file.target)) != 0) error = errno;
  if (!error && fsync(file.descriptor) != 0) error = errno;
  if (close(file.descriptor) != 0 && !error) error = errno;
  file.descriptor = -1;
  if (!error) return true;
  DiscardPendingFile(file);
  return Fail(why, error);
}

// A pipe, a FIFO or a device, opened by the name given; a FIFO may be open already.
bool WriteStream(PendingFile& file, const std::string& text, std::string& why) {
  if (file.descriptor < 0) file.descriptor = open(file.given.c_str(), O_WRONLY | O_CLOEXEC);
  if (file.descriptor < 0) return Fail(why, errno);
  int error = WriteAll(file.descriptor, text);
  if (close(file.descriptor) != 0 && !error) error = errno;
  file.descriptor = -1;
  return error ? Fail(why, error) : true;
}

// Makes the folder's new entry last through a crash, as the file's contents already do.
void SyncFolder(const std::string& target) {
  int descriptor = open(FolderPath(FolderOf(target)), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  fsync(descriptor);
  close(descriptor);
}

}  // namespace

PendingFile::~PendingFile() {
  DiscardPendingFile(*this);
}

bool CheckPendingFile(const std::string& given, PendingFile& file, std::string& why) {
  DiscardPendingFile(file);
  file.given = given;
  file.target.clear();
  file.kind = TargetKind::kReplaced;
  file.descriptor = -1;
  file.isFifo = false;
  if (given.empty()) return Fail(why, ENOENT);
  struct stat info;
  if (stat(given.c_str(), &info) != 0) return CheckNewFile(file, errno, why);
  if (S_ISDIR(info.st_mode)) return Fail(why, EISDIR);
  file.descriptor = OwnDescriptorOn(info);
  if (file.descriptor >= 0) {
    file.kind = TargetKind::kOwnDescriptor;
    return true;
  }
  if (access(given.c_str(), W_OK) != 0) return Fail(why, errno);
  if (S_ISSOCK(info.st_mode)) return Fail(why, ENXIO);  // a socket cannot be opened as a file
  if (S_ISREG(info.st_mode)) return CheckReplaced(file, info, why);
  file.kind = TargetKind::kStream;
  file.isFifo = S_ISFIFO(info.st_mode);
  return true;
}

bool PendingFileHasReader(PendingFile& file) {
  if (file.kind != TargetKind::kStream || !file.isFifo || file.descriptor >= 0) return true;
  // Without a reader, opening a FIFO for writing waits; without waiting, it fails with ENXIO.
  // Opened now, it stays open for the text: closing it would end the reader's input.
  file.descriptor = open(file.given.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (file.descriptor < 0) return errno != ENXIO;  // any other failure is told when writing
  fcntl(file.descriptor, F_SETFL, fcntl(file.descriptor, F_GETFL) & ~O_NONBLOCK);
  return true;
}

bool WritePendingFile(PendingFile& file, const std::string& text, std::string& why) {
  switch (file.kind) {
    case TargetKind::kOwnDescriptor: {
      std::fflush(nullptr);  // what the program printed there comes first
      int error = WriteAll(file.descriptor, text);
      return error ? Fail(why, error) : true;
    }
    case TargetKind::kStream:
      return WriteStream(file, text, why);
    default:
      return WriteTemporary(file, text, why);
  }
}

bool CommitPendingFile(PendingFile& file, std::string& why) {
  if (file.kind != TargetKind::kReplaced) return true;
  if (!file.madeTemporary) return Fail(why, ENOENT);
  sigset_t before = HoldSignals();
  int error = rename(temporaryName, file.target.c_str()) == 0 ? 0 : errno;
  if (!error) temporaryMade = file.madeTemporary = false;
  ReleaseSignals(before);
  if (error) {
    DiscardPendingFile(file);
    return Fail(why, error);
  }
  SyncFolder(file.target);
  return true;
}

void DiscardPendingFile(PendingFile& file) {
  if (file.kind != TargetKind::kOwnDescriptor && file.descriptor >= 0) close(file.descriptor);
  if (file.kind != TargetKind::kOwnDescriptor) file.descriptor = -1;
  if (!file.madeTemporary) return;
  sigset_t before = HoldSignals();
  RemoveTemporaryFileNow();
  file.madeTemporary = false;
  ReleaseSignals(before);
}

void RemoveTemporaryFileNow() {
  if (!temporaryMade) return;
  int saved = errno;
  unlink(temporaryName);
  temporaryMade = 0;
  errno = saved;
}
