// Several threads of one process append to one log file at once, as the
// install log is written from the worker thread and the main thread.
#include <atomic>
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

// Threads share one reading stream while another keeps calling _flushall
// and opening and closing streams of its own: every line is read whole
// and once, and _flushall never waits on a stream being closed.
TEST_F(CrtThreads, SharedReadingStreamWithFlushall) {
  const std::string dir = Folder("sharedread");
  const std::string path = In(dir, "lines.txt");
  constexpr int kLines = 3000;
  std::string text;
  for (int i = 0; i < kLines; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "line %04d\r\n", i);
    text += line;
  }
  PutFile(path, text);
  FILE* f = fopen(path.c_str(), "r");
  ASSERT_NE(nullptr, f);
  constexpr int kReaders = 3;
  std::vector<std::vector<std::string>> seen(kReaders);
  std::atomic<bool> done{false};
  std::thread churn([&] {
    const std::string other = In(dir, "other.txt");
    while (!done) {
      _flushall();
      if (FILE* g = fopen(other.c_str(), "a+")) {
        fputs("x\n", g);
        fclose(g);
      }
    }
  });
  std::vector<std::thread> readers;
  for (int t = 0; t < kReaders; ++t) {
    readers.emplace_back([f, &seen, t] {
      char line[32];
      while (fgets(line, sizeof line, f)) seen[t].push_back(line);
    });
  }
  for (auto& t : readers) t.join();
  done = true;
  churn.join();
  fclose(f);
  std::vector<int> count(kLines, 0);
  int malformed = 0;
  for (const auto& lines : seen) {
    for (const std::string& line : lines) {
      int n = -1;
      if (line.size() == 10 && std::sscanf(line.c_str(), "line %4d\n", &n) == 1 && n >= 0 && n < kLines) ++count[n];
      else ++malformed;
    }
  }
  EXPECT_EQ(0, malformed);
  for (int i = 0; i < kLines; ++i) EXPECT_EQ(1, count[i]) << "line " << i;
}

}  // namespace
}  // namespace files_test
