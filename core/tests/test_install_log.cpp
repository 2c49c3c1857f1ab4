// The install log: line format, CR LF line ends, rotation past 5,000,000
// bytes, and silence when the log cannot be written.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <regex>
#include <string>

#include "InstallLog.h"
#include "machine_fixture.h"
#include "winsim/machine.h"

namespace {

using winsim::testing::FreshMachine;
using winsim::testing::HostExists;
using winsim::testing::ReadHostFile;
using winsim::testing::WriteHostFile;

class InstallLog : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = FreshMachine();
    log_ = root_ + "/drive_c/Windows/System32/VelGTCInstall.log";
  }
  std::string root_, log_;
};

// "yyyy-mm-dd hh:mm:ss " is 20 bytes; every line ends in CR LF.
constexpr size_t kStampSize = 20;

TEST_F(InstallLog, LineFormat) {
  WriteLog("CProgressDlg::OnInitDialog  IN");
  WriteLog("FileCopy : %s -> %s", "a", "b");
  WriteLog("%s", "설치 완료");
  const std::string text = ReadHostFile(log_);
  const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (.*)\r\n)");
  std::vector<std::string> messages;
  for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it) messages.push_back((*it)[1]);
  ASSERT_EQ(3u, messages.size()) << text;
  EXPECT_EQ("CProgressDlg::OnInitDialog  IN", messages[0]);
  EXPECT_EQ("FileCopy : a -> b", messages[1]);
  EXPECT_EQ("\xBC\xB3\xC4\xA1 \xBF\xCF\xB7\xE1", messages[2]) << "Korean text reaches the file in code page 949";
}

// Texts around the size that is formatted without the heap, and line
// breaks inside them, reach the file whole, with CR LF for every LF.
TEST_F(InstallLog, TextOfEveryLengthKeepsItsBytes) {
  struct Row {
    const char* name;
    std::string text;
  };
  const Row rows[] = {
      {"empty", ""},
      {"one short of the stack buffer", std::string(1022, 'a') + "\n"},
      {"filling it", std::string(1023, 'b') + "\n"},
      {"one past it", std::string(1024, 'c') + "\n"},
      {"long, breaks inside", std::string(3000, 'd') + "\n\n" + std::string(2000, 'e')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    unlink(log_.c_str());
    WriteLog("%s", row.text.c_str());
    std::string expected;
    for (char ch : row.text + "\n") expected += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    const std::string text = ReadHostFile(log_);
    ASSERT_EQ(kStampSize + expected.size(), text.size());
    EXPECT_EQ(' ', text[kStampSize - 1]);
    EXPECT_TRUE(text.compare(kStampSize, std::string::npos, expected) == 0) << "the text after the stamp";
  }
}

TEST_F(InstallLog, RotatesOnlyPastTheLimit) {
  const std::string message = "x";
  const size_t lineSize = kStampSize + message.size() + 2;
  struct Row {
    const char* name;
    size_t before;   // log size before the call
    bool rotated;
  };
  const Row rows[] = {
      {"ends exactly at the limit", 5000000 - lineSize, false},
      {"one byte past the limit", 5000000 - lineSize + 1, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    unlink((log_ + ".0").c_str());
    WriteHostFile(log_, std::string(row.before, 'a'));
    WriteLog("%s", message.c_str());
    EXPECT_EQ(row.rotated, HostExists(log_ + ".0"));
    if (row.rotated) {
      EXPECT_FALSE(HostExists(log_)) << "the log moves away whole";
      EXPECT_EQ(row.before + lineSize, ReadHostFile(log_ + ".0").size());
      WriteLog("next");
      EXPECT_EQ(kStampSize + 6, ReadHostFile(log_).size()) << "the next line starts a new log";
    } else {
      EXPECT_EQ(5000000u, ReadHostFile(log_).size());
    }
  }
}

TEST_F(InstallLog, RotationReplacesTheOlderGeneration) {
  WriteHostFile(log_ + ".0", "old generation");
  WriteHostFile(log_, std::string(5000000, 'a'));
  WriteLog("over");
  EXPECT_NE("old generation", ReadHostFile(log_ + ".0"));
  EXPECT_FALSE(HostExists(log_ + ".1"));
}

// The log stays open between lines; whatever happens to the file between
// two lines, the second still reaches the log at the system folder's path.
TEST_F(InstallLog, NextLineFindsTheLogAfterItWasMoved) {
  struct Row {
    const char* name;
    void (*change)(const std::string& log);
    bool firstLineKept;  // the first line is still in the log afterwards
  };
  const Row rows[] = {
      {"nothing happened", [](const std::string&) {}, true},
      {"deleted", [](const std::string& log) { unlink(log.c_str()); }, false},
      {"renamed away", [](const std::string& log) { renameat(AT_FDCWD, log.c_str(), AT_FDCWD, (log + ".old").c_str()); }, false},
      {"replaced by a new file", [](const std::string& log) {
         WriteHostFile(log + ".new", "");
         renameat(AT_FDCWD, (log + ".new").c_str(), AT_FDCWD, log.c_str());
       }, false},
      {"emptied in place", [](const std::string& log) { truncate(log.c_str(), 0); }, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    unlink(log_.c_str());
    WriteLog("first");
    row.change(log_);
    WriteLog("second");
    const std::string text = ReadHostFile(log_);
    EXPECT_EQ(row.firstLineKept, text.find(" first\r\n") != std::string::npos) << text;
    EXPECT_EQ(text.size() - 8, text.find(" second\r\n") + 1) << "the last line, appended";
  }
}

TEST_F(InstallLog, LinesFollowTheMachine) {
  WriteLog("on the first machine");
  const std::string firstLog = log_;
  SetUp();  // another machine folder
  WriteLog("on the second machine");
  EXPECT_EQ(std::string::npos, ReadHostFile(firstLog).find("second machine"));
  EXPECT_NE(std::string::npos, ReadHostFile(log_).find("on the second machine"));
}

TEST_F(InstallLog, UnwritableLogIsSilent) {
  ASSERT_TRUE(winsim::SetConfigValue("admin", "0", nullptr));
  WriteLog("dropped");
  EXPECT_FALSE(HostExists(log_)) << "a standard user cannot write the system folder";
}

}  // namespace
