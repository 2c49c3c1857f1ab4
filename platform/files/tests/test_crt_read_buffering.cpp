// Streams that read, buffered as the Microsoft C runtime buffers them:
// 4,096 bytes unless setvbuf says otherwise, CR LF read as LF and Ctrl+Z
// ending a text stream, ftell giving file offsets (CRs counted) that fseek
// returns to, and reading and writing of an update stream separated by a
// flush or a seek.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files_test_support.h"
#include "windows.h"

namespace files_test {
namespace {

class CrtReadBuffering : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    dir_ = Folder("readbuf");
  }
  std::string Path(const char* name) const { return In(dir_, name); }
  std::string dir_;
};

// Lines of 'a'..'z' with CR LF ends, `size` bytes in all, so that the CR
// LF pairs fall on every place of a 4,096-byte block in turn.
std::string CrlfText(size_t size) {
  std::string text;
  for (size_t line = 0; text.size() < size; ++line) {
    text.append(line % 7 + 1, static_cast<char>('a' + line % 26));
    text += "\r\n";
  }
  text.resize(size);
  return text;
}

// What text mode reads from `bytes`, with the file offset each delivered
// character starts at.
struct TextView {
  std::string chars;
  std::vector<long> offsets;
};
TextView TextOf(const std::string& bytes) {
  TextView view;
  for (size_t i = 0; i < bytes.size() && bytes[i] != 0x1A; ++i) {
    view.offsets.push_back(static_cast<long>(i));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    view.chars.push_back(bytes[i]);
  }
  return view;
}

// The file is read into the buffer 4,096 bytes at a time: what another
// writer changes after the first read shows only from the next block on.
TEST_F(CrtReadBuffering, ReadsAWholeBlockAhead) {
  struct Row {
    const char* row;
    const char* mode;
    size_t freshFrom;  // the first character read after the change
  } rows[] = {
      {"read, text", "r", 4096},   {"read, binary", "rb", 4096}, {"update, text", "r+", 4096},
      {"update, binary", "r+b", 4096}, {"append and read", "a+", 4096},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    const std::string path = Path("ahead.txt");
    PutFile(path, std::string(6000, 'o'));
    FILE* f = fopen(path.c_str(), row.mode);
    ASSERT_NE(nullptr, f);
    ASSERT_EQ('o', fgetc(f));
    PutFile(path, std::string(6000, 'N'));  // another writer, after the first read
    std::string rest(5999, '\0');
    ASSERT_EQ(rest.size(), fread(&rest[0], 1, rest.size(), f));
    EXPECT_EQ(std::string(row.freshFrom - 1, 'o') + std::string(6000 - row.freshFrom, 'N'), rest);
    fclose(f);
  }
}

TEST_F(CrtReadBuffering, TextAndBinaryReadRows) {
  struct Row {
    const char* row;
    std::string bytes;
    std::string text;  // what "r" reads; "rb" reads the bytes
  } rows[] = {
      {"CR LF pairs", "a\r\nb\r\n", "a\nb\n"},
      {"lone CR and LF", "a\rb\nc", "a\rb\nc"},
      {"CR CR LF", "a\r\r\nb", "a\r\nb"},
      {"CR at the end", "a\r", "a\r"},
      {"Ctrl+Z ends the text", std::string("a\r\n\x1A\r\nb"), "a\n"},
      {"CR before Ctrl+Z", std::string("a\r\x1A"), "a\r"},
      {"CR LF across the block end", std::string(4095, 'x') + "\r\nz", std::string(4095, 'x') + "\nz"},
      {"CR CR LF across the block end", std::string(4094, 'x') + "\r\r\nz", std::string(4094, 'x') + "\r\nz"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    const std::string path = Path("rows.txt");
    PutFile(path, row.bytes);
    for (const char* mode : {"r", "rb"}) {
      SCOPED_TRACE(mode);
      const std::string& expected = mode[1] == 'b' ? row.bytes : row.text;
      FILE* f = fopen(path.c_str(), mode);
      ASSERT_NE(nullptr, f);
      std::string got(row.bytes.size() + 16, '\xCC');
      EXPECT_EQ(expected.size(), fread(&got[0], 1, got.size(), f));
      got.resize(expected.size());
      EXPECT_EQ(expected, got);
      EXPECT_TRUE(feof(f));
      const size_t ctrlZ = row.bytes.find('\x1A');
      EXPECT_EQ(static_cast<long>(mode[1] == 'b' || ctrlZ == std::string::npos ? row.bytes.size() : ctrlZ), ftell(f));
      fclose(f);
    }
  }
}

// ftell after every character gives the file offset of the next one, and
// fseek to any told value reads that character again, also where a CR LF
// pair or the character itself lies on a block end.
TEST_F(CrtReadBuffering, TellAndSeekRoundTripInTextMode) {
  for (size_t size : {4095u, 4096u, 4097u, 8193u}) {
    SCOPED_TRACE(size);
    const std::string path = Path("tell.txt");
    const std::string bytes = CrlfText(size);
    PutFile(path, bytes);
    const TextView view = TextOf(bytes);
    FILE* f = fopen(path.c_str(), "r");
    ASSERT_NE(nullptr, f);
    int wrongTells = 0;
    for (size_t i = 0; i < view.chars.size(); ++i) {
      if (ftell(f) != view.offsets[i] && ++wrongTells < 5) ADD_FAILURE() << "tell before character " << i;
      ASSERT_EQ(view.chars[i], static_cast<char>(fgetc(f))) << i;
    }
    EXPECT_EQ(static_cast<long>(size), ftell(f));
    EXPECT_EQ(EOF, fgetc(f));
    // Back to the places around each block end and a few in between, in
    // an order that jumps both ways.
    int wrongSeeks = 0;
    for (size_t i = 0; i < view.chars.size(); ++i) {
      const long at = view.offsets[i];
      if (!(at % 4096 >= 4093 || at % 4096 <= 2 || i % 97 == 0)) continue;
      for (size_t j : {i, view.chars.size() - 1 - i}) {
        ASSERT_EQ(0, fseek(f, view.offsets[j], SEEK_SET));
        EXPECT_EQ(view.offsets[j], ftell(f));
        const int c = fgetc(f);
        if (c != static_cast<unsigned char>(view.chars[j]) && ++wrongSeeks < 5) ADD_FAILURE() << "seek to " << j;
        if (j + 1 < view.chars.size() && ftell(f) != view.offsets[j + 1] && ++wrongSeeks < 5)
          ADD_FAILURE() << "tell after seek to " << j;
      }
    }
    EXPECT_EQ(0, wrongTells);
    EXPECT_EQ(0, wrongSeeks);
    // fgetpos and fsetpos keep the same positions.
    ASSERT_EQ(0, fseek(f, view.offsets[view.chars.size() / 2], SEEK_SET));
    fpos_t middle;
    ASSERT_EQ(0, fgetpos(f, &middle));
    const int atMiddle = fgetc(f);
    rewind(f);
    EXPECT_EQ(view.chars[0], static_cast<char>(fgetc(f)));
    ASSERT_EQ(0, fsetpos(f, &middle));
    EXPECT_EQ(atMiddle, fgetc(f));
    fclose(f);
  }
}

// A line read with fgets that ends across the block end.
TEST_F(CrtReadBuffering, FgetsAcrossTheBlockEnd) {
  for (size_t lineLength : {4093u, 4094u, 4095u, 4096u}) {
    SCOPED_TRACE(lineLength);
    const std::string path = Path("fgets.txt");
    const std::string first(lineLength, 'x');
    PutFile(path, first + "\r\nnext\r\n");
    FILE* f = fopen(path.c_str(), "r");
    ASSERT_NE(nullptr, f);
    std::vector<char> line(8192, '\xCC');
    ASSERT_NE(nullptr, fgets(line.data(), static_cast<int>(line.size()), f));
    EXPECT_EQ(first + "\n", std::string(line.data()));
    EXPECT_EQ(static_cast<long>(lineLength + 2), ftell(f));
    ASSERT_NE(nullptr, fgets(line.data(), static_cast<int>(line.size()), f));
    EXPECT_STREQ("next\n", line.data());
    EXPECT_EQ(static_cast<long>(lineLength + 8), ftell(f));
    EXPECT_EQ(nullptr, fgets(line.data(), static_cast<int>(line.size()), f));
    fclose(f);
  }
}

TEST_F(CrtReadBuffering, UngetcInTextMode) {
  const std::string path = Path("unget.txt");
  PutFile(path, "ab\r\ncd");
  FILE* f = fopen(path.c_str(), "r");
  ASSERT_NE(nullptr, f);
  EXPECT_EQ('a', fgetc(f));
  EXPECT_EQ('b', fgetc(f));
  EXPECT_EQ('\n', fgetc(f));
  EXPECT_EQ(4L, ftell(f));
  EXPECT_EQ('\n', ungetc('\n', f));  // the character just read
  EXPECT_EQ(2L, ftell(f)) << "before the CR LF it was read from";
  EXPECT_EQ('\n', fgetc(f));
  EXPECT_EQ('c', fgetc(f));
  EXPECT_EQ('Z', ungetc('Z', f));  // another character
  EXPECT_EQ('Z', fgetc(f));
  EXPECT_EQ('d', fgetc(f));
  EXPECT_EQ(EOF, fgetc(f));
  EXPECT_EQ(0, fseek(f, 2, SEEK_SET));
  EXPECT_EQ('\n', fgetc(f));
  fclose(f);
}

// setvbuf before the first read: no buffer reads every character from the
// file as it is then; a buffer of the caller's holds as many characters as
// it is long.
TEST_F(CrtReadBuffering, SetvbufChoosesTheReadBuffer) {
  struct Row {
    const char* row;
    const char* mode;
    int type;
    size_t size;
    size_t freshFrom;  // the first character read after the change
  } rows[] = {
      {"unbuffered, text", "r", _IONBF, 0, 1},
      {"unbuffered, binary", "rb", _IONBF, 0, 1},
      {"16 bytes, text", "r", _IOFBF, 16, 16},
      {"16 bytes, binary", "rb", _IOFBF, 16, 16},
      {"512 bytes, update", "r+", _IOFBF, 512, 512},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    const std::string path = Path("setvbuf.txt");
    PutFile(path, std::string(1000, 'o'));
    FILE* f = fopen(path.c_str(), row.mode);
    ASSERT_NE(nullptr, f);
    std::vector<char> buffer(row.size + 1, '\xCC');
    ASSERT_EQ(0, setvbuf(f, row.size ? buffer.data() : nullptr, row.type, row.size));
    ASSERT_EQ('o', fgetc(f));
    PutFile(path, std::string(1000, 'N'));
    std::string rest(999, '\0');
    ASSERT_EQ(rest.size(), fread(&rest[0], 1, rest.size(), f));
    EXPECT_EQ(std::string(row.freshFrom - 1, 'o') + std::string(1000 - row.freshFrom, 'N'), rest);
    EXPECT_EQ('\xCC', buffer[row.size]) << "nothing written past the caller's buffer";
    fclose(f);
  }

  // A small buffer in text mode: the positions stay file offsets.
  const std::string path = Path("small.txt");
  const std::string bytes = CrlfText(100);
  PutFile(path, bytes);
  const TextView view = TextOf(bytes);
  FILE* f = fopen(path.c_str(), "r");
  ASSERT_NE(nullptr, f);
  char small[16];
  ASSERT_EQ(0, setvbuf(f, small, _IOFBF, sizeof small));
  for (size_t i = 0; i < view.chars.size(); ++i) {
    ASSERT_EQ(view.offsets[i], ftell(f)) << i;
    ASSERT_EQ(view.chars[i], static_cast<char>(fgetc(f))) << i;
  }
  ASSERT_EQ(0, fseek(f, view.offsets[40], SEEK_SET));
  EXPECT_EQ(view.chars[40], static_cast<char>(fgetc(f)));
  fclose(f);
}

// An update stream switches between reading and writing through a flush
// or a seek; written text waits in the buffer until then.
TEST_F(CrtReadBuffering, UpdateStreamsReadAndWrite) {
  {
    SCOPED_TRACE("r+");
    const std::string path = Path("rplus.txt");
    PutFile(path, "one\r\ntwo\r\nthree\r\n");
    FILE* f = fopen(path.c_str(), "r+");
    ASSERT_NE(nullptr, f);
    char line[32];
    ASSERT_NE(nullptr, fgets(line, sizeof line, f));
    EXPECT_EQ(5L, ftell(f));
    ASSERT_EQ(0, fseek(f, 0, SEEK_CUR));
    fputs("TWO\n", f);
    EXPECT_EQ(10L, ftell(f));
    EXPECT_EQ("one\r\ntwo\r\nthree\r\n", FileBytes(path)) << "waiting in the buffer";
    ASSERT_EQ(0, fflush(f));
    EXPECT_EQ("one\r\nTWO\r\nthree\r\n", FileBytes(path));
    ASSERT_NE(nullptr, fgets(line, sizeof line, f));
    EXPECT_STREQ("three\n", line);
    ASSERT_EQ(0, fseek(f, 0, SEEK_SET));
    ASSERT_NE(nullptr, fgets(line, sizeof line, f));
    EXPECT_STREQ("one\n", line);
    fclose(f);
  }
  {
    SCOPED_TRACE("r+, writing after reading up to the end");
    const std::string path = Path("rplusend.txt");
    PutFile(path, "one\r\n");
    FILE* f = fopen(path.c_str(), "r+");
    ASSERT_NE(nullptr, f);
    char line[32];
    ASSERT_NE(nullptr, fgets(line, sizeof line, f));
    EXPECT_EQ(nullptr, fgets(line, sizeof line, f));
    fputs("two\n", f);  // the read met the end, so no seek is needed
    EXPECT_EQ(10L, ftell(f));
    fclose(f);
    EXPECT_EQ("one\r\ntwo\r\n", FileBytes(path));
  }
  {
    SCOPED_TRACE("w+");
    const std::string path = Path("wplus.txt");
    FILE* f = fopen(path.c_str(), "w+");
    ASSERT_NE(nullptr, f);
    fputs("alpha\nbeta\n", f);
    EXPECT_EQ(13L, ftell(f));
    EXPECT_EQ("", FileBytes(path));
    rewind(f);
    EXPECT_EQ("alpha\r\nbeta\r\n", FileBytes(path));
    char line[32];
    ASSERT_NE(nullptr, fgets(line, sizeof line, f));
    EXPECT_STREQ("alpha\n", line);
    const long afterAlpha = ftell(f);
    EXPECT_EQ(7L, afterAlpha);
    ASSERT_EQ(0, fseek(f, afterAlpha, SEEK_SET));
    fputs("BETA", f);
    ASSERT_EQ(0, fseek(f, 0, SEEK_SET));
    ASSERT_EQ(11u, fread(line, 1, sizeof line, f));
    EXPECT_EQ(0, std::memcmp(line, "alpha\nBETA\n", 11));
    fclose(f);
    EXPECT_EQ("alpha\r\nBETA\r\n", FileBytes(path));
  }
  {
    SCOPED_TRACE("a+");
    const std::string path = Path("aplus.txt");
    PutFile(path, "old\r\n");
    FILE* f = fopen(path.c_str(), "a+");
    ASSERT_NE(nullptr, f);
    char line[32];
    ASSERT_NE(nullptr, fgets(line, sizeof line, f));
    EXPECT_STREQ("old\n", line);
    ASSERT_EQ(0, fseek(f, 0, SEEK_SET));
    fputs("new\n", f);  // appended, wherever the stream stood
    EXPECT_EQ("old\r\n", FileBytes(path));
    ASSERT_EQ(0, fflush(f));
    EXPECT_EQ("old\r\nnew\r\n", FileBytes(path));
    EXPECT_EQ(10L, ftell(f));
    ASSERT_EQ(0, fseek(f, 5, SEEK_SET));
    ASSERT_NE(nullptr, fgets(line, sizeof line, f));
    EXPECT_STREQ("new\n", line);
    fclose(f);
  }
}

// Ctrl+Z ends what a text stream reads; a text stream that reads and
// writes removes one at the end of the file, so that what is written
// after it can be read back.
TEST_F(CrtReadBuffering, CtrlZ) {
  const std::string path = Path("ctrlz.txt");
  PutFile(path, std::string("abc\r\n\x1Ahidden"));
  FILE* f = fopen(path.c_str(), "r");
  ASSERT_NE(nullptr, f);
  char line[32];
  ASSERT_NE(nullptr, fgets(line, sizeof line, f));
  EXPECT_EQ(nullptr, fgets(line, sizeof line, f));
  EXPECT_TRUE(feof(f));
  EXPECT_EQ(5L, ftell(f)) << "stands on the Ctrl+Z";
  clearerr(f);
  EXPECT_EQ(EOF, fgetc(f)) << "and stays there";
  fclose(f);

  struct Row {
    const char* row;
    const char* mode;
    std::string after;  // the file after writing "x\n"
  } rows[] = {
      {"a+ text", "a+", "end\r\nx\r\n"},
      {"a+ binary", "a+b", std::string("end\r\n\x1Ax\n")},
      {"a text", "a", std::string("end\r\n\x1Ax\r\n")},
      {"r+ text", "r+", "x\r\n\r\n"},
      {"r+ binary", "r+b", std::string("x\nd\r\n\x1A")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    PutFile(path, std::string("end\r\n\x1A"));
    f = fopen(path.c_str(), row.mode);
    ASSERT_NE(nullptr, f);
    fputs("x\n", f);
    fclose(f);
    EXPECT_EQ(row.after, FileBytes(path));
  }
}

// _flushall drops what the reading streams hold read ahead: the next read
// takes the file as it is then, from the same position.
TEST_F(CrtReadBuffering, FlushallDropsWhatWasReadAhead) {
  struct Row {
    const char* row;
    const char* mode;
  } rows[] = {{"read, text", "r"}, {"read, binary", "rb"}, {"update, text", "r+"}, {"update, binary", "r+b"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    const std::string path = Path("flushall.txt");
    PutFile(path, "ab\r\ncd\r\n");
    FILE* f = fopen(path.c_str(), row.mode);
    ASSERT_NE(nullptr, f);
    char line[16];
    ASSERT_NE(nullptr, fgets(line, sizeof line, f));
    PutFile(path, "AB\r\nCD\r\n");
    EXPECT_STREQ(std::strchr(row.mode, 'b') ? "ab\r\n" : "ab\n", line);
    EXPECT_EQ('c', fgetc(f)) << "still from the buffer";
    EXPECT_EQ(5L, ftell(f));
    EXPECT_GE(_flushall(), 4);
    EXPECT_EQ(5L, ftell(f));
    EXPECT_EQ('D', fgetc(f)) << "read from the file again";
    fclose(f);
  }
}

}  // namespace
}  // namespace files_test
