#include "registry_tree.h"

#include "winsim/codepage.h"

namespace winsim::registry {
namespace {

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text); }
std::string Folded(std::u16string_view name) { return Utf16ToUtf8(Upcase(name)); }

void Touch(Db& db, KeyId key) {
  db.Prepare("UPDATE keys SET written = ?2 WHERE id = ?1").Bind(1, key).Bind(2, FileTimeNow()).Run();
}

ValueRecord ReadValue(const Statement& row) {
  ValueRecord value;
  value.name = Utf8ToUtf16(row.Text(0));
  value.type = static_cast<DWORD>(row.Int(1));
  value.data = row.Blob(2);
  return value;
}

}  // namespace

bool KeyExists(Db& db, KeyId key) {
  return db.Prepare("SELECT 1 FROM keys WHERE id = ?1").Bind(1, key).Step();
}

std::optional<KeyId> FindSubkey(Db& db, KeyId parent, std::u16string_view name) {
  auto query = db.Prepare("SELECT id FROM keys WHERE parent = ?1 AND fold = ?2");
  query.Bind(1, parent).BindText(2, Folded(name));
  if (!query.Step()) return std::nullopt;
  return query.Int(0);
}

KeyId CreateSubkey(Db& db, KeyId parent, std::u16string_view name) {
  db.Prepare("INSERT INTO keys(parent, name, fold, written) VALUES(?1, ?2, ?3, ?4)")
      .Bind(1, parent)
      .BindText(2, Utf8(name))
      .BindText(3, Folded(name))
      .Bind(4, FileTimeNow())
      .Run();
  return db.LastInsertId();
}

std::optional<SubkeyRecord> SubkeyAt(Db& db, KeyId parent, int64_t index) {
  auto query = db.Prepare("SELECT name, written FROM keys WHERE parent = ?1 ORDER BY fold LIMIT 1 OFFSET ?2");
  query.Bind(1, parent).Bind(2, index);
  if (!query.Step()) return std::nullopt;
  return SubkeyRecord{Utf8ToUtf16(query.Text(0)), query.Int(1)};
}

bool HasSubkeys(Db& db, KeyId key) {
  return db.Prepare("SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1").Bind(1, key).Step();
}

void DeleteKeyTree(Db& db, KeyId key) {
  db.Prepare(
        "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) "
        "DELETE FROM vals WHERE key IN (SELECT id FROM tree)")
      .Bind(1, key)
      .Run();
  db.Prepare(
        "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) "
        "DELETE FROM keys WHERE id IN (SELECT id FROM tree)")
      .Bind(1, key)
      .Run();
}

std::optional<ValueRecord> FindValue(Db& db, KeyId key, std::u16string_view name) {
  auto query = db.Prepare("SELECT name, type, data FROM vals WHERE key = ?1 AND fold = ?2");
  query.Bind(1, key).BindText(2, Folded(name));
  if (!query.Step()) return std::nullopt;
  return ReadValue(query);
}

std::optional<ValueRecord> ValueAt(Db& db, KeyId key, int64_t index) {
  auto query = db.Prepare("SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2");
  query.Bind(1, key).Bind(2, index);
  if (!query.Step()) return std::nullopt;
  return ReadValue(query);
}

void StoreValue(Db& db, KeyId key, std::u16string_view name, DWORD type, std::string_view data) {
  auto update = db.Prepare("UPDATE vals SET type = ?3, data = ?4 WHERE key = ?1 AND fold = ?2");
  update.Bind(1, key).BindText(2, Folded(name)).Bind(3, type).BindBlob(4, data).Run();
  if (db.Changes() == 0) {
    db.Prepare("INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5)")
        .Bind(1, key)
        .BindText(2, Utf8(name))
        .BindText(3, Folded(name))
        .Bind(4, type)
        .BindBlob(5, data)
        .Run();
  }
  Touch(db, key);
}

bool RemoveValue(Db& db, KeyId key, std::u16string_view name) {
  db.Prepare("DELETE FROM vals WHERE key = ?1 AND fold = ?2").Bind(1, key).BindText(2, Folded(name)).Run();
  if (db.Changes() == 0) return false;
  Touch(db, key);
  return true;
}

std::optional<KeyId> WalkPath(Db& db, KeyId from, const std::vector<std::u16string>& path, bool create,
                              bool* created) {
  if (created) *created = false;
  KeyId current = from;
  for (const auto& name : path) {
    auto next = FindSubkey(db, current, name);
    if (next) {
      current = *next;
      if (created) *created = false;
      continue;
    }
    if (!create) return std::nullopt;
    current = CreateSubkey(db, current, name);
    if (created) *created = true;
  }
  return current;
}

}  // namespace winsim::registry
