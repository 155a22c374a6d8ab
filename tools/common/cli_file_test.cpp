// Files written whole or not at all, tried on real files, links, pipes, FIFOs, descriptors and
// folders, each test in a folder of its own.
#include "cli_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

class PendingFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vorel-file-test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
  }
  void TearDown() override {
    for (const std::string& name : Names()) unlink((folder + "/" + name).c_str());
    rmdir(folder.c_str());
  }

  std::vector<std::string> Names() {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (dirent* entry = dir ? readdir(dir) : nullptr) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    if (dir) closedir(dir);
    return names;
  }
  std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  std::string folder;
};

TEST_F(PendingFileTest, ReplacesTheTargetOnlyWhenComplete) {
  std::string target = folder + "/chart.svg";
  Write(target, "old chart");
  chmod(target.c_str(), 0640);
  PendingFile file;
  std::string why;
  ASSERT_TRUE(CheckPendingFile(target, file, why)) << why;
  EXPECT_EQ(file.kind, TargetKind::kReplaced);
  EXPECT_EQ(Names().size(), 1u) << "the check makes nothing";
  ASSERT_TRUE(WritePendingFile(file, "new chart", why)) << why;
  EXPECT_EQ(Read(target), "old chart") << "writing must not touch the target";
  EXPECT_EQ(Names().size(), 2u) << "the temporary file stands beside the target";
  ASSERT_TRUE(CommitPendingFile(file, why)) << why;
  EXPECT_EQ(Read(target), "new chart");
  EXPECT_EQ(Names(), std::vector<std::string>{"chart.svg"});
  struct stat info;
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u) << "a replaced file keeps its mode";
}

TEST_F(PendingFileTest, ANewFileGetsTheUsualMode) {
  mode_t old = umask(022);
  std::string target = folder + "/new.svg";
  PendingFile file;
  std::string why;
  ASSERT_TRUE(CheckPendingFile(target, file, why)) << why;
  ASSERT_TRUE(WritePendingFile(file, "", why) && CommitPendingFile(file, why)) << why;
  umask(old);
  struct stat info;
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST_F(PendingFileTest, DiscardingLeavesTheOldFileAndNothingElse) {
  std::string target = folder + "/chart.svg";
  Write(target, "old chart");
  std::string why;
  {
    PendingFile file;
    ASSERT_TRUE(CheckPendingFile(target, file, why)) << why;
    ASSERT_TRUE(WritePendingFile(file, "new chart", why)) << why;
    DiscardPendingFile(file);
    DiscardPendingFile(file);
    EXPECT_EQ(Names(), std::vector<std::string>{"chart.svg"});
  }
  {
    PendingFile file;
    ASSERT_TRUE(CheckPendingFile(target, file, why)) << why;
    ASSERT_TRUE(WritePendingFile(file, "new chart", why)) << why;
  }
  EXPECT_EQ(Read(target), "old chart");
  EXPECT_EQ(Names(), std::vector<std::string>{"chart.svg"}) << "a pending file ended uncommitted";
}

TEST_F(PendingFileTest, SaysWhyAPathCannotBeWritten) {
  Write(folder + "/file.svg", "a file");
  const struct {
    std::string path;
    const char* why;
  } cases[] = {
      {folder + "/no/such/dir/c.svg", "No such file or directory"},
      {folder, "Is a directory"},
      {folder + "/", "Is a directory"},
      {folder + "/missing.svg/", "No such file or directory"},
      {folder + "/file.svg/", "Not a directory"},
      {"", "No such file or directory"},
  };
  for (const auto& c : cases) {
    PendingFile file;
    std::string why;
    EXPECT_FALSE(CheckPendingFile(c.path, file, why)) << c.path;
    EXPECT_EQ(why, c.why) << c.path;
  }
  EXPECT_EQ(Names(), std::vector<std::string>{"file.svg"}) << "nothing made on the way";
}

TEST_F(PendingFileTest, ALinkStaysAndTheFileItNamesIsReplaced) {
  Write(folder + "/real.svg", "old chart");
  ASSERT_EQ(symlink("real.svg", (folder + "/link.svg").c_str()), 0);
  ASSERT_EQ(symlink("later.svg", (folder + "/dangling.svg").c_str()), 0);
  for (const char* name : {"/link.svg", "/dangling.svg"}) {
    PendingFile file;
    std::string why;
    ASSERT_TRUE(CheckPendingFile(folder + name, file, why)) << name << ": " << why;
    ASSERT_TRUE(WritePendingFile(file, std::string("new by ") + name, why)) << why;
    ASSERT_TRUE(CommitPendingFile(file, why)) << why;
    struct stat info;
    ASSERT_EQ(lstat((folder + name).c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << name << " is no longer a link";
  }
  EXPECT_EQ(Read(folder + "/real.svg"), "new by /link.svg");
  EXPECT_EQ(Read(folder + "/later.svg"), "new by /dangling.svg");
  EXPECT_EQ(Names().size(), 4u) << "no stray file";
}

TEST_F(PendingFileTest, APipeIsWrittenStraightInto) {
  std::string pipe = folder + "/pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = Read(pipe); });
  PendingFile file;
  std::string why;
  ASSERT_TRUE(CheckPendingFile(pipe, file, why)) << why;
  EXPECT_EQ(file.kind, TargetKind::kStream);
  ASSERT_TRUE(WritePendingFile(file, "chart through a pipe", why)) << why;
  reader.join();
  EXPECT_EQ(received, "chart through a pipe");
  EXPECT_EQ(Names(), std::vector<std::string>{"pipe"});
}

TEST_F(PendingFileTest, AFailedCommitLeavesNoStrayFile) {
  std::string target = folder + "/chart.svg";
  PendingFile file;
  std::string why;
  ASSERT_TRUE(CheckPendingFile(target, file, why)) << why;
  // The target turns into a folder with something in it while the count runs.
  ASSERT_EQ(mkdir(target.c_str(), 0700), 0);
  Write(target + "/inside", "x");
  ASSERT_TRUE(WritePendingFile(file, "new chart", why)) << why;
  EXPECT_FALSE(CommitPendingFile(file, why));
  EXPECT_EQ(why, "Is a directory");
  EXPECT_EQ(Names(), std::vector<std::string>{"chart.svg"});
  unlink((target + "/inside").c_str());
  rmdir(target.c_str());
}

TEST_F(PendingFileTest, AWriteCutShortIsAFailure) {
  std::string target = folder + "/chart.svg";
  Write(target, "old chart");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A file size limit of 1 KB: the 64 KB chart cannot be written whole.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit = {1024, 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    PendingFile file;
    std::string why;
    bool opened = CheckPendingFile(target, file, why);
    bool written = opened && WritePendingFile(file, std::string(65536, 'x'), why);
    _exit(opened && !written && why == "File too large" ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the cut write was not refused";
  EXPECT_EQ(Read(target), "old chart");
  EXPECT_EQ(Names(), std::vector<std::string>{"chart.svg"});
}

TEST_F(PendingFileTest, TakesAnyNameTheFolderTakes) {
  std::string target = folder + "/" + std::string(250, 'n') + ".svg";
  PendingFile file;
  std::string why;
  ASSERT_TRUE(CheckPendingFile(target, file, why)) << why;
  ASSERT_TRUE(WritePendingFile(file, "chart", why) && CommitPendingFile(file, why)) << why;
  EXPECT_EQ(Read(target), "chart");
}

// Whether a file the user may not write, and a folder the user may not write into, are refused
// with the system's reason.
// A file the user may write in such a folder cannot be replaced either: the message names the
// temporary file that cannot be made beside it, not the file.
bool RefusesClosedPaths(const std::string& folder) {
  PendingFile file;
  std::string closedFile, closedFolder, openFile;
  bool refused = !CheckPendingFile(folder + "/read-only.svg", file, closedFile) &&
                 !CheckPendingFile(folder + "/c.svg", file, closedFolder) &&
                 !CheckPendingFile(folder + "/open.svg", file, openFile);
  return refused && closedFile == "Permission denied" && closedFolder == "Permission denied" &&
         openFile == "its temporary file cannot be made in '" + folder + "/': Permission denied";
}

TEST_F(PendingFileTest, SaysWhenTheFolderOrTheFileIsClosedToTheUser) {
  Write(folder + "/read-only.svg", "kept");
  chmod((folder + "/read-only.svg").c_str(), 0444);
  Write(folder + "/open.svg", "kept");
  chmod((folder + "/open.svg").c_str(), 0666);
  chmod(folder.c_str(), 0555);
  if (geteuid() != 0) {
    EXPECT_TRUE(RefusesClosedPaths(folder));
  } else {
    // Root may write anywhere: the check runs as the unprivileged user "nobody".
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
      _exit(setgid(65534) == 0 && setuid(65534) == 0 && RefusesClosedPaths(folder) ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  chmod(folder.c_str(), 0700);
  EXPECT_EQ(Read(folder + "/read-only.svg"), "kept");
}

// A descriptor the path names by number (`/dev/fd/3` with `3>>f`, a link to it) is the
// program's output: the text follows what it wrote there and the file is never replaced. The
// same file by its own name is replaced whole, whatever the program inherited on it (a lock's
// `9<>f` or `9>>f`); so is a file named through a descriptor that only reads it.
TEST_F(PendingFileTest, OnlyADescriptorTheUserNamesIsWrittenThrough) {
  std::string log = folder + "/log";
  Write(log, "old\n");
  int appending = open(log.c_str(), O_WRONLY | O_APPEND);
  int both = open(log.c_str(), O_RDWR);
  ASSERT_GE(appending, 0);
  ASSERT_GE(both, 0);
  std::string number = std::to_string(appending);
  ASSERT_EQ(symlink(("/dev/fd/" + number).c_str(), (folder + "/link").c_str()), 0);
  for (const std::string& name :
       {"/proc/self/fd/" + number, "/dev/fd/" + number, folder + "/link"}) {
    PendingFile file;
    std::string why;
    ASSERT_TRUE(CheckPendingFile(name, file, why)) << name << ": " << why;
    EXPECT_EQ(file.kind, TargetKind::kOwnDescriptor) << name;
    EXPECT_EQ(file.descriptor, appending) << name;
    ASSERT_TRUE(WritePendingFile(file, name + "\n", why) && CommitPendingFile(file, why)) << why;
  }
  EXPECT_EQ(Read(log),
            "old\n/proc/self/fd/" + number + "\n/dev/fd/" + number + "\n" + folder + "/link\n");
  EXPECT_GE(fcntl(appending, F_GETFD), 0) << "the program's descriptor stays open";

  for (bool throughReading : {false, true}) {
    int reading = open(log.c_str(), O_RDONLY);
    ASSERT_GE(reading, 0);
    std::string name = throughReading ? "/proc/self/fd/" + std::to_string(reading) : log;
    PendingFile file;
    std::string why;
    ASSERT_TRUE(CheckPendingFile(name, file, why)) << name << ": " << why;
    EXPECT_EQ(file.kind, TargetKind::kReplaced) << name;
    EXPECT_EQ(file.target, log) << name;
    ASSERT_TRUE(WritePendingFile(file, name, why) && CommitPendingFile(file, why)) << why;
    EXPECT_EQ(Read(log), name) << "not replaced whole";
    close(reading);
  }
  close(appending);
  close(both);
  std::vector<std::string> names = Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"link", "log"}));
}

// A pipe the program writes is written through its descriptor, not opened by the text of its
// link ("pipe:[…]").
TEST_F(PendingFileTest, APipeTheProgramWritesIsWrittenThroughItsDescriptor) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  PendingFile file;
  std::string why;
  ASSERT_TRUE(CheckPendingFile("/proc/self/fd/" + std::to_string(ends[1]), file, why)) << why;
  EXPECT_EQ(file.kind, TargetKind::kOwnDescriptor);
  ASSERT_TRUE(WritePendingFile(file, "chart", why)) << why;
  close(ends[1]);
  char received[16] = {};
  EXPECT_EQ(read(ends[0], received, sizeof received), 5);
  EXPECT_STREQ(received, "chart");
  // Only its reading end held: the pipe is opened anew by the name given.
  ASSERT_TRUE(CheckPendingFile("/proc/self/fd/" + std::to_string(ends[0]), file, why)) << why;
  EXPECT_EQ(file.kind, TargetKind::kStream);
  ASSERT_TRUE(WritePendingFile(file, "again", why)) << why;
  EXPECT_EQ(read(ends[0], received, sizeof received), 5);
  EXPECT_STREQ(received, "again");
  close(ends[0]);
  EXPECT_TRUE(Names().empty());
}

TEST_F(PendingFileTest, AFifoWithoutAReaderIsToldApart) {
  std::string fifo = folder + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  PendingFile file;
  std::string why;
  ASSERT_TRUE(CheckPendingFile(fifo, file, why)) << why;
  EXPECT_FALSE(PendingFileHasReader(file));
  EXPECT_EQ(file.descriptor, -1);
  int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(PendingFileHasReader(file));
  ASSERT_TRUE(WritePendingFile(file, "chart", why)) << why;
  char received[16] = {};
  EXPECT_EQ(read(reader, received, sizeof received), 5);
  EXPECT_STREQ(received, "chart");
  close(reader);
}

// What is found only when the text is ready still leaves nothing behind, and says what failed.
TEST_F(PendingFileTest, AFolderGoneDuringTheCountIsNamed) {
  std::string inner = folder + "/inner";
  ASSERT_EQ(mkdir(inner.c_str(), 0700), 0);
  PendingFile file;
  std::string why;
  ASSERT_TRUE(CheckPendingFile(inner + "/c.svg", file, why)) << why;
  ASSERT_EQ(rename(inner.c_str(), (folder + "/moved").c_str()), 0);
  EXPECT_FALSE(WritePendingFile(file, "chart", why));
  EXPECT_EQ(why,
            "its temporary file cannot be made in '" + inner + "/': No such file or directory");
  EXPECT_EQ(Names(), std::vector<std::string>{"moved"});
  rmdir((folder + "/moved").c_str());
}

// A file in a folder that takes no new file: as root only the temporary file fails, and is named.
TEST_F(PendingFileTest, AFileInAFolderThatTakesNoFileIsNotSaidToBeMissing) {
  PendingFile file;
  std::string why;
  if (!CheckPendingFile("/proc/version", file, why)) {
    EXPECT_EQ(why, "Permission denied");
    return;
  }
  ASSERT_EQ(geteuid(), 0u) << "only root may write /proc/version";
  EXPECT_FALSE(WritePendingFile(file, "chart", why));
  EXPECT_EQ(why.rfind("its temporary file cannot be made in '/proc/': ", 0), 0u) << why;
}

TEST_F(PendingFileTest, WhatCannotBeReplacedOrOpenedIsRefusedBeforehand) {
  // A descriptor's link to a file since removed names no file a new one could replace.
  std::string gone = folder + "/gone.svg";
  Write(gone, "x");
  int descriptor = open(gone.c_str(), O_RDONLY);
  ASSERT_GE(descriptor, 0);
  unlink(gone.c_str());
  PendingFile file;
  std::string why;
  EXPECT_FALSE(CheckPendingFile("/proc/self/fd/" + std::to_string(descriptor), file, why));
  EXPECT_EQ(why, "the file it names is no longer in any folder");
  close(descriptor);
  // A socket is no file to open.
  int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  std::string socketPath = folder + "/socket";
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_FALSE(CheckPendingFile(socketPath, file, why));
  EXPECT_EQ(why, "No such device or address");
  close(listener);
  EXPECT_EQ(Names(), std::vector<std::string>{"socket"}) << "nothing made on the way";
}

// Whether, in a child with no controlling terminal whose standard input reads a pipe, each
// target that cannot take the text now is refused, saying why.
bool RefusesWhatCannotTakeTheTextNow(const std::string& log) {
  int ends[2], both = open(log.c_str(), O_RDWR);  // `3<>log`: it stands at the file's start
  if (pipe(ends) != 0 || dup2(ends[0], STDIN_FILENO) < 0 || setsid() < 0 || both < 0) return false;
  std::string number = std::to_string(both);
  const std::pair<std::string, std::string> cases[] = {
      {"/dev/stdin", "it is this program's own standard input"},
      {"/dev/tty", "No such device or address"},
      {"/dev/fd/" + number, "descriptor " + number +
                                " is open on it before its end: writing there would go over "
                                "what follows"},
  };
  bool all = true;
  for (const auto& [path, expected] : cases) {
    PendingFile file;
    std::string why;
    if (CheckPendingFile(path, file, why) || why != expected) {
      std::fprintf(stderr, "%s: '%s'\n", path.c_str(), why.c_str());
      all = false;
    }
  }
  return all;
}

TEST_F(PendingFileTest, WhatCannotTakeTheTextNowIsRefusedBeforehand) {
  std::string log = folder + "/log";
  Write(log, "old log\n");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(RefusesWhatCannotTakeTheTextNow(log) ? 0 : 1);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(Read(log), "old log\n");
}

}  // namespace
