#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>

// Owned SQLite handles for the checks and upkeep of a database file, apart from
// the loads (which print their failures): closed and finalised when they end.

using SqliteHandle = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

// The database at `path` opened with `flags` (never created unless they say so);
// null when it cannot be opened.
SqliteHandle openSqlite(const std::string& path, int flags);

// `sql` prepared on `db`; null when it cannot be.
SqliteStatement prepareSqlite(sqlite3* db, const std::string& sql);
