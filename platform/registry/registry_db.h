// The machine's registry database (registry.db, SQLite): one connection per
// process, every operation one transaction.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "windef.h"

struct sqlite3;
struct sqlite3_stmt;

namespace winsim::registry {

// An SQLite failure met inside a transaction; the runner turns it into a
// retry (busy database) or a Windows registry error.
struct SqlFailure {
  int code;
};

// A prepared statement, reset when this object goes away.
class Statement {
 public:
  explicit Statement(sqlite3_stmt* stmt) : stmt_(stmt) {}
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  Statement& Bind(int index, int64_t value);
  Statement& BindText(int index, std::string_view text);
  Statement& BindBlob(int index, std::string_view bytes);
  // Next row: true while there is one. Throws SqlFailure on an error.
  bool Step();
  void Run() { while (Step()) {} }
  int64_t Int(int column) const;
  std::string Text(int column) const;
  std::string Blob(int column) const;

 private:
  sqlite3_stmt* stmt_;
};

// The open database as a transaction body sees it.
class Db {
 public:
  explicit Db(sqlite3* db) : db_(db) {}
  // Statements are prepared once per connection, keyed by their text.
  Statement Prepare(const char* sql);
  void Exec(const char* sql);
  int64_t LastInsertId() const;
  int Changes() const;
  // Identifies the registry.db this connection belongs to in this process:
  // it changes when the process is pointed at another machine.
  uint64_t Generation() const { return generation_; }

 private:
  friend class Connection;
  sqlite3* db_;
  uint64_t generation_ = 0;
  std::map<std::string, sqlite3_stmt*> cache_;
};

using Body = std::function<DWORD(Db&)>;

// Runs `body` as one read transaction (a consistent snapshot) or one write
// transaction (BEGIN IMMEDIATE ... COMMIT; a body result other than 0 rolls
// it back). A busy database is waited for and the whole body run again.
// Returns the body's result, or ERROR_REGISTRY_CORRUPT /
// ERROR_REGISTRY_IO_FAILED / ERROR_OUTOFMEMORY when the database cannot be
// used. Never throws.
DWORD RunRead(const Body& body);
DWORD RunWrite(const Body& body);

// How long a call waits for a database that other processes keep locked
// before it gives up with ERROR_REGISTRY_IO_FAILED (default 20 s).
void SetBusyBudgetMilliseconds(unsigned ms);

// Closes this process's connection (tests: before they damage the file).
void CloseConnection();

// Current time in FILETIME units (100 ns since 1601-01-01 UTC).
int64_t FileTimeNow();

}  // namespace winsim::registry
