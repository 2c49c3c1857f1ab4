// Several threads of one process append to one log file at once, as the
// install log is written from the worker thread and the main thread.
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "files_test_support.h"
#include "windows.h"

namespace files_test {
namespace {

class CrtThreads : public FilesTest {};

// Several threads log at once, each line through its own open, write,
// flush, close: every line arrives whole.
TEST_F(CrtThreads, ConcurrentAppendsKeepLinesWhole) {
  const std::string path = In(Folder("threads"), "threads.log");
  constexpr int kThreads = 4;
  constexpr int kLines = 50;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&path, t] {
      for (int i = 0; i < kLines; ++i) {
        FILE* f = fopen(path.c_str(), "a");
        if (!f) continue;
        fprintf(f, "thread %d line %02d padding-padding-padding\n", t, i);
        fflush(f);
        fclose(f);
      }
    });
  }
  for (auto& t : threads) t.join();
  const std::string bytes = FileBytes(path);
  const std::string one = "thread 0 line 00 padding-padding-padding\r\n";
  EXPECT_EQ(one.size() * kThreads * kLines, bytes.size());
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kLines; ++i) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "thread %d line %02d padding-padding-padding\r\n", t, i);
      EXPECT_NE(std::string::npos, bytes.find(expected)) << expected;
    }
  }
}

// Threads each with a stream of their own write a line in two calls and
// flush it: the buffer sends the line out in one piece, so no other line
// lands inside it.
TEST_F(CrtThreads, LinesOfTwoCallsStayWhole) {
  const std::string path = In(Folder("twocalls"), "twocalls.log");
  constexpr int kThreads = 4;
  constexpr int kLines = 100;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&path, t] {
      FILE* f = fopen(path.c_str(), "a");
      if (!f) return;
      for (int i = 0; i < kLines; ++i) {
        fprintf(f, "thread %d line %03d ", t, i);
        fprintf(f, "second half\n");
        fflush(f);
      }
      fclose(f);
    });
  }
  for (auto& t : threads) t.join();
  const std::string bytes = FileBytes(path);
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kLines; ++i) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "thread %d line %03d second half\r\n", t, i);
      EXPECT_NE(std::string::npos, bytes.find(expected)) << expected;
    }
  }
}

// One stream shared by threads: its lock keeps the text of each call whole.
TEST_F(CrtThreads, SharedStreamKeepsEachCallWhole) {
  const std::string path = In(Folder("shared"), "shared.log");
  FILE* f = fopen(path.c_str(), "a");
  ASSERT_NE(nullptr, f);
  constexpr int kThreads = 4;
  constexpr int kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([f, t] {
      for (int i = 0; i < kLines; ++i) fprintf(f, "thread %d line %03d of one call\n", t, i);
    });
  }
  for (auto& t : threads) t.join();
  fclose(f);
  const std::string bytes = FileBytes(path);
  const std::string one = "thread 0 line 000 of one call\r\n";
  EXPECT_EQ(one.size() * kThreads * kLines, bytes.size());
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kLines; ++i) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "thread %d line %03d of one call\r\n", t, i);
      EXPECT_NE(std::string::npos, bytes.find(expected)) << expected;
    }
  }
}

}  // namespace
}  // namespace files_test
