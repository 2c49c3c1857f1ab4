// Stream buffers as the Microsoft C runtime keeps them: 4,096 bytes unless
// setvbuf says otherwise, text translated when the buffer is written out,
// and written out by fflush, fclose, _flushall and process exit.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "files_test_support.h"
#include "windows.h"

namespace files_test {
namespace {

class CrtBuffering : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    dir_ = Folder("buffers");
  }
  std::string Path(const char* name) const { return In(dir_, name); }
  std::string dir_;
};

TEST_F(CrtBuffering, TextWaitsInTheBufferUntilFlushed) {
  struct Row {
    const char* row;
    const char* mode;
    std::string onDisk;  // after fflush
    long told;           // ftell before and after fflush
  } rows[] = {
      {"write, text", "w", "ab\r\ncd\r\n", 8},
      {"append, text", "a", "ab\r\ncd\r\n", 8},
      {"write, binary", "wb", "ab\ncd\n", 6},
      {"append, binary", "ab", "ab\ncd\n", 6},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    const std::string path = Path("wait.txt");
    std::remove(path.c_str());
    FILE* f = fopen(path.c_str(), row.mode);
    ASSERT_NE(nullptr, f);
    fprintf(f, "ab\n");
    fputs("cd\n", f);
    EXPECT_EQ("", FileBytes(path)) << "nothing is written before the buffer is";
    EXPECT_EQ(row.told, ftell(f));
    ASSERT_EQ(0, fflush(f));
    EXPECT_EQ(row.onDisk, FileBytes(path));
    EXPECT_EQ(row.told, ftell(f));
    ASSERT_EQ(0, fclose(f));
  }
}

TEST_F(CrtBuffering, FullBufferIsWrittenOutWhenTheNextCharacterComes) {
  const std::string path = Path("full.bin");
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f);
  for (int i = 0; i < 4096; ++i) fputc('x', f);
  EXPECT_EQ(0u, FileBytes(path).size());
  fputc('y', f);
  EXPECT_EQ(std::string(4096, 'x'), FileBytes(path));
  fclose(f);
  EXPECT_EQ(std::string(4096, 'x') + "y", FileBytes(path));
}

TEST_F(CrtBuffering, SetvbufChoosesTheBuffer) {
  const std::string unbuffered = Path("none.txt");
  FILE* f = fopen(unbuffered.c_str(), "w");
  ASSERT_NE(nullptr, f);
  ASSERT_EQ(0, setvbuf(f, nullptr, _IONBF, 0));
  fprintf(f, "now\n");
  EXPECT_EQ("now\r\n", FileBytes(unbuffered));
  fclose(f);

  const std::string small = Path("small.txt");
  char buffer[256];
  f = fopen(small.c_str(), "w");
  ASSERT_NE(nullptr, f);
  ASSERT_EQ(0, setvbuf(f, buffer, _IOFBF, sizeof buffer));
  const std::string first(200, 'a'), second(100, 'b');
  fputs(first.c_str(), f);
  EXPECT_EQ("", FileBytes(small));
  fputs(second.c_str(), f);
  EXPECT_EQ(first + std::string(56, 'b'), FileBytes(small)) << "the full 256-byte buffer is written out";
  fputc('\n', f);
  fclose(f);
  EXPECT_EQ(first + second + "\r\n", FileBytes(small));
}

TEST_F(CrtBuffering, FlushallWritesEveryStream) {
  const std::string first = Path("first.log"), second = Path("second.log");
  FILE* a = fopen(first.c_str(), "a");
  FILE* b = fopen(second.c_str(), "w");
  ASSERT_NE(nullptr, a);
  ASSERT_NE(nullptr, b);
  fprintf(a, "one\n");
  fprintf(b, "two\n");
  EXPECT_EQ("", FileBytes(first));
  EXPECT_GE(_flushall(), 5) << "stdin, stdout, stderr and the two streams";
  EXPECT_EQ("one\r\n", FileBytes(first));
  EXPECT_EQ("two\r\n", FileBytes(second));
  fclose(a);
  fclose(b);
}

// A process that ends without closing its streams still writes them out,
// by returning from main (exit) or by ExitProcess.
TEST_F(CrtBuffering, ProcessExitWritesTheBuffers) {
  struct Row {
    const char* row;
    bool exitProcess;
  } rows[] = {{"exit", false}, {"ExitProcess", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    const std::string path = Path("exit.log");
    std::remove(path.c_str());
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // exit() runs the test program's own clean-up, which must not remove
      // the machine the parent still checks.
      setenv("WINSIM_KEEP_TEST_MACHINES", "1", 1);
      FILE* f = fopen(path.c_str(), "a");
      if (!f) _exit(3);
      fprintf(f, "left in the buffer\n");
      if (row.exitProcess) ExitProcess(0);
      std::exit(0);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
    EXPECT_EQ("left in the buffer\r\n", FileBytes(path));
  }
}

// After a seek, ftell still counts the CRs that translation adds.
TEST_F(CrtBuffering, TellAfterSeekCountsTranslation) {
  const std::string path = Path("seek.txt");
  FILE* f = fopen(path.c_str(), "w");
  ASSERT_NE(nullptr, f);
  fprintf(f, "first\nline\n");
  ASSERT_EQ(0, fseek(f, 0, SEEK_SET));
  EXPECT_EQ(0L, ftell(f));
  fprintf(f, "A\n");
  EXPECT_EQ(3L, ftell(f));
  fflush(f);
  EXPECT_EQ(3L, ftell(f));
  ASSERT_EQ(0, fseek(f, 0, SEEK_END));
  EXPECT_EQ(13L, ftell(f));
  fprintf(f, "x\n");
  EXPECT_EQ(16L, ftell(f));
  fclose(f);
  EXPECT_EQ("A\r\nst\r\nline\r\nx\r\n", FileBytes(path));
}

}  // namespace
}  // namespace files_test
