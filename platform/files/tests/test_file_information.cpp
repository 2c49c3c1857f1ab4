// GetFileInformationByHandle and GetFileInformationByHandleEx(FileNameInfo)
// on files that are renamed, deleted or written while open.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>

#include "files_test_support.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/file_object.h"

namespace files_test {
namespace {

constexpr DWORD kSentinel = 0xdeadbeef;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class FileInformation : public FilesTest {
 protected:
  HANDLE Open(const std::string& path, DWORD access) {
    HANDLE h = CreateFileA(path.c_str(), access, kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, h) << path;
    return h;
  }
};

// The name of an open file, or the error it failed with.
std::u16string NameOf(HANDLE h, DWORD* error = nullptr) {
  alignas(FILE_NAME_INFO) char buffer[sizeof(FILE_NAME_INFO) + 1024];
  std::memset(buffer, 0xCC, sizeof buffer);
  SetLastError(kSentinel);
  auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer);
  if (!GetFileInformationByHandleEx(h, FileNameInfo, info, sizeof buffer)) {
    if (error) *error = GetLastError();
    return u"";
  }
  return std::u16string(info->FileName, info->FileNameLength / sizeof(WCHAR));
}

TEST_F(FileInformation, ByHandleFollowsTheFile) {
  const std::string dir = Folder("info");
  const std::string a = In(dir, "a.log"), b = In(dir, "b.log");
  PutFile(a, "12345");
  PutFile(b, "x");
  HANDLE ha = Open(a, FILE_APPEND_DATA);
  HANDLE ha2 = Open(a, GENERIC_READ);
  HANDLE hb = Open(b, GENERIC_READ);
  MarkAttributes(a, FILE_ATTRIBUTE_HIDDEN);

  BY_HANDLE_FILE_INFORMATION ia, ia2, ib;
  std::memset(&ia, 0xCC, sizeof ia);
  ASSERT_TRUE(GetFileInformationByHandle(ha, &ia));
  ASSERT_TRUE(GetFileInformationByHandle(ha2, &ia2));
  ASSERT_TRUE(GetFileInformationByHandle(hb, &ib));
  EXPECT_EQ(5u, ia.nFileSizeLow);
  EXPECT_EQ(0u, ia.nFileSizeHigh);
  EXPECT_EQ(1u, ia.nNumberOfLinks);
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE), ia.dwFileAttributes);
  EXPECT_EQ(ia.nFileIndexLow, ia2.nFileIndexLow) << "two handles of one file";
  EXPECT_EQ(ia.dwVolumeSerialNumber, ib.dwVolumeSerialNumber);
  EXPECT_FALSE(ia.nFileIndexLow == ib.nFileIndexLow && ia.nFileIndexHigh == ib.nFileIndexHigh);

  // An append-only handle writes at the end, and the size follows.
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(ha, "678", 3, &written, nullptr));
  EXPECT_EQ("12345678", FileBytes(a));
  ASSERT_TRUE(GetFileInformationByHandle(ha2, &ia2));
  EXPECT_EQ(8u, ia2.nFileSizeLow);

  // Deleted while open (shared for delete): the handle lives on, with no link.
  ASSERT_TRUE(DeleteFileA(a.c_str()));
  ASSERT_TRUE(GetFileInformationByHandle(ha, &ia));
  EXPECT_EQ(0u, ia.nNumberOfLinks);

  SetLastError(kSentinel);
  EXPECT_FALSE(GetFileInformationByHandle(ha, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
  SetLastError(kSentinel);
  EXPECT_FALSE(GetFileInformationByHandle(INVALID_HANDLE_VALUE, &ia));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
  CloseFile(ha);
  CloseFile(ha2);
  CloseFile(hb);
}

TEST_F(FileInformation, NameIsTheCurrentOneOnTheVolume) {
  const std::string dir = Folder("names");
  const std::string a = In(dir, "First.log"), b = In(dir, "second.log");
  PutFile(a, "");
  HANDLE h = Open(In(dir, "FIRST.LOG"), FILE_APPEND_DATA);
  EXPECT_EQ(u"\\probe\\names\\First.log", NameOf(h)) << "below the drive, in the stored spelling";
  ASSERT_TRUE(MoveFileExA(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(u"\\probe\\names\\second.log", NameOf(h)) << "a rename moves the name";
  ASSERT_TRUE(DeleteFileA(b.c_str()));
  const std::u16string deleted = NameOf(h);
  EXPECT_EQ(0u, deleted.rfind(u"\\$Extend\\$Deleted\\", 0)) << "deleted while open";
  PutFile(b, "");
  EXPECT_NE(u"\\probe\\names\\second.log", NameOf(h)) << "a new file of that name is another file";
  CloseFile(h);
}

// A name asked often is kept between asks (known_fd_path.h); whatever
// renames the file or a folder above it, or takes its name away, shows at
// the next ask, on the thread that asks as on another.
TEST_F(FileInformation, KeptNameFollowsEveryChange) {
  struct Row {
    const char* what;
    // Makes the change to C:\probe\<top>\a\x.log (folders renamed on the
    // host: the layer's rename takes Windows paths); returns the file's
    // name afterwards below C:, or "" for a deleted file's name.
    std::string (*change)(const std::string& top);
  };
  const Row rows[] = {
      {"unchanged, beside a new file",
       [](const std::string& top) {
         PutFile(top + "\\a\\other.log", "");
         return top.substr(2) + "\\a\\x.log";
       }},
      {"renamed",
       [](const std::string& top) {
         EXPECT_TRUE(MoveFileExA((top + "\\a\\x.log").c_str(), (top + "\\a\\y.log").c_str(), 0));
         return top.substr(2) + "\\a\\y.log";
       }},
      {"its folder renamed",
       [](const std::string& top) {
         EXPECT_EQ(0, renameat(AT_FDCWD, Host(top + "\\a").c_str(), AT_FDCWD, (Host(top) + "/b").c_str()));
         return top.substr(2) + "\\b\\x.log";
       }},
      {"a folder two above renamed",
       [](const std::string& top) {
         EXPECT_EQ(0, renameat(AT_FDCWD, Host(top).c_str(), AT_FDCWD, (Host(top) + "-moved").c_str()));
         return top.substr(2) + "-moved\\a\\x.log";
       }},
      {"deleted",
       [](const std::string& top) {
         EXPECT_TRUE(DeleteFileA((top + "\\a\\x.log").c_str()));
         return std::string();
       }},
      {"replaced by a rename",
       [](const std::string& top) {
         PutFile(top + "\\a\\new.log", "");
         EXPECT_TRUE(MoveFileExA((top + "\\a\\new.log").c_str(), (top + "\\a\\x.log").c_str(),
                                 MOVEFILE_REPLACE_EXISTING));
         return std::string();
       }},
  };
  int made = 0;
  for (bool otherThread : {false, true}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.what) + (otherThread ? ", asked on another thread" : ""));
      const std::string top = Folder("kept" + std::to_string(++made));
      ASSERT_TRUE(CreateDirectoryA((top + "\\a").c_str(), nullptr));
      const std::string name = top + "\\a\\x.log";
      PutFile(name, "");
      HANDLE h = Open(name, FILE_APPEND_DATA);
      std::u16string before, beforeOnAsker, after;
      std::string expected;
      auto askOften = [h](std::u16string* last) {
        for (int i = 0; i < 40; ++i) *last = NameOf(h);
      };
      if (otherThread) {
        // The asking thread sleeps in the kernel while the change is made.
        int ready[2], go[2];
        ASSERT_EQ(0, pipe(ready));
        ASSERT_EQ(0, pipe(go));
        std::thread asker([&] {
          askOften(&beforeOnAsker);
          char c = 'r';
          if (write(ready[1], &c, 1) == 1 && read(go[0], &c, 1) == 1) after = NameOf(h);
        });
        char c;
        EXPECT_EQ(1, read(ready[0], &c, 1));
        askOften(&before);
        expected = row.change(top);
        EXPECT_EQ(1, write(go[1], "g", 1));
        asker.join();
        for (int fd : {ready[0], ready[1], go[0], go[1]}) close(fd);
        EXPECT_EQ(before, beforeOnAsker);
      } else {
        askOften(&before);
        expected = row.change(top);
        after = NameOf(h);
      }
      EXPECT_EQ(winsim::Utf8ToUtf16(top.substr(2) + "\\a\\x.log"), before);
      if (expected.empty()) {
        EXPECT_EQ(0u, after.rfind(u"\\$Extend\\$Deleted\\", 0)) << "deleted while open";
      } else {
        EXPECT_EQ(winsim::Utf8ToUtf16(expected), after);
      }
      CloseFile(h);
    }
  }
}

TEST_F(FileInformation, NameBufferRows) {
  const std::string dir = Folder("buffers");
  PutFile(In(dir, "n.txt"), "");
  HANDLE h = Open(In(dir, "n.txt"), GENERIC_READ);
  const std::u16string full = u"\\probe\\buffers\\n.txt";
  struct Row {
    const char* name;
    FILE_INFO_BY_HANDLE_CLASS cls;
    DWORD size;
    BOOL ok;
    DWORD error;
    DWORD copiedUnits;  // name units that must be in the buffer
  };
  const Row rows[] = {
      {"room for all", FileNameInfo, 256, TRUE, kSentinel, static_cast<DWORD>(full.size())},
      {"exactly enough", FileNameInfo, static_cast<DWORD>(sizeof(DWORD) + full.size() * 2), TRUE, kSentinel,
       static_cast<DWORD>(full.size())},
      {"one unit short", FileNameInfo, static_cast<DWORD>(sizeof(DWORD) + full.size() * 2 - 2), FALSE,
       ERROR_MORE_DATA, static_cast<DWORD>(full.size() - 1)},
      {"smaller than the structure", FileNameInfo, 4, FALSE, ERROR_BAD_LENGTH, 0},
      {"another class", FileBasicInfo, 256, FALSE, ERROR_INVALID_PARAMETER, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    alignas(FILE_NAME_INFO) char buffer[300];
    std::memset(buffer, 0xCC, sizeof buffer);
    SetLastError(kSentinel);
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer);
    EXPECT_EQ(row.ok, GetFileInformationByHandleEx(h, row.cls, info, row.size));
    EXPECT_EQ(row.error, GetLastError());
    if (row.copiedUnits) {
      EXPECT_EQ(full.size() * 2, info->FileNameLength) << "the whole length, also when it did not fit";
      EXPECT_EQ(full.substr(0, row.copiedUnits), std::u16string(info->FileName, row.copiedUnits));
      EXPECT_EQ(static_cast<char>(0xCC), buffer[row.size]) << "nothing written past the buffer";
    }
  }
  CloseFile(h);
}

// A forked child (the layer starts programs that way) names its own open
// files, not those its parent has under the same descriptor numbers.
TEST_F(FileInformation, ForkedChildNamesItsOwnFiles) {
  const std::string dir = Folder("fork");
  const std::string a = In(dir, "a.log"), b = In(dir, "b.log");
  PutFile(a, "a");
  PutFile(b, "b");
  HANDLE h = Open(a, GENERIC_READ);
  ASSERT_EQ(u"\\probe\\fork\\a.log", NameOf(h)) << "the parent has asked once before the fork";
  const int fd = winsim::HostFdOfHandle(h);
  ASSERT_GE(fd, 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child's descriptor now holds b.log; the parent's still a.log.
    const int other = open(Host(b).c_str(), O_RDONLY | O_CLOEXEC);
    if (other < 0 || dup2(other, fd) < 0) _exit(2);
    _exit(NameOf(h) == u"\\probe\\fork\\b.log" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status)) << "1: the child was told its parent's file";
  EXPECT_EQ(u"\\probe\\fork\\a.log", NameOf(h));
  CloseFile(h);
}

}  // namespace
}  // namespace files_test
