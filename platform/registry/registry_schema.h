// Layout of registry.db and the keys every new machine's registry holds.
#pragma once
#include "registry_db.h"

namespace winsim::registry {

// Creates the tables and the base keys when the database is new (true:
// this call made them); fails (SqlFailure with SQLITE_NOTADB) for a
// database that is not a registry.
bool EnsureSchema(Db& db);

// The key of a machine user below HKEY_USERS, with the keys a new user
// profile holds; made on the user's first use of HKEY_CURRENT_USER.
void EnsureUserKey(Db& db, const std::u16string& user);

}  // namespace winsim::registry
