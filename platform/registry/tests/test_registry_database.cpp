// registry.db as a shared database: damaged, unreadable or locked files
// give registry errors, a killed writer loses nothing it reported written,
// and several processes write at once.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "registry_db.h"
#include "registry_test_support.h"
#include "winsim/machine.h"

extern char** environ;

namespace {

using winsim::testing::BinDir;
using winsim::testing::FreshMachine;
using winsim::testing::WriteHostFile;

// Starts the probe child; its standard output goes to *out when given.
pid_t StartChild(const std::vector<std::string>& args, int* out = nullptr) {
  std::string program = BinDir() + "/registry_probe_child";
  std::vector<char*> argv;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (auto& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  int fds[2] = {-1, -1};
  if (out) {
    if (pipe(fds) != 0) return -1;
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
  }
  pid_t pid = -1;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (out) {
    close(fds[1]);
    *out = fds[0];
  }
  return rc == 0 ? pid : -1;
}

int WaitExit(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void RemoveDatabase() {
  winsim::registry::CloseConnection();
  std::string db = winsim::RegistryPath();
  std::error_code ec;
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove_all(db + suffix, ec);
}

class RegistryDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { FreshMachine(); }
  void TearDown() override {
    winsim::registry::SetBusyBudgetMilliseconds(20000);
    RemoveDatabase();
  }
};

LSTATUS OpenUninstall() {
  HKEY key = nullptr;
  LSTATUS status =
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0, KEY_READ, &key);
  if (key) RegCloseKey(key);
  return status;
}

}  // namespace

TEST_F(RegistryDatabaseTest, DamagedDatabaseGivesRegistryErrorsUntilReplaced) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Before", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  struct Row {
    const char* row;
    std::string content;
  } rows[] = {
      {"text file", std::string(4096, 'x')},
      {"header of a database, then garbage", std::string("SQLite format 3\0", 16) + std::string(4080, '\x7f')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    RemoveDatabase();
    WriteHostFile(winsim::RegistryPath(), row.content);
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, OpenUninstall());
    HKEY made = reinterpret_cast<HKEY>(0xdeadbeef);
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\After", 0, nullptr, 0,
                                                      KEY_ALL_ACCESS, nullptr, &made, nullptr));
    EXPECT_EQ(nullptr, made);
    DWORD one = 1;
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  }
  // A new, empty registry.db is made a registry again.
  RemoveDatabase();
  EXPECT_EQ(ERROR_SUCCESS, OpenUninstall());
  RegCloseKey(key);
}

TEST_F(RegistryDatabaseTest, ForeignSqliteDatabaseIsNotARegistry) {
  RemoveDatabase();
  sqlite3* other = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(winsim::RegistryPath().c_str(), &other));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "CREATE TABLE notes(text)", nullptr, nullptr, nullptr));
  sqlite3_close(other);
  EXPECT_EQ(ERROR_REGISTRY_CORRUPT, OpenUninstall());
}

TEST_F(RegistryDatabaseTest, EmptyFileBecomesARegistry) {
  RemoveDatabase();
  WriteHostFile(winsim::RegistryPath(), "");
  EXPECT_EQ(ERROR_SUCCESS, OpenUninstall());
}

TEST_F(RegistryDatabaseTest, UnreadableDatabaseGivesIoFailure) {
  RemoveDatabase();
  ASSERT_EQ(0, mkdir(winsim::RegistryPath().c_str(), 0700));
  EXPECT_EQ(ERROR_REGISTRY_IO_FAILED, OpenUninstall());
  HKEY key;
  EXPECT_EQ(ERROR_REGISTRY_IO_FAILED, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, nullptr, 0,
                                                      KEY_ALL_ACCESS, nullptr, &key, nullptr));
}

TEST_F(RegistryDatabaseTest, LockedDatabaseFailsWritersAfterWaitingAndStillServesReaders) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Locked", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  DWORD one = 1;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));

  sqlite3* other = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(winsim::RegistryPath().c_str(), &other));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "BEGIN IMMEDIATE; UPDATE keys SET written = written", nullptr, nullptr,
                                    nullptr));
  winsim::registry::SetBusyBudgetMilliseconds(300);
  DWORD two = 2;
  EXPECT_EQ(ERROR_REGISTRY_IO_FAILED, RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&two), 4));
  DWORD value = 0, size = sizeof(value);
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size));
  EXPECT_EQ(1u, value);

  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&two), 4));
  RegCloseKey(key);
}

TEST_F(RegistryDatabaseTest, WhatAKilledProcessReportedWrittenIsKept) {
  int out = -1;
  pid_t child = StartChild({"hold", "Software\\Killed", "Kept"}, &out);
  ASSERT_GT(child, 0);
  char reply[16] = {};
  ASSERT_GT(read(out, reply, sizeof(reply) - 1), 0);
  close(out);
  EXPECT_STREQ("0\n", reply);
  kill(child, SIGKILL);
  EXPECT_EQ(128 + SIGKILL, WaitExit(child));

  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Killed", 0, KEY_READ, &key));
  char text[8] = {};
  DWORD size = sizeof(text);
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Kept", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size));
  EXPECT_STREQ("kept", text);
  RegCloseKey(key);
}

TEST_F(RegistryDatabaseTest, TwoWritersAndAReaderAtOnce) {
  constexpr int kCount = 1000;
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Shared", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  pid_t first = StartChild({"write", "Software\\Shared", "first", std::to_string(kCount)});
  pid_t second = StartChild({"write", "Software\\Shared", "second", std::to_string(kCount)});
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);

  // Read while they write: every call succeeds, and a value is either
  // there whole or not there.
  int readerFailures = 0;
  DWORD seen = 0;
  for (int round = 0; round < 200 && seen < 2 * kCount; ++round) {
    HKEY reader;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Shared", 0, KEY_READ, &reader) != ERROR_SUCCESS) {
      ++readerFailures;
      continue;
    }
    DWORD index = 0;
    for (;; ++index) {
      char name[32];
      DWORD nameSize = sizeof(name), type = 0, data = 0, dataSize = sizeof(data);
      LSTATUS status = RegEnumValueA(reader, index, name, &nameSize, nullptr, &type,
                                     reinterpret_cast<BYTE*>(&data), &dataSize);
      if (status == ERROR_NO_MORE_ITEMS) break;
      if (status != ERROR_SUCCESS || type != REG_DWORD || dataSize != 4) {
        ++readerFailures;
        break;
      }
    }
    seen = index;
    RegCloseKey(reader);
  }
  EXPECT_EQ(0, readerFailures);
  EXPECT_EQ(0, WaitExit(first));
  EXPECT_EQ(0, WaitExit(second));

  for (const char* prefix : {"first", "second"}) {
    for (int i = 0; i < kCount; ++i) {
      std::string name = prefix + std::to_string(i);
      DWORD value = 0xdeadbeef, size = sizeof(value);
      ASSERT_EQ(ERROR_SUCCESS,
                RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size))
          << name;
      ASSERT_EQ(static_cast<DWORD>(i), value) << name;
    }
  }
  RegCloseKey(key);
}

TEST_F(RegistryDatabaseTest, ThreadsOfOneProcessShareTheRegistry) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 100;
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < kRounds; ++i) {
        std::string path = "Software\\Threads\\T" + std::to_string(t);
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
          ++failures;
          continue;
        }
        DWORD value = static_cast<DWORD>(i), read = 0, size = sizeof(read);
        std::string name = "v" + std::to_string(i % 7);
        if (RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4) != ERROR_SUCCESS ||
            RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size) !=
                ERROR_SUCCESS ||
            read != value || RegCloseKey(key) != ERROR_SUCCESS) {
          ++failures;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(0, failures.load());
  HKEY threadsKey;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Threads", 0, KEY_READ, &threadsKey));
  char name[16];
  DWORD size = sizeof(name);
  EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyExA(threadsKey, kThreads - 1, name, &size, nullptr, nullptr, nullptr, nullptr));
  size = sizeof(name);
  EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyExA(threadsKey, kThreads, name, &size, nullptr, nullptr, nullptr, nullptr));
  RegCloseKey(threadsKey);
}
