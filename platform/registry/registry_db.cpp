#include "registry_db.h"

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <new>
#include <random>
#include <thread>

#include "registry_schema.h"
#include "winerror.h"
#include "winsim/machine.h"

namespace winsim::registry {

// --- Statements ----------------------------------------------------------

Statement::~Statement() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

Statement& Statement::Bind(int index, int64_t value) {
  int rc = sqlite3_bind_int64(stmt_, index, value);
  if (rc != SQLITE_OK) throw SqlFailure{rc};
  return *this;
}

Statement& Statement::BindText(int index, std::string_view text) {
  int rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) throw SqlFailure{rc};
  return *this;
}

Statement& Statement::BindBlob(int index, std::string_view bytes) {
  // A zero-length blob must still be a blob, not NULL.
  static const char kEmpty = 0;
  const char* data = bytes.empty() ? &kEmpty : bytes.data();
  int rc = sqlite3_bind_blob(stmt_, index, data, static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) throw SqlFailure{rc};
  return *this;
}

bool Statement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  throw SqlFailure{rc};
}

int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(stmt_, column);
  int size = sqlite3_column_bytes(stmt_, column);
  return text ? std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(size)) : std::string();
}

std::string Statement::Blob(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  int size = sqlite3_column_bytes(stmt_, column);
  return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size)) : std::string();
}

// --- Db -------------------------------------------------------------------

Statement Db::Prepare(const char* sql) {
  auto it = cache_.find(sql);
  if (it == cache_.end()) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_finalize(stmt);
      throw SqlFailure{rc};
    }
    it = cache_.emplace(sql, stmt).first;
  }
  return Statement(it->second);
}

void Db::Exec(const char* sql) {
  int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw SqlFailure{rc};
}

int64_t Db::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }
int Db::Changes() const { return sqlite3_changes(db_); }

// --- The process's connection ----------------------------------------------

class Connection {
 public:
  static Connection& Instance() {
    static Connection* instance = new Connection;  // never destroyed: threads may outlive main
    return *instance;
  }

  DWORD Run(bool write, const Body& body) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(budgetMs_);
    for (;;) {
      int code = SQLITE_OK;
      try {
        Open();
        return Transaction(write, body);
      } catch (const SqlFailure& failure) {
        code = failure.code;
      } catch (const std::bad_alloc&) {
        RollBack();
        return ERROR_OUTOFMEMORY;
      } catch (...) {
        code = SQLITE_INTERNAL;
      }
      RollBack();
      if (IsBusy(code) && std::chrono::steady_clock::now() < deadline) {
        Pause();
        continue;
      }
      return Fail(code);
    }
  }

  void SetBudget(unsigned ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    budgetMs_ = ms;
  }

  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    Drop();
  }

 private:
  static bool IsBusy(int code) {
    int primary = code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
  }

  DWORD Transaction(bool write, const Body& body) {
    db_->Exec(write ? "BEGIN IMMEDIATE" : "BEGIN");
    DWORD result = body(*db_);
    if (write && result != ERROR_SUCCESS) {
      db_->Exec("ROLLBACK");
    } else {
      db_->Exec("COMMIT");
    }
    return result;
  }

  void RollBack() {
    if (db_ && !sqlite3_get_autocommit(db_->db_)) sqlite3_exec(db_->db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }

  // Waits a little, at random so that two waiting processes do not keep
  // meeting each other.
  static void Pause() {
    thread_local std::minstd_rand random(static_cast<unsigned>(getpid()) * 2654435761u);
    std::this_thread::sleep_for(std::chrono::milliseconds(1 + random() % 8));
  }

  // A database that cannot be used is closed, so that the next call tries
  // again from scratch (the file may have been repaired meanwhile).
  DWORD Fail(int code) {
    switch (code & 0xff) {
      case SQLITE_NOMEM:
        return ERROR_OUTOFMEMORY;
      case SQLITE_CORRUPT:
      case SQLITE_NOTADB:
      case SQLITE_FORMAT:
      case SQLITE_SCHEMA:
      case SQLITE_ERROR:
      case SQLITE_MISMATCH:
      case SQLITE_CONSTRAINT:
        Drop();
        return ERROR_REGISTRY_CORRUPT;
      default:
        Drop();
        return ERROR_REGISTRY_IO_FAILED;
    }
  }

  // Opens registry.db on first use, after the process was pointed at another
  // machine, and in a child made by fork (a connection must never be used
  // by two processes; the parent's one is left alone there).
  void Open() {
    std::string path = RegistryPath();
    if (db_ && path == path_ && getpid() == pid_) return;
    if (db_ && getpid() == pid_) {
      Drop();
    } else if (db_) {
      db_.release();  // the parent's connection: not ours to close
    }
    if (path != path_) ++generation_;

    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_close_v2(raw);
      throw SqlFailure{rc};
    }
    sqlite3_extended_result_codes(raw, 1);
    // Short waits inside SQLite; the retry loop above keeps the overall budget.
    sqlite3_busy_timeout(raw, 100);
    db_ = std::make_unique<Db>(raw);
    db_->generation_ = generation_;
    path_ = path;
    pid_ = getpid();
    try {
      // NORMAL keeps every committed transaction when a process is killed.
      // Set first: a new file's switch to WAL then syncs less.
      db_->Exec("PRAGMA synchronous=NORMAL");
      // WAL: readers never wait for a writer and never see half a write.
      // The file keeps its journal mode, so only a new file is switched.
      if (JournalMode() != "wal") db_->Exec("PRAGMA journal_mode=WAL");
      if (EnsureSchema(*db_)) {
        // The new registry's base keys go into the file itself: every
        // process that opens it after this one would otherwise read them
        // back from the write-ahead log.
        sqlite3_exec(raw, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
      }
    } catch (...) {
      Drop();
      throw;
    }
  }

  std::string JournalMode() {
    auto query = db_->Prepare("PRAGMA journal_mode");
    return query.Step() ? query.Text(0) : std::string();
  }

  void Drop() {
    if (!db_) return;
    for (auto& entry : db_->cache_) sqlite3_finalize(entry.second);
    sqlite3_close_v2(db_->db_);
    db_.reset();
  }

  std::mutex mutex_;
  std::unique_ptr<Db> db_;
  std::string path_;
  pid_t pid_ = 0;
  uint64_t generation_ = 0;
  unsigned budgetMs_ = 20000;
};

DWORD RunRead(const Body& body) { return Connection::Instance().Run(false, body); }
DWORD RunWrite(const Body& body) { return Connection::Instance().Run(true, body); }
void SetBusyBudgetMilliseconds(unsigned ms) { Connection::Instance().SetBudget(ms); }
void CloseConnection() { Connection::Instance().Close(); }

int64_t FileTimeNow() {
  using namespace std::chrono;
  constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;
  auto sinceUnix = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
  return kUnixEpochAsFileTime + sinceUnix / 100;
}

}  // namespace winsim::registry
