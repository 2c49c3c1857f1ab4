// Descriptors closed on the layer's own thread, and the deletes that use it.
#include "background_close.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "files_test_support.h"

namespace files_test {
namespace {

using winsim::files::CloseInBackground;
using winsim::files::WaitForBackgroundCloses;

// The targets of this process's descriptors that start with `prefix`.
std::vector<std::string> OpenUnder(const std::string& prefix) {
  std::vector<std::string> found;
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return found;
  while (dirent* e = readdir(dir)) {
    char target[PATH_MAX];
    const std::string link = std::string("/proc/self/fd/") + e->d_name;
    const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    target[n] = '\0';
    if (std::string(target).rfind(prefix, 0) == 0) found.push_back(target);
  }
  closedir(dir);
  return found;
}

class BackgroundClose : public FilesTest {};

// However many files a run deletes (none, fewer than a batch, several
// batches and a rest), none stays open once the closes are done, and each
// is gone from its folder when DeleteFileA returns.
TEST_F(BackgroundClose, DeletedFilesAreLetGo) {
  for (int count : {1, 5, 32, 70}) {
    SCOPED_TRACE(count);
    const std::string dir = Folder("let go " + std::to_string(count));
    const std::string host = Host(dir);
    for (int i = 0; i < count; ++i) PutFile(In(dir, "f" + std::to_string(i)), std::string(4096, 'z'));
    for (int i = 0; i < count; ++i) {
      const std::string name = In(dir, "f" + std::to_string(i));
      ASSERT_TRUE(DeleteFileA(name.c_str())) << GetLastError();
      EXPECT_FALSE(Exists(name));
    }
    WaitForBackgroundCloses();
    EXPECT_EQ(std::vector<std::string>{}, OpenUnder(host + "/"));
    EXPECT_TRUE(RemoveDirectoryA(dir.c_str())) << GetLastError();
  }
}

// A delete that fails holds nothing open either.
TEST_F(BackgroundClose, FailedDeleteHoldsNothing) {
  const std::string dir = Folder("failed");
  PutFile(In(dir, "ro"), "x");
  MarkAttributes(In(dir, "ro"), FILE_ATTRIBUTE_READONLY);
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(DeleteFileA(In(dir, "ro").c_str()));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  WaitForBackgroundCloses();
  EXPECT_EQ(std::vector<std::string>{}, OpenUnder(Host(dir) + "/"));
  EXPECT_TRUE(Exists(In(dir, "ro")));
}

// A forked child starts from an empty queue of its own (what it inherited
// queued is closed): waiting for its closes does not wait on the parent's
// thread. The parent's thread goes on.
TEST_F(BackgroundClose, ForkedChildStartsAfresh) {
  const std::string dir = Folder("forked");
  const std::string host = Host(dir);
  PutFile(In(dir, "parent"), "p");
  // More than the thread takes at once, handed over just before the fork.
  for (int i = 0; i < 40; ++i) CloseInBackground(open((host + "/parent").c_str(), O_RDONLY | O_CLOEXEC));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    alarm(10);  // a child waiting on its parent's thread would hang
    WaitForBackgroundCloses();
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  CloseInBackground(open((host + "/parent").c_str(), O_RDONLY | O_CLOEXEC));
  WaitForBackgroundCloses();
  EXPECT_EQ(std::vector<std::string>{}, OpenUnder(host + "/"));
}

}  // namespace
}  // namespace files_test
