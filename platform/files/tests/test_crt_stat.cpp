// _stat64i32 on Windows paths.
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "crt_msvc.h"
#include "files_test_support.h"
#include "windows.h"

// GoogleTest brings in <sys/stat.h>, whose st_mtime macro would rename the
// member of the runtime's structure in this file.
#undef st_mtime

namespace files_test {
namespace {

class CrtStat : public FilesTest {};

TEST_F(CrtStat, Rows) {
  const std::string dir = Folder("stat");
  PutFile(In(dir, "file.txt"), "12345");
  PutFile(In(dir, "ro.txt"), "r");
  MarkAttributes(In(dir, "ro.txt"), FILE_ATTRIBUTE_READONLY);
  PutFile(In(dir, "setup.exe"), "MZ");
  Folder("stat\\sub");
  const std::string longPath = In(dir, std::string(1000, 's'));
  struct Row {
    const char* name;
    std::string path;
    int result;
    int error;            // errno when result is -1
    unsigned short mode;  // when result is 0
  };
  const std::vector<Row> rows = {
      {"file", In(dir, "file.txt"), 0, 0, 0100666},
      {"folder", In(dir, "sub"), 0, 0, 040777},
      {"other case", "c:\\PROBE\\STAT\\FILE.TXT", 0, 0, 0100666},
      {"read-only file", In(dir, "ro.txt"), 0, 0, 0100444},
      {"program", In(dir, "setup.exe"), 0, 0, 0100777},
      {"folder with trailing backslash", In(dir, "sub\\"), -1, ENOENT, 0},
      {"file with trailing backslash", In(dir, "file.txt\\"), -1, ENOENT, 0},
      {"drive root", "C:\\", 0, 0, 040777},
      {"bare drive", "C:", -1, ENOENT, 0},
      {"empty", "", -1, ENOENT, 0},
      {"wildcard", In(dir, "*.txt"), -1, ENOENT, 0},
      {"missing", In(dir, "missing.txt"), -1, ENOENT, 0},
      {"missing folder", In(dir, "nodir\\x"), -1, ENOENT, 0},
      {"forward slashes", "C:/probe/stat/file.txt", 0, 0, 0100666},
      {"1000 characters", longPath, -1, ENOENT, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    struct _stat64i32 st;
    std::memset(&st, 0xCC, sizeof st);
    errno = 0;
    EXPECT_EQ(row.result, _stat64i32(row.path.c_str(), &st));
    if (row.result == 0) {
      EXPECT_EQ(row.mode, st.st_mode);
      EXPECT_EQ(2u, st.st_dev);  // drive C:
    } else {
      EXPECT_EQ(row.error, errno);
    }
  }
}

TEST_F(CrtStat, SizeAndTimes) {
  const std::string path = In(Folder("times"), "f.bin");
  PutFile(path, std::string(4321, 'x'));
  struct _stat64i32 st;
  std::memset(&st, 0xCC, sizeof st);
  ASSERT_EQ(0, _stat64i32(path.c_str(), &st));
  EXPECT_EQ(4321L, st.st_size);
  EXPECT_EQ(HostMtimeNs(path) / 1000000000LL, st.st_mtime);
  EXPECT_EQ(1, st.st_nlink);
  EXPECT_EQ(0u, st.st_ino);
  errno = 0;
  EXPECT_EQ(-1, _stat64i32(nullptr, &st));
  EXPECT_EQ(EINVAL, errno);
  errno = 0;
  EXPECT_EQ(-1, _stat64i32(path.c_str(), nullptr));
  EXPECT_EQ(EINVAL, errno);
}

}  // namespace
}  // namespace files_test
