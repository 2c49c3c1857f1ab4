// The watch on a machine folder answers "machine.conf may have changed"
// for every way the file changes and for no other file, on the read of the
// queue and on a thread's doorbell alike; a change made before a thread
// asks is seen by that thread, whichever thread took the news first.
// (Files are renamed with renameat: the layer may offer the C runtime's
// rename, which takes Windows paths.)
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "config_watch.h"
#include "io_uring_probe.h"
#include "machine_fixture.h"

namespace {

using kernel_test::HostHasIoUring;
using winsim::testing::TempHostDir;
using winsim::testing::WriteHostFile;

// Asks until the calling thread has a doorbell (where the host gives one)
// and nothing is left to tell.
void AskUntilQuiet(winsim::ConfigWatch& watch) {
  for (int i = 0; i < 40; ++i) watch.SawChange();
  EXPECT_FALSE(watch.SawChange());
}

struct Change {
  const char* what;
  std::function<void(const std::string& folder)> make;
  bool seen;
};

TEST(ConfigWatch, SeesEveryChangeOfTheConfigurationAndNoOther) {
  const Change changes[] = {
      {"another file written", [](const std::string& f) { WriteHostFile(f + "/registry.db", "x"); }, false},
      {"another file renamed",
       [](const std::string& f) {
         WriteHostFile(f + "/a.tmp", "x");
         ASSERT_EQ(0, renameat(AT_FDCWD, (f + "/a.tmp").c_str(), AT_FDCWD, (f + "/b.tmp").c_str()));
       },
       false},
      {"a subfolder made", [](const std::string& f) { mkdir((f + "/journal").c_str(), 0755); }, false},
      {"written in place",
       [](const std::string& f) {
         int fd = open((f + "/machine.conf").c_str(), O_WRONLY);
         ASSERT_EQ(1, pwrite(fd, "d", 1, 0));
         close(fd);
       },
       true},
      {"replaced by a rename",
       [](const std::string& f) {
         WriteHostFile(f + "/machine.conf.new", "dpi=120\n");
         ASSERT_EQ(0, renameat(AT_FDCWD, (f + "/machine.conf.new").c_str(), AT_FDCWD, (f + "/machine.conf").c_str()));
       },
       true},
      {"permissions changed", [](const std::string& f) { chmod((f + "/machine.conf").c_str(), 0600); }, true},
      {"deleted", [](const std::string& f) { unlink((f + "/machine.conf").c_str()); }, true},
      {"created", [](const std::string& f) { WriteHostFile(f + "/machine.conf", "dpi=96\n"); }, true},
  };
  const std::string folder = TempHostDir();
  WriteHostFile(folder + "/machine.conf", "dpi=96\n");
  winsim::ConfigWatch watch;
  ASSERT_TRUE(watch.Arm(folder));
  AskUntilQuiet(watch);
  EXPECT_EQ(HostHasIoUring(), watch.ThreadHasDoorbell());
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    change.make(folder);
    EXPECT_EQ(change.seen, watch.SawChange());
    EXPECT_FALSE(watch.SawChange()) << "told once";
    EXPECT_EQ(HostHasIoUring(), watch.ThreadHasDoorbell());
  }
  watch.Drop();
  EXPECT_FALSE(watch.ThreadHasDoorbell());
}

TEST(ConfigWatch, TwoWatchesAskedByOneThreadEachSeeTheirOwnChanges) {
  const std::string first = TempHostDir(), second = TempHostDir();
  WriteHostFile(first + "/machine.conf", "dpi=96\n");
  WriteHostFile(second + "/machine.conf", "dpi=96\n");
  winsim::ConfigWatch one, two;
  ASSERT_TRUE(one.Arm(first));
  ASSERT_TRUE(two.Arm(second));
  // A thread's doorbell for one watch is not the other's.
  for (int i = 0; i < 40; ++i) {
    one.SawChange();
    two.SawChange();
  }
  for (int i = 0; i < 40; ++i) one.SawChange();
  EXPECT_FALSE(two.SawChange());
  WriteHostFile(second + "/machine.conf", "dpi=120\n");
  EXPECT_FALSE(one.SawChange());
  EXPECT_TRUE(two.SawChange());
  for (int i = 0; i < 40; ++i) two.SawChange();
  WriteHostFile(first + "/machine.conf", "dpi=120\n");
  EXPECT_FALSE(two.SawChange());
  EXPECT_TRUE(one.SawChange());
}

TEST(ConfigWatch, AThreadSeesAChangeAnotherThreadMadeBeforeItAsked) {
  const std::string folder = TempHostDir();
  WriteHostFile(folder + "/machine.conf", "dpi=96\n");
  winsim::ConfigWatch watch;  // the threads take turns, as under the owner's lock
  ASSERT_TRUE(watch.Arm(folder));
  int go[2], done[2];
  ASSERT_EQ(0, pipe2(go, O_CLOEXEC));
  ASSERT_EQ(0, pipe2(done, O_CLOEXEC));
  bool sawFirst = false, sawSecond = true;
  std::thread other([&] {
    AskUntilQuiet(watch);
    char c;
    ASSERT_EQ(1, write(done[1], "r", 1));
    // Asleep in the kernel while the main thread changes the file.
    ASSERT_EQ(1, read(go[0], &c, 1));
    sawFirst = watch.SawChange();
    sawSecond = watch.SawChange();
  });
  char c;
  ASSERT_EQ(1, read(done[0], &c, 1));
  AskUntilQuiet(watch);
  WriteHostFile(folder + "/machine.conf", "dpi=120\n");
  ASSERT_EQ(1, write(go[1], "g", 1));
  other.join();
  EXPECT_TRUE(sawFirst);
  EXPECT_FALSE(sawSecond);
  // The other thread took the news: the queue, shared, holds nothing more.
  EXPECT_FALSE(watch.SawChange());
  for (int fd : {go[0], go[1], done[0], done[1]}) close(fd);
}

}  // namespace
