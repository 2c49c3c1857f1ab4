// The doorbell rings when its descriptor becomes readable, for the thread
// that armed it whichever thread made it readable; a forked child's close
// leaves the parent's doorbell armed; and the ring keeps the file open
// after its owner closed it. Skipped where the host gives no io_uring.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "io_uring_probe.h"
#include "ready_doorbell.h"

namespace {

struct Pipe {
  int fds[2] = {-1, -1};
  Pipe() { EXPECT_EQ(0, pipe2(fds, O_CLOEXEC | O_NONBLOCK)); }
  ~Pipe() {
    for (int fd : fds)
      if (fd >= 0) close(fd);
  }
  void Put() { ASSERT_EQ(1, write(fds[1], "x", 1)); }
  void Take() {
    char c = 0;
    ASSERT_EQ(1, read(fds[0], &c, 1));
  }
};

#define SKIP_WITHOUT_IO_URING() \
  if (!kernel_test::HostHasIoUring()) GTEST_SKIP() << "the host gives no io_uring"

TEST(ReadyDoorbell, RingsWhileTheDescriptorIsReadable) {
  SKIP_WITHOUT_IO_URING();
  Pipe pipe;
  winsim::ReadyDoorbell bell;
  ASSERT_TRUE(bell.Open(pipe.fds[0]));
  EXPECT_FALSE(bell.Rang());
  pipe.Put();
  EXPECT_TRUE(bell.Rang());
  EXPECT_TRUE(bell.Rang()) << "a look takes nothing away";
  // Armed again with the byte still there: rings at once.
  ASSERT_TRUE(bell.Rearm());
  EXPECT_TRUE(bell.Rang());
  pipe.Take();
  ASSERT_TRUE(bell.Rearm());
  EXPECT_FALSE(bell.Rang());
  pipe.Put();
  EXPECT_TRUE(bell.Rang());
}

TEST(ReadyDoorbell, RingsForTheThreadThatArmedItWhenAnotherMadeTheChange) {
  SKIP_WITHOUT_IO_URING();
  Pipe watched, wake;
  winsim::ReadyDoorbell bell;
  bool opened = false, after = false;
  std::thread owner([&] {
    opened = bell.Open(watched.fds[0]);
    // Asleep in the kernel while the other thread writes.
    pollfd wait{wake.fds[0], POLLIN, 0};
    poll(&wait, 1, -1);
    after = bell.Rang();
  });
  // Written while the owner may be anywhere: before, in or after its sleep.
  watched.Put();
  wake.Put();
  owner.join();
  ASSERT_TRUE(opened);
  EXPECT_TRUE(after);
}

TEST(ReadyDoorbell, ForkedChildClosingItsCopyLeavesTheParentArmed) {
  SKIP_WITHOUT_IO_URING();
  Pipe pipe;
  winsim::ReadyDoorbell bell;
  ASSERT_TRUE(bell.Open(pipe.fds[0]));
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    bell.Close();
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  EXPECT_FALSE(bell.Rang());
  pipe.Put();
  EXPECT_TRUE(bell.Rang());
}

TEST(ReadyDoorbell, TheRingKeepsTheFileAfterItsOwnerClosedIt) {
  SKIP_WITHOUT_IO_URING();
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &old);
  for (bool armed : {false, true}) {
    SCOPED_TRACE(armed ? "armed" : "held");
    Pipe pipe;
    winsim::ReadyDoorbell bell;
    ASSERT_TRUE(armed ? bell.Open(pipe.fds[0]) : bell.Hold(pipe.fds[0]));
    close(pipe.fds[0]);
    pipe.fds[0] = -1;
    // The read end is still open in the ring: a write finds a reader.
    EXPECT_EQ(1, write(pipe.fds[1], "x", 1));
    bell.Close();
    // The kernel lets go of it in the background, soon.
    bool gone = false;
    for (int i = 0; i < 2000 && !gone; ++i) {
      gone = write(pipe.fds[1], "x", 1) < 0 && errno == EPIPE;
      if (!gone) usleep(1000);
    }
    EXPECT_TRUE(gone);
  }
  sigaction(SIGPIPE, &old, nullptr);
}

}  // namespace
