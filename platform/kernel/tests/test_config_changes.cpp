// Changes of machine.conf are seen by the next call, however they are made:
// a change the file's size and times do not show, and one made by a child
// process after fork (which shares its parent's watch descriptor).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "machine_fixture.h"
#include "winsim/machine.h"

namespace {

// A process that keeps asking for the settings, as a busy program does.
void AskOften() {
  for (int i = 0; i < 100; ++i) winsim::Config();
}

TEST(ConfigChanges, InPlaceEditWithTheSameSizeAndTimes) {
  const std::string root = winsim::testing::FreshMachine();
  const std::string conf = root + "/machine.conf";
  AskOften();
  ASSERT_EQ(96, winsim::Config().dpi);
  struct stat before {};
  ASSERT_EQ(0, stat(conf.c_str(), &before));
  std::string text = winsim::testing::ReadHostFile(conf);
  const size_t at = text.find("dpi=96");
  ASSERT_NE(std::string::npos, at);
  text.replace(at, 6, "dpi=72");
  // Written over in place, then given back its old times.
  int fd = open(conf.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(static_cast<ssize_t>(text.size()), pwrite(fd, text.data(), text.size(), 0));
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(0, futimens(fd, times));
  close(fd);
  EXPECT_EQ(72, winsim::Config().dpi);
}

TEST(ConfigChanges, ChangeMadeByAForkedChild) {
  winsim::testing::FreshMachine();
  AskOften();
  ASSERT_EQ(96, winsim::Config().dpi);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child changes the setting and reads it back itself; its reading
    // must not take the news away from the parent.
    bool ok = winsim::SetConfigValue("dpi", "120", nullptr) && winsim::Config().dpi == 120;
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(120, winsim::Config().dpi);
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "144", nullptr));
  EXPECT_EQ(144, winsim::Config().dpi);
}

}  // namespace
