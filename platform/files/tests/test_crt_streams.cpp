// C-runtime streams on Windows paths: fopen (routed here by the link),
// text-mode translation, append mode and ftell, remove and rename.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files_test_support.h"
#include "machine_fixture.h"
#include "windows.h"

namespace files_test {
namespace {

class CrtStreams : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    dir_ = Folder("stdio");
  }
  std::string Path(const char* name) const { return In(dir_, name); }
  std::string dir_;
};

TEST_F(CrtStreams, AppendToANewFile) {
  const std::string path = Path("new.log");
  FILE* f = fopen(path.c_str(), "a");
  ASSERT_NE(nullptr, f);
  EXPECT_EQ(0L, ftell(f));
  EXPECT_EQ(5, fprintf(f, "%s", "line\n"));
  EXPECT_EQ(6L, ftell(f));  // counts the CR that translation added
  EXPECT_EQ(0, fflush(f));
  EXPECT_EQ(6L, ftell(f));
  EXPECT_EQ(0, fclose(f));
  EXPECT_EQ("line\r\n", FileBytes(path));
  EXPECT_EQ(0x20u, GetFileAttributesA(path.c_str()));
}

TEST_F(CrtStreams, AppendToAnExistingFile) {
  const std::string path = Path("existing.log");
  PutFile(path, "12345\n");
  FILE* f = fopen(path.c_str(), "a");
  ASSERT_NE(nullptr, f);
  EXPECT_EQ(0L, ftell(f));  // before the first write: the start
  fprintf(f, "%s", "abcdefghijklmnopqrstuvwxyz");
  fputc('\n', f);
  fflush(f);
  EXPECT_EQ(34L, ftell(f));  // the whole file, in bytes after translation
  fclose(f);
  EXPECT_EQ("12345\nabcdefghijklmnopqrstuvwxyz\r\n", FileBytes(path));
}

TEST_F(CrtStreams, SuccessiveOpensReportTheGrowingSize) {
  const std::string path = Path("grow.log");
  const long expected[] = {7, 14, 21};
  for (long size : expected) {
    SCOPED_TRACE(size);
    FILE* f = fopen(path.c_str(), "a");
    ASSERT_NE(nullptr, f);
    fprintf(f, "12345\n");
    fflush(f);
    EXPECT_EQ(size, ftell(f));
    fclose(f);
  }
  EXPECT_EQ("12345\r\n12345\r\n12345\r\n", FileBytes(path));
}

TEST_F(CrtStreams, AppendLandsAtTheRealEnd) {
  const std::string path = Path("shared.log");
  PutFile(path, "start\n");
  FILE* ours = fopen(path.c_str(), "a");
  ASSERT_NE(nullptr, ours);
  FILE* other = fopen(path.c_str(), "ab");
  ASSERT_NE(nullptr, other);
  fwrite("0123456789", 1, 10, other);  // another writer appends after our fopen
  fclose(other);
  fprintf(ours, "12345\n");
  fflush(ours);
  EXPECT_EQ(23L, ftell(ours));
  fclose(ours);
  EXPECT_EQ("start\n012345678912345\r\n", FileBytes(path));
}

TEST_F(CrtStreams, TextModeWriteRows) {
  struct Row {
    const char* name;
    const char* mode;
    std::string text;
    std::string bytes;
    long position;
  };
  const std::vector<Row> rows = {
      {"CR kept, LF expanded", "a", "a\r\nb", "a\r\r\nb", 5},
      {"CP949 text", "a", "\xC7\xD1\xB1\xDB\n", "\xC7\xD1\xB1\xDB\r\n", 6},
      {"Ctrl+Z written as is", "a", std::string("x\x1Ay"), std::string("x\x1Ay"), 3},
      {"binary append", "ab", "x\n", "x\n", 2},
      {"text write", "w", "p\nq\n", "p\r\nq\r\n", 6},
      {"text write, explicit t", "wt", "p\n", "p\r\n", 3},
      {"binary write", "wb", "p\nq\n", "p\nq\n", 4},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = Path(("rows" + std::to_string(n++) + ".txt").c_str());
    FILE* f = fopen(path.c_str(), row.mode);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(static_cast<int>(row.text.size()), fprintf(f, "%s", row.text.c_str()));
    fflush(f);
    EXPECT_EQ(row.position, ftell(f));
    fclose(f);
    EXPECT_EQ(row.bytes, FileBytes(path));
  }
}

TEST_F(CrtStreams, TextModeRead) {
  const std::string path = Path("read.txt");
  PutFile(path, std::string("one\r\ntwo\rthree\n\r\nend\x1Ahidden"));
  FILE* f = fopen(path.c_str(), "r");
  ASSERT_NE(nullptr, f);
  char line[64];
  ASSERT_NE(nullptr, fgets(line, sizeof line, f));
  EXPECT_STREQ("one\n", line);
  EXPECT_EQ(5L, ftell(f));  // a position in the file's bytes
  ASSERT_NE(nullptr, fgets(line, sizeof line, f));
  EXPECT_STREQ("two\rthree\n", line);  // a lone CR stays
  ASSERT_NE(nullptr, fgets(line, sizeof line, f));
  EXPECT_STREQ("\n", line);
  ASSERT_NE(nullptr, fgets(line, sizeof line, f));
  EXPECT_STREQ("end", line);  // Ctrl+Z ends a text stream
  EXPECT_EQ(nullptr, fgets(line, sizeof line, f));
  EXPECT_TRUE(feof(f));
  EXPECT_EQ(0, fseek(f, 5, SEEK_SET));
  EXPECT_EQ('t', fgetc(f));
  fclose(f);

  f = fopen(path.c_str(), "rb");
  ASSERT_NE(nullptr, f);
  char all[64] = {};
  EXPECT_EQ(27u, fread(all, 1, sizeof all, f));  // everything, Ctrl+Z included
  EXPECT_EQ(0, std::memcmp(all, "one\r\ntwo", 8));
  fclose(f);
}

TEST_F(CrtStreams, ReadAndUpdate) {
  const std::string path = Path("update.txt");
  PutFile(path, "abc\r\ndef\r\n");
  FILE* f = fopen(path.c_str(), "r+");
  ASSERT_NE(nullptr, f);
  char line[16];
  ASSERT_NE(nullptr, fgets(line, sizeof line, f));
  EXPECT_STREQ("abc\n", line);
  EXPECT_EQ(0, fseek(f, 0, SEEK_CUR));
  fputs("X\n", f);
  fclose(f);
  EXPECT_EQ("abc\r\nX\r\n\r\n", FileBytes(path));

  f = fopen(path.c_str(), "a+");
  ASSERT_NE(nullptr, f);
  ASSERT_NE(nullptr, fgets(line, sizeof line, f));  // reading starts at the beginning
  EXPECT_STREQ("abc\n", line);
  EXPECT_EQ(0, fseek(f, 0, SEEK_CUR));
  fputs("tail\n", f);
  fclose(f);
  EXPECT_EQ("abc\r\nX\r\n\r\ntail\r\n", FileBytes(path));
}

TEST_F(CrtStreams, OpenFailures) {
  PutFile(Path("ro.log"), "ro");
  MarkAttributes(Path("ro.log"), FILE_ATTRIBUTE_READONLY);
  PutFile(Path("exists.txt"), "e");
  const std::string longName = In(dir_, std::string(300, 'x'));
  struct Row {
    const char* name;
    std::string path;
    const char* mode;
    int error;
  };
  const std::vector<Row> rows = {
      {"append to a read-only file", Path("ro.log"), "a", EACCES},
      {"write a read-only file", Path("ro.log"), "w", EACCES},
      {"update a read-only file", Path("ro.log"), "r+", EACCES},
      {"append in a missing folder", Path("nodir\\x.log"), "a", ENOENT},
      {"read a missing file", Path("missing.txt"), "r", ENOENT},
      {"open a folder", dir_, "r", EACCES},
      {"exclusive create over a file", Path("exists.txt"), "wx", EEXIST},
      {"empty name", "", "a", EINVAL},
      {"bad mode", Path("exists.txt"), "q", EINVAL},
      {"bad mode letter", Path("exists.txt"), "rz", EINVAL},
      {"invalid name", Path("a|b"), "w", EINVAL},
      {"over-long name", longName, "w", ENOENT},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    errno = 0;
    FILE* f = fopen(row.path.c_str(), row.mode);
    EXPECT_EQ(nullptr, f);
    EXPECT_EQ(row.error, errno);
    if (f) fclose(f);
  }
  EXPECT_EQ("ro", FileBytes(Path("ro.log")));
  EXPECT_EQ("e", FileBytes(Path("exists.txt")));
  errno = 0;
  EXPECT_EQ(nullptr, fopen(nullptr, "r"));
  EXPECT_EQ(EINVAL, errno);
  errno = 0;
  EXPECT_EQ(nullptr, fopen(Path("exists.txt").c_str(), nullptr));
  EXPECT_EQ(EINVAL, errno);
  // A handle that shares only reading keeps writers out.
  HANDLE h = CreateFileA(Path("exists.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  errno = 0;
  EXPECT_EQ(nullptr, fopen(Path("exists.txt").c_str(), "a"));
  EXPECT_EQ(EACCES, errno);
  FILE* reader = fopen(Path("exists.txt").c_str(), "r");
  EXPECT_NE(nullptr, reader);
  if (reader) fclose(reader);
  CloseFile(h);
}

TEST_F(CrtStreams, HiddenFilesAndKoreanNames) {
  const std::string hidden = Path("hidden.log");
  PutFile(hidden, "old\r\n");
  MarkAttributes(hidden, FILE_ATTRIBUTE_HIDDEN);
  FILE* f = fopen(hidden.c_str(), "w");  // the runtime truncates a hidden file
  ASSERT_NE(nullptr, f);
  fputs("new\n", f);
  fclose(f);
  EXPECT_EQ("new\r\n", FileBytes(hidden));
  EXPECT_EQ(0x22u, GetFileAttributesA(hidden.c_str()));

  const std::string korean = Path("\xC7\xD1\xB1\xDB.log");
  f = fopen(korean.c_str(), "a");
  ASSERT_NE(nullptr, f);
  fputs("\xC7\xD1\n", f);
  fclose(f);
  EXPECT_EQ("\xC7\xD1\r\n", winsim::testing::ReadHostFile(Host(dir_) + "/\xed\x95\x9c\xea\xb8\x80.log"));
}

TEST_F(CrtStreams, RootedNameLandsOnTheCurrentDrive) {
  ASSERT_TRUE(CreateDirectoryA("C:\\probe\\stdio\\rooted", nullptr));
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
  FILE* f = fopen("\\probe\\stdio\\rooted\\rooted.txt", "a");
  ASSERT_NE(nullptr, f);
  fputs("r\n", f);
  fclose(f);
  EXPECT_EQ("r\r\n", FileBytes("C:\\probe\\stdio\\rooted\\rooted.txt"));
}

TEST_F(CrtStreams, StandardUserCannotWriteProtectedFolders) {
  PutFile("C:\\Windows\\System32\\existing.log", "sys\r\n");
  StandardUser user;
  errno = 0;
  EXPECT_EQ(nullptr, fopen("C:\\Windows\\System32\\VelGTCInstall.log", "a"));
  EXPECT_EQ(EACCES, errno);
  EXPECT_FALSE(Exists("C:\\Windows\\System32\\VelGTCInstall.log"));
  errno = 0;
  EXPECT_EQ(nullptr, fopen("C:\\Windows\\System32\\existing.log", "a"));
  EXPECT_EQ(EACCES, errno);
  FILE* f = fopen("C:\\Windows\\System32\\existing.log", "r");
  ASSERT_NE(nullptr, f);
  char line[16];
  EXPECT_STREQ("sys\n", fgets(line, sizeof line, f));
  fclose(f);
  errno = 0;
  EXPECT_EQ(-1, remove("C:\\Windows\\System32\\existing.log"));
  EXPECT_EQ(EACCES, errno);
}

TEST_F(CrtStreams, RemoveAndRename) {
  PutFile(Path("a.txt"), "a");
  PutFile(Path("b.txt"), "b");
  PutFile(Path("ro.txt"), "ro");
  MarkAttributes(Path("ro.txt"), FILE_ATTRIBUTE_READONLY);
  errno = 0;
  EXPECT_EQ(-1, rename(Path("a.txt").c_str(), Path("B.TXT").c_str()));
  EXPECT_EQ(EEXIST, errno);
  EXPECT_EQ(0, rename(Path("a.txt").c_str(), Path("c.txt").c_str()));
  EXPECT_EQ("a", FileBytes(Path("c.txt")));
  errno = 0;
  EXPECT_EQ(-1, rename(Path("missing.txt").c_str(), Path("d.txt").c_str()));
  EXPECT_EQ(ENOENT, errno);
  errno = 0;
  EXPECT_EQ(-1, remove(Path("ro.txt").c_str()));
  EXPECT_EQ(EACCES, errno);
  errno = 0;
  EXPECT_EQ(-1, remove(Path("missing.txt").c_str()));
  EXPECT_EQ(ENOENT, errno);
  errno = 0;
  EXPECT_EQ(-1, remove(dir_.c_str()));  // not a file
  EXPECT_EQ(EACCES, errno);
  EXPECT_EQ(0, remove(Path("c.txt").c_str()));
  EXPECT_FALSE(Exists(Path("c.txt")));
  errno = 0;
  EXPECT_EQ(-1, remove(nullptr));
  EXPECT_EQ(EINVAL, errno);
}

}  // namespace
}  // namespace files_test
