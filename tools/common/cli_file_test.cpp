#include "cli_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
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
  ASSERT_TRUE(OpenPendingFile(target, file, why)) << why;
  EXPECT_EQ(Read(target), "old chart") << "opening must not touch the target";
  EXPECT_EQ(Names().size(), 2u) << "the temporary file stands beside the target";
  ASSERT_TRUE(CommitPendingFile(file, "new chart", why)) << why;
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
  ASSERT_TRUE(OpenPendingFile(target, file, why)) << why;
  ASSERT_TRUE(CommitPendingFile(file, "", why)) << why;
  umask(old);
  struct stat info;
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST_F(PendingFileTest, DiscardingLeavesTheOldFileAndNothingElse) {
  std::string target = folder + "/chart.svg";
  Write(target, "old chart");
  PendingFile file;
  std::string why;
  ASSERT_TRUE(OpenPendingFile(target, file, why)) << why;
  DiscardPendingFile(file);
  DiscardPendingFile(file);
  EXPECT_EQ(Read(target), "old chart");
  EXPECT_EQ(Names(), std::vector<std::string>{"chart.svg"});
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
    EXPECT_FALSE(OpenPendingFile(c.path, file, why)) << c.path;
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
    ASSERT_TRUE(OpenPendingFile(folder + name, file, why)) << name << ": " << why;
    ASSERT_TRUE(CommitPendingFile(file, std::string("new by ") + name, why)) << why;
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
  ASSERT_TRUE(OpenPendingFile(pipe, file, why)) << why;
  ASSERT_TRUE(CommitPendingFile(file, "chart through a pipe", why)) << why;
  reader.join();
  EXPECT_EQ(received, "chart through a pipe");
  EXPECT_EQ(Names(), std::vector<std::string>{"pipe"});
}

TEST_F(PendingFileTest, AFailedCommitLeavesNoStrayFile) {
  std::string target = folder + "/chart.svg";
  PendingFile file;
  std::string why;
  ASSERT_TRUE(OpenPendingFile(target, file, why)) << why;
  // The target turns into a folder with something in it while the count runs.
  ASSERT_EQ(mkdir(target.c_str(), 0700), 0);
  Write(target + "/inside", "x");
  EXPECT_FALSE(CommitPendingFile(file, "new chart", why));
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
    bool opened = OpenPendingFile(target, file, why);
    bool committed = opened && CommitPendingFile(file, std::string(65536, 'x'), why);
    _exit(opened && !committed && why == "File too large" ? 0 : 1);
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
  ASSERT_TRUE(OpenPendingFile(target, file, why)) << why;
  ASSERT_TRUE(CommitPendingFile(file, "chart", why)) << why;
  EXPECT_EQ(Read(target), "chart");
}

// Whether a file the user may not write, and a folder the user may not write into, are refused
// with the system's reason.
bool RefusesClosedPaths(const std::string& folder) {
  PendingFile file;
  std::string closedFile, closedFolder;
  bool refused = !OpenPendingFile(folder + "/read-only.svg", file, closedFile) &&
                 !OpenPendingFile(folder + "/c.svg", file, closedFolder);
  return refused && closedFile == "Permission denied" && closedFolder == "Permission denied";
}

TEST_F(PendingFileTest, SaysWhenTheFolderOrTheFileIsClosedToTheUser) {
  Write(folder + "/read-only.svg", "kept");
  chmod((folder + "/read-only.svg").c_str(), 0444);
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

}  // namespace
