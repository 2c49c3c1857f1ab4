// The entries of a search, described on the caller's thread or ahead of it.
#include "found_entries.h"

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files_test_support.h"

namespace files_test {
namespace {

using winsim::files::FoundEntries;
using winsim::files::PendingEntry;

bool IsGone(int index, int gone) { return gone && index % gone == gone - 1; }

// `count` entries of `folder`; with `gone`, every gone-th entry (the last
// of each run of `gone`) has no file.
std::vector<PendingEntry> Entries(const std::string& folder, int count, int gone) {
  std::vector<PendingEntry> pending;
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%05d", i);
    const std::string windows = folder + "\\" + name;
    if (!IsGone(i, gone)) PutFile(windows, std::string(static_cast<size_t>(i % 5), 'y'));
    pending.push_back({Host(windows), name, i % 2 ? "" : "ALT"});
  }
  return pending;
}

// The names and sizes Next hands out, at most `limit`.
std::vector<std::string> Taken(FoundEntries& entries, size_t limit = SIZE_MAX) {
  std::vector<std::string> taken;
  WIN32_FIND_DATAA data;
  while (taken.size() < limit) {
    std::memset(&data, 0xCC, sizeof data);
    if (!entries.Next(&data)) break;
    taken.push_back(std::string(data.cFileName) + "/" + data.cAlternateFileName + "/" +
                    std::to_string(data.nFileSizeLow));
  }
  return taken;
}

std::vector<std::string> Expected(int count, int gone) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) {
    if (IsGone(i, gone)) continue;
    char name[32];
    std::snprintf(name, sizeof name, "f%05d", i);
    out.push_back(std::string(name) + "/" + (i % 2 ? "" : "ALT") + "/" + std::to_string(i % 5));
  }
  return out;
}

class FoundEntriesTest : public FilesTest {};

TEST_F(FoundEntriesTest, EntriesInOrderWithoutThoseGone) {
  struct Row {
    const char* name;
    int count;
    int gone;  // every gone-th entry has no file; 0: none
    bool ahead;
  };
  const std::vector<Row> rows = {
      {"none", 0, 0, false},
      {"small", 9, 0, false},
      {"small, some gone", 9, 3, false},
      {"all gone", 3, 1, false},
      {"large", 500, 0, true},
      {"large, some gone", 500, 4, true},
      {"one below the threshold", static_cast<int>(FoundEntries::kDescribeAheadFrom) - 1, 0, false},
      {"at the threshold", static_cast<int>(FoundEntries::kDescribeAheadFrom), 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string folder = Folder(std::string("found ") + row.name);
    FoundEntries entries(Entries(folder, row.count, row.gone));
    EXPECT_EQ(row.ahead, entries.DescribingAhead());
    EXPECT_EQ(Expected(row.count, row.gone), Taken(entries));
    WIN32_FIND_DATAA data;
    EXPECT_FALSE(entries.Next(&data));
  }
}

// A search left early stops its thread; what was taken is right.
TEST_F(FoundEntriesTest, LeftWhileDescribing) {
  const std::vector<PendingEntry> pending = Entries(Folder("left"), 400, 0);
  for (int round = 0; round < 20; ++round) {
    FoundEntries entries(pending);
    EXPECT_EQ(Expected(2, 0), Taken(entries, 2));
  }
}

// A forked child has no describing thread: it describes the rest itself.
TEST_F(FoundEntriesTest, ForkedChildTakesTheRest) {
  const std::string folder = Folder("forked");
  FoundEntries entries(Entries(folder, 1000, 7));
  ASSERT_TRUE(entries.DescribingAhead());
  const std::vector<std::string> all = Expected(1000, 7);
  ASSERT_EQ(std::vector<std::string>(all.begin(), all.begin() + 1), Taken(entries, 1));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    alarm(10);  // a child waiting for a thread it does not have would hang
    std::vector<std::string> rest = Taken(entries);
    _exit(rest == std::vector<std::string>(all.begin() + 1, all.end()) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(std::vector<std::string>(all.begin() + 1, all.end()), Taken(entries));
}

}  // namespace
}  // namespace files_test
