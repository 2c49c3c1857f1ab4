// A path named relative to a kept folder addresses the file the whole path
// names now, whatever happened to the folder or the folders above it since
// it was kept. (Folders are renamed with renameat: the layer may offer the
// C runtime's rename, which takes Windows paths.)
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <thread>

#include "kept_folders.h"
#include "machine_fixture.h"

namespace {

using winsim::HostPathAt;
using winsim::testing::TempHostDir;
using winsim::testing::WriteHostFile;

void Rename(const std::string& from, const std::string& to) {
  ASSERT_EQ(0, renameat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str())) << from << " -> " << to;
}

// The inode the path names, looked at whole and through HostPathAt; 0 when
// nothing is there.
ino_t Whole(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}
ino_t Through(const std::string& path) {
  const HostPathAt at(path);
  struct stat st {};
  return fstatat(at.Dir(), at.Name(), &st, 0) == 0 ? st.st_ino : 0;
}

// Asks often enough for the folder of `path` to be kept, and says whether
// it is.
bool AskUntilKept(const std::string& path) {
  for (int i = 0; i < 40; ++i) Through(path);
  return HostPathAt(path).Dir() != AT_FDCWD;
}

struct Change {
  const char* what;
  // Changes what is under `top`, where the file is top/a/b/file.
  std::function<void(const std::string& top)> make;
};

TEST(KeptFolders, NameTheFileTheWholePathNamesAfterEveryChange) {
  const Change changes[] = {
      {"nothing", [](const std::string&) {}},
      {"another name beside the folder deleted", [](const std::string& t) {
         mkdir((t + "/a/other").c_str(), 0755);
         ASSERT_EQ(0, rmdir((t + "/a/other").c_str()));
       }},
      {"the file replaced", [](const std::string& t) {
         WriteHostFile(t + "/a/b/new", "n");
         Rename(t + "/a/b/new", t + "/a/b/file");
       }},
      {"the folder renamed, another made in its place", [](const std::string& t) {
         Rename(t + "/a/b", t + "/a/old");
         mkdir((t + "/a/b").c_str(), 0755);
         WriteHostFile(t + "/a/b/file", "other");
       }},
      {"the folder above renamed, another made in its place", [](const std::string& t) {
         Rename(t + "/a", t + "/old");
         mkdir((t + "/a").c_str(), 0755);
         mkdir((t + "/a/b").c_str(), 0755);
         WriteHostFile(t + "/a/b/file", "other");
       }},
      {"the folder emptied, deleted and made again", [](const std::string& t) {
         unlink((t + "/a/b/file").c_str());
         ASSERT_EQ(0, rmdir((t + "/a/b").c_str()));
         mkdir((t + "/a/b").c_str(), 0755);
         WriteHostFile(t + "/a/b/file", "other");
       }},
      {"the folder replaced by another renamed onto its name", [](const std::string& t) {
         mkdir((t + "/a/c").c_str(), 0755);
         WriteHostFile(t + "/a/c/file", "other");
         unlink((t + "/a/b/file").c_str());
         Rename(t + "/a/c", t + "/a/b");
       }},
      {"the folder renamed away", [](const std::string& t) { Rename(t + "/a/b", t + "/a/gone"); }},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    const std::string top = TempHostDir();
    mkdir((top + "/a").c_str(), 0755);
    mkdir((top + "/a/b").c_str(), 0755);
    const std::string file = top + "/a/b/file";
    WriteHostFile(file, "first");
    ASSERT_EQ(Whole(file), Through(file));
    EXPECT_TRUE(AskUntilKept(file)) << "kept where the host gives inotify";
    change.make(top);
    EXPECT_EQ(Whole(file), Through(file));
    // And once more from another thread, which has no doorbell yet.
    ino_t seen = 0;
    std::thread([&] { seen = Through(file); }).join();
    EXPECT_EQ(Whole(file), seen);
  }
}

// A forked child names paths whole: the parent's watches tell it nothing.
TEST(KeptFolders, ForkedChildNamesPathsWhole) {
  const std::string top = TempHostDir();
  const std::string file = top + "/file";
  WriteHostFile(file, "x");
  ASSERT_TRUE(AskUntilKept(file));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    for (int i = 0; i < 40; ++i) Through(file);
    _exit(HostPathAt(file).Dir() == AT_FDCWD && Through(file) == Whole(file) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_NE(AT_FDCWD, HostPathAt(file).Dir());
}

}  // namespace
