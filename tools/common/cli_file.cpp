#include "cli_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// Where the link at `path` points, read from the link's folder; false if `path` is no link.
bool NextLink(const std::string& path, std::string& next) {
  char text[PATH_MAX];
  ssize_t length = readlink(path.c_str(), text, sizeof text - 1);
  if (length <= 0) return false;
  std::string link(text, static_cast<size_t>(length));
  next = link[0] == '/' ? link : FolderOf(path) + link;
  return true;
}

// The path with its links followed, the last one too when it points nowhere yet (writing there
// makes the file it names). Gives up after as many links as the system follows.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    if (!NextLink(path, path)) break;
  }
  return path;
}

// The folders whose entries are the program's descriptors by number, as the system resolves
// them ("/proc/self/fd" and "/dev/fd" both read "/proc/1234/fd").
bool IsDescriptorFolder(const std::string& folder) {
  char resolved[PATH_MAX], own[PATH_MAX];
  if (!realpath(FolderPath(folder), resolved)) return false;
  for (const char* name : {"/proc/self/fd", "/proc/thread-self/fd"}) {
    if (realpath(name, own) && std::strcmp(resolved, own) == 0) return true;
  }
  return false;
}

// The descriptor a path names by number, itself or through its links (/dev/fd/3,
// /proc/self/fd/3, /dev/stdout, a link of the user's to one of those); -1 for any other path.
int DescriptorNamed(std::string path) {
  for (int hops = 0; hops <= 40; ++hops) {
    size_t slash = path.rfind('/');
    std::string number = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (!number.empty() && number.size() < 10 &&
        number.find_first_not_of("0123456789") == std::string::npos &&
        IsDescriptorFolder(FolderOf(path))) {
      return std::atoi(number.c_str());
    }
    if (!NextLink(path, path)) return -1;
  }
  return -1;
}

// A descriptor of the program's own, open for writing, on the file `info` describes, that the
// user pointed the program at: standard output, standard error, or the descriptor the path names
// by number; -1 if none. Any other descriptor it inherited on the file (one that holds a lock on
// it, say) is no output of the program's: writing there would land wherever that one stands.
int OwnDescriptorOn(const struct stat& info, int named) {
  for (int descriptor : {STDOUT_FILENO, STDERR_FILENO, named}) {
    int flags = descriptor < 0 ? -1 : fcntl(descriptor, F_GETFL);
    struct stat open;
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY || (flags & O_PATH)) continue;
    if (fstat(descriptor, &open) == 0 && SameFile(open, info)) return descriptor;
  }
  return -1;
}

// Whether a file the program writes through its descriptor takes the text at its end: the
// descriptor appends, or stands at the end; otherwise the text would go over what follows.
bool WritesAtTheEnd(int descriptor, const struct stat& info) {
  if (!S_ISREG(info.st_mode) || (fcntl(descriptor, F_GETFL) & O_APPEND)) return true;
  off_t at = lseek(descriptor, 0, SEEK_CUR);
  return at < 0 || at >= info.st_size;
}

// A file the program writes through its descriptor `own`: the text goes after what is there.
bool CheckOwnDescriptor(PendingFile& file, int own, const struct stat& info, std::string& why) {
  file.kind = TargetKind::kOwnDescriptor;
  file.descriptor = own;
  if (WritesAtTheEnd(own, info)) return true;
  why = (own == STDOUT_FILENO   ? std::string("standard output")
         : own == STDERR_FILENO ? std::string("standard error")
                                : "descriptor " + std::to_string(own)) +
        " is open on it before its end: writing there would go over what follows";
  return false;
}

// Whether the target is the pipe or FIFO the program's standard input comes from: the program
// holds its reading end itself, so a writer would never wait for a reader, and what is written
// there would come back to a program that reads none of it.
bool IsStandardInput(const struct stat& info) {
  struct stat input;
  return S_ISFIFO(info.st_mode) && fstat(STDIN_FILENO, &input) == 0 && SameFile(input, info);
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

// A device (a terminal, /dev/null) is opened when it is checked, and kept open for the text: one
// that cannot be opened now (/dev/tty without a terminal) is found before any long work. Opening
// waits for nothing (a serial line's carrier), and takes no terminal as the program's own.
bool OpenDevice(PendingFile& file, std::string& why) {
  file.descriptor = open(file.given.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (file.descriptor < 0) return Fail(why, errno);
  fcntl(file.descriptor, F_SETFL, fcntl(file.descriptor, F_GETFL) & ~O_NONBLOCK);
  return true;
}

// A pipe, a FIFO or a device, opened by the name given; a device, or a FIFO, may be open already.
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
  if (IsStandardInput(info)) {
    why = "it is this program's own standard input";
    return false;
  }
  int own = OwnDescriptorOn(info, DescriptorNamed(given));
  if (own >= 0) return CheckOwnDescriptor(file, own, info, why);
  if (access(given.c_str(), W_OK) != 0) return Fail(why, errno);
  if (S_ISSOCK(info.st_mode)) return Fail(why, ENXIO);  // a socket cannot be opened as a file
  if (S_ISREG(info.st_mode)) return CheckReplaced(file, info, why);
  file.kind = TargetKind::kStream;
  file.isFifo = S_ISFIFO(info.st_mode);
  return file.isFifo || OpenDevice(file, why);
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
