#include "cli_file.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
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
  PendingFile file;
  std::string why;
  EXPECT_FALSE(OpenPendingFile(folder + "/no/such/dir/c.svg", file, why));
  EXPECT_EQ(why, "No such file or directory");
  EXPECT_FALSE(OpenPendingFile(folder, file, why));
  EXPECT_EQ(why, "Is a directory");
  EXPECT_FALSE(OpenPendingFile(folder + "/", file, why));
  EXPECT_EQ(why, "Is a directory");
  EXPECT_TRUE(Names().empty());
}

TEST_F(PendingFileTest, SaysWhenTheFolderIsClosedToTheUser) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write anywhere, so a closed folder cannot be tried";
  PendingFile file;
  std::string why;
  chmod(folder.c_str(), 0500);
  EXPECT_FALSE(OpenPendingFile(folder + "/c.svg", file, why));
  chmod(folder.c_str(), 0700);
  EXPECT_EQ(why, "Permission denied");
}

}  // namespace
