// Tokens, privileges and the restart request. Every check sets the last
// error to a sentinel first, since Windows reports the outcome of
// AdjustTokenPrivileges through it even on success.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>

#include "machine_fixture.h"
#include "windows.h"
#include "winsim/machine.h"

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

void SetMachineConfig(const std::string& key, const std::string& value) {
  ASSERT_TRUE(winsim::SetConfigValue(key, value, nullptr));
}

std::string ShutdownLog() { return winsim::testing::ReadHostFile(winsim::JournalDir() + "/shutdown.log"); }

TOKEN_PRIVILEGES OnePrivilege(DWORD luid, DWORD attributes) {
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Luid.LowPart = luid;
  tp.Privileges[0].Luid.HighPart = 0;
  tp.Privileges[0].Attributes = attributes;
  return tp;
}

class SecurityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::testing::FreshMachine();
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token_));
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &shutdown_));
    // The token is the process's: start every test with the privilege off.
    TOKEN_PRIVILEGES off = OnePrivilege(shutdown_.LowPart, 0);
    ASSERT_TRUE(AdjustTokenPrivileges(token_, FALSE, &off, 0, nullptr, nullptr));
  }
  void TearDown() override { CloseHandle(token_); }

  // The sequence a setup program runs before asking for a restart.
  BOOL EnableShutdown(DWORD* lastError) {
    TOKEN_PRIVILEGES tp = OnePrivilege(shutdown_.LowPart, SE_PRIVILEGE_ENABLED);
    SetLastError(kSentinel);
    BOOL ok = AdjustTokenPrivileges(token_, FALSE, &tp, 0, nullptr, nullptr);
    *lastError = GetLastError();
    return ok;
  }

  HANDLE token_ = nullptr;
  LUID shutdown_{};
};

}  // namespace

TEST(PrivilegeNames, LookupGivesWindowsIdentifiers) {
  struct Row {
    const char* name;
    BOOL ok;
    DWORD luid;
    DWORD error;
  } rows[] = {
      {"SeShutdownPrivilege", TRUE, 19, kSentinel},     {"seshutdownprivilege", TRUE, 19, kSentinel},
      {"SeChangeNotifyPrivilege", TRUE, 23, kSentinel}, {"SeDebugPrivilege", TRUE, 20, kSentinel},
      {"SeRemoteShutdownPrivilege", TRUE, 24, kSentinel}, {"SeNoSuchPrivilege", FALSE, 0, ERROR_NO_SUCH_PRIVILEGE},
      {"", FALSE, 0, ERROR_NO_SUCH_PRIVILEGE},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    LUID luid{0xcccccccc, static_cast<LONG>(0xcccccccc)};
    SetLastError(kSentinel);
    EXPECT_EQ(row.ok, LookupPrivilegeValueA(nullptr, row.name, &luid));
    EXPECT_EQ(row.error, GetLastError());
    if (row.ok) {
      EXPECT_EQ(row.luid, luid.LowPart);
      EXPECT_EQ(0, luid.HighPart);
    } else {
      EXPECT_EQ(0xccccccccu, luid.LowPart);
    }
  }
}

TEST_F(SecurityTest, RestartNeedsTheEnabledPrivilege) {
  SetLastError(kSentinel);
  EXPECT_FALSE(ExitWindowsEx(EWX_REBOOT | EWX_FORCEIFHUNG, SHTDN_REASON_FLAG_PLANNED));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PRIVILEGE_NOT_HELD), GetLastError());
  EXPECT_EQ("", ShutdownLog());

  DWORD error = 0;
  EXPECT_TRUE(EnableShutdown(&error));
  EXPECT_EQ(0u, error);
  SetLastError(kSentinel);
  EXPECT_TRUE(ExitWindowsEx(EWX_REBOOT | EWX_FORCEIFHUNG, SHTDN_REASON_FLAG_PLANNED));
  EXPECT_EQ(kSentinel, GetLastError());
  std::string log = ShutdownLog();
  EXPECT_TRUE(std::regex_match(
      log, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3} flags=0x12 reason=0x80000000\n)")))
      << log;
}

TEST_F(SecurityTest, TokenWithoutShutdownPrivilegeSucceedsButReportsNotAllAssigned) {
  SetMachineConfig("shutdown_privilege", "0");
  DWORD error = 0;
  EXPECT_TRUE(EnableShutdown(&error));
  EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED), error);
  SetLastError(kSentinel);
  EXPECT_FALSE(ExitWindowsEx(EWX_REBOOT, 0));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PRIVILEGE_NOT_HELD), GetLastError());
  EXPECT_EQ("", ShutdownLog());
  SetMachineConfig("shutdown_privilege", "1");
}

TEST_F(SecurityTest, StandardUserHoldsTheShutdownPrivilegeToo) {
  SetMachineConfig("admin", "0");
  DWORD error = kSentinel;
  EXPECT_TRUE(EnableShutdown(&error));
  EXPECT_EQ(0u, error);
  EXPECT_TRUE(ExitWindowsEx(EWX_SHUTDOWN, 0));
  SetMachineConfig("admin", "1");
}

TEST_F(SecurityTest, LogoffNeedsNoPrivilege) {
  EXPECT_TRUE(ExitWindowsEx(EWX_LOGOFF, 0));
  EXPECT_NE(std::string::npos, ShutdownLog().find(" flags=0x0 reason=0x0\n"));
}

TEST_F(SecurityTest, EveryHandleNamesTheOneProcessToken) {
  HANDLE second = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &second));
  EXPECT_NE(token_, second);
  TOKEN_PRIVILEGES on = OnePrivilege(shutdown_.LowPart, SE_PRIVILEGE_ENABLED);
  ASSERT_TRUE(AdjustTokenPrivileges(second, FALSE, &on, 0, nullptr, nullptr));
  CloseHandle(second);
  EXPECT_TRUE(ExitWindowsEx(EWX_POWEROFF, 0x00020003));
  EXPECT_NE(std::string::npos, ShutdownLog().find(" flags=0x8 reason=0x20003\n"));

  // Turning every privilege off turns this one off too.
  SetLastError(kSentinel);
  EXPECT_TRUE(AdjustTokenPrivileges(token_, TRUE, nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(0u, GetLastError());
  EXPECT_FALSE(ExitWindowsEx(EWX_REBOOT, 0));
}

TEST_F(SecurityTest, PreviousStateReportsWhatChanged) {
  TOKEN_PRIVILEGES on = OnePrivilege(shutdown_.LowPart, SE_PRIVILEGE_ENABLED);
  BYTE buffer[64];
  memset(buffer, 0xCC, sizeof(buffer));
  auto* previous = reinterpret_cast<PTOKEN_PRIVILEGES>(buffer);
  DWORD length = kSentinel;

  // Too small: nothing changes, and the needed size is reported.
  SetLastError(kSentinel);
  EXPECT_FALSE(AdjustTokenPrivileges(token_, FALSE, &on, 8, previous, &length));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
  EXPECT_EQ(16u, length);
  EXPECT_EQ(0xCC, buffer[0]);
  EXPECT_FALSE(ExitWindowsEx(EWX_REBOOT, 0));

  EXPECT_TRUE(AdjustTokenPrivileges(token_, FALSE, &on, sizeof(buffer), previous, &length));
  EXPECT_EQ(16u, length);
  EXPECT_EQ(1u, previous->PrivilegeCount);
  EXPECT_EQ(19u, previous->Privileges[0].Luid.LowPart);
  EXPECT_EQ(0u, previous->Privileges[0].Attributes);
  EXPECT_EQ(0xCC, buffer[16]);

  // Already enabled: nothing changed, so nothing is reported.
  EXPECT_TRUE(AdjustTokenPrivileges(token_, FALSE, &on, sizeof(buffer), previous, &length));
  EXPECT_EQ(4u, length);
  EXPECT_EQ(0u, previous->PrivilegeCount);
}

TEST_F(SecurityTest, BadHandlesAndMissingRightsFail) {
  TOKEN_PRIVILEGES on = OnePrivilege(shutdown_.LowPart, SE_PRIVILEGE_ENABLED);
  struct Row {
    const char* row;
    DWORD access;  // 0: no token, a bad handle instead
    DWORD error;
  } rows[] = {
      {"bad handle", 0, ERROR_INVALID_HANDLE},
      {"query only", TOKEN_QUERY, ERROR_ACCESS_DENIED},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    HANDLE token = reinterpret_cast<HANDLE>(0x7770);
    if (row.access) {
      ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), row.access, &token));
    }
    SetLastError(kSentinel);
    EXPECT_FALSE(AdjustTokenPrivileges(token, FALSE, &on, 0, nullptr, nullptr));
    EXPECT_EQ(row.error, GetLastError());
    if (row.access) CloseHandle(token);
  }
  SetLastError(kSentinel);
  EXPECT_FALSE(AdjustTokenPrivileges(token_, FALSE, nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
  HANDLE token = nullptr;
  SetLastError(kSentinel);
  EXPECT_FALSE(OpenProcessToken(reinterpret_cast<HANDLE>(0x7770), TOKEN_QUERY, &token));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
  EXPECT_FALSE(ExitWindowsEx(EWX_REBOOT, 0));
}
