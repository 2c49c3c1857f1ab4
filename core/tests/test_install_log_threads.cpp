// The install log written from several threads at once: every line whole,
// nothing lost, and one rotation when they cross the limit together.
#include <gtest/gtest.h>
#include <unistd.h>

#include <latch>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "InstallLog.h"
#include "machine_fixture.h"

namespace {

using winsim::testing::FreshMachine;
using winsim::testing::HostExists;
using winsim::testing::ReadHostFile;
using winsim::testing::WriteHostFile;

constexpr size_t kStampSize = 20;  // "yyyy-mm-dd hh:mm:ss "

// Runs `body(thread index)` on `threads` threads released together.
template <typename Body>
void RunTogether(int threads, Body body) {
  std::latch start(threads);
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      start.arrive_and_wait();
      body(t);
    });
  }
  for (auto& w : workers) w.join();
}

// The messages of a log text, split at its CR LF line ends.
std::vector<std::string> Messages(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      out.push_back("<unterminated>" + text.substr(at));
      break;
    }
    out.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

class InstallLogThreads : public ::testing::Test {
 protected:
  void SetUp() override { log_ = FreshMachine() + "/drive_c/Windows/System32/VelGTCInstall.log"; }
  std::string log_;
};

TEST_F(InstallLogThreads, LongLinesNeverMix) {
  constexpr int kThreads = 4;
  constexpr int kLines = 40;
  constexpr size_t kLength = 20000;
  RunTogether(kThreads, [&](int t) {
    const std::string message(kLength, static_cast<char>('A' + t));
    for (int i = 0; i < kLines; ++i) WriteLog("%s", message.c_str());
  });
  std::map<char, int> counts;
  for (const auto& line : Messages(ReadHostFile(log_))) {
    ASSERT_EQ(kStampSize + kLength, line.size()) << line.substr(0, 60);
    const char letter = line[kStampSize];
    ASSERT_EQ(std::string(kLength, letter), line.substr(kStampSize)) << "a line holds another thread's text";
    ++counts[letter];
  }
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(kLines, counts[static_cast<char>('A' + t)]) << t;
}

TEST_F(InstallLogThreads, CrossingTheLimitTogetherRotatesOnce) {
  constexpr int kThreads = 8;
  constexpr int kLines = 30;
  const std::string filler = std::string(4999000, 'f') + "\r\n";
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    unlink((log_ + ".0").c_str());
    WriteHostFile(log_, filler);
    RunTogether(kThreads, [&](int t) {
      for (int i = 0; i < kLines; ++i) WriteLog("T%d L%02d %s", t, i, std::string(200, 'x').c_str());
    });
    // Everything is in the two generations: the older one begins with the
    // filler, so it was moved aside once, and no line went missing.
    const std::string older = ReadHostFile(log_ + ".0");
    ASSERT_EQ(0u, older.rfind(filler, 0)) << "the older generation was replaced by a newer one";
    std::map<std::string, int> seen;
    for (const auto& text : {older.substr(filler.size()), ReadHostFile(log_)}) {
      for (const auto& line : Messages(text)) ++seen[line.substr(kStampSize, 7)];
    }
    ASSERT_EQ(static_cast<size_t>(kThreads * kLines), seen.size());
    for (const auto& [key, count] : seen) ASSERT_EQ(1, count) << key;
    EXPECT_LT(ReadHostFile(log_).size(), 5000000u);
  }
}

}  // namespace
