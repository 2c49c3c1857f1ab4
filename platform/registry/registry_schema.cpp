#include "registry_schema.h"

#include <sqlite3.h>

#include "registry_names.h"
#include "registry_tree.h"
#include "winreg.h"

namespace winsim::registry {
namespace {

constexpr int64_t kSchemaVersion = 1;

// A key path below a hive, "\"-separated, and a REG_SZ value to put there.
struct BaseValue {
  const char16_t* key;
  const char16_t* name;
  const char16_t* data;
};

constexpr const char16_t* kMachineKeys[] = {
    u"HARDWARE",
    u"SAM",
    u"SECURITY",
    u"SOFTWARE\\Classes\\CLSID",
    u"SOFTWARE\\Classes\\Interface",
    u"SOFTWARE\\Classes\\WOW6432Node\\CLSID",
    u"SOFTWARE\\Classes\\WOW6432Node\\Interface",
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
    u"SOFTWARE\\Policies",
    u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
    u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    u"SYSTEM\\CurrentControlSet\\Control",
    u"SYSTEM\\CurrentControlSet\\Services\\EapHost\\Methods",
};

constexpr BaseValue kMachineValues[] = {
    {u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", u"ProgramFilesDir", u"C:\\Program Files"},
    {u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", u"ProgramFilesDir (x86)", u"C:\\Program Files (x86)"},
    {u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", u"CommonFilesDir", u"C:\\Program Files\\Common Files"},
    {u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion", u"ProgramFilesDir",
     u"C:\\Program Files (x86)"},
    {u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion", u"CommonFilesDir",
     u"C:\\Program Files (x86)\\Common Files"},
    {u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"ProductName", u"Windows 10 Pro"},
    {u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"CurrentVersion", u"6.3"},
    {u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"CurrentBuild", u"19045"},
};

constexpr const char16_t* kUserKeys[] = {
    u"Environment",
    u"Software\\Classes",
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
};

std::string StringData(const char16_t* text) {
  std::u16string_view view(text);
  std::string bytes(reinterpret_cast<const char*>(view.data()), view.size() * 2);
  bytes.append(2, '\0');
  return bytes;
}

KeyId MakePath(Db& db, KeyId from, const char16_t* path) {
  return *WalkPath(db, from, SplitSubkey(path).parts, true);
}

void CreateTables(Db& db) {
  db.Exec(
      "CREATE TABLE keys("
      " id INTEGER PRIMARY KEY AUTOINCREMENT,"
      " parent INTEGER NOT NULL,"
      " name TEXT NOT NULL,"         // as created
      " fold TEXT NOT NULL,"         // upper case, for case-insensitive lookups
      " written INTEGER NOT NULL,"   // last write time, FILETIME units
      " UNIQUE(parent, fold))");
  db.Exec(
      "CREATE TABLE vals("
      " id INTEGER PRIMARY KEY AUTOINCREMENT,"  // creation order = enumeration order
      " key INTEGER NOT NULL,"
      " name TEXT NOT NULL,"
      " fold TEXT NOT NULL,"
      " type INTEGER NOT NULL,"
      " data BLOB NOT NULL,"
      " UNIQUE(key, fold))");
  // The hive roots; ids 1 and 2 are Hive::Machine and Hive::Users.
  db.Exec("INSERT INTO keys(id, parent, name, fold, written) VALUES(1, 0, 'MACHINE', 'MACHINE', 0)");
  db.Exec("INSERT INTO keys(id, parent, name, fold, written) VALUES(2, 0, 'USER', 'USER', 0)");
}

void SeedMachine(Db& db) {
  KeyId machine = RootOf(Hive::Machine);
  for (const char16_t* path : kMachineKeys) MakePath(db, machine, path);
  for (const auto& value : kMachineValues) {
    StoreValue(db, MakePath(db, machine, value.key), value.name, REG_SZ, StringData(value.data));
  }
  MakePath(db, RootOf(Hive::Users), u".DEFAULT");
}

int64_t UserVersion(Db& db) {
  auto query = db.Prepare("PRAGMA user_version");
  return query.Step() ? query.Int(0) : 0;
}

}  // namespace

bool EnsureSchema(Db& db) {
  if (UserVersion(db) == kSchemaVersion) return false;
  // On a failure the caller closes the connection, which rolls this back.
  db.Exec("BEGIN IMMEDIATE");
  int64_t version = UserVersion(db);  // another process may have done it meanwhile
  if (version == 0) {
    // An SQLite database of something else is not a registry.
    if (db.Prepare("SELECT 1 FROM sqlite_master LIMIT 1").Step()) throw SqlFailure{SQLITE_NOTADB};
    CreateTables(db);
    SeedMachine(db);
    db.Exec("PRAGMA user_version = 1");
  } else if (version != kSchemaVersion) {
    throw SqlFailure{SQLITE_NOTADB};
  }
  db.Exec("COMMIT");
  return version == 0;
}

void EnsureUserKey(Db& db, const std::u16string& user) {
  KeyId users = RootOf(Hive::Users);
  if (FindSubkey(db, users, user)) return;
  KeyId key = CreateSubkey(db, users, user);
  for (const char16_t* path : kUserKeys) MakePath(db, key, path);
}

}  // namespace winsim::registry
