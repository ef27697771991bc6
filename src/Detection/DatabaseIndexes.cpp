#include "Detection/DatabaseIndexes.h"

#include "Detection/SqliteHandles.h"

#include <array>

namespace {

constexpr std::array childTables{"HashList", "Paths", "Publisher"};
constexpr int busyWaitMilliseconds = 5000;

// True when the query gives a row.
bool hasRow(sqlite3* db, const std::string& sql, const char* table)
{
    const SqliteStatement statement = prepareSqlite(db, sql);
    return statement && sqlite3_bind_text(statement.get(), 1, table, -1, SQLITE_STATIC) == SQLITE_OK &&
           sqlite3_step(statement.get()) == SQLITE_ROW;
}

bool isTable(sqlite3* db, const char* table)
{
    return hasRow(db, "select 1 from sqlite_schema where type = 'table' and name = ?1", table);
}

// An index over the whole table whose first column is AppId serves the lookups.
bool hasAppIdIndex(sqlite3* db, const char* table)
{
    return hasRow(db,
                  "select 1 from pragma_index_list(?1) as list, pragma_index_info(list.name) as info "
                  "where list.partial = 0 and info.seqno = 0 and info.name = 'AppId' collate nocase",
                  table);
}

} // namespace

void addMissingIndexes(const std::string& dbPath)
{
    const SqliteHandle db = openSqlite(dbPath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX);
    if (!db)
        return;
    sqlite3_busy_timeout(db.get(), busyWaitMilliseconds);
    for (const char* table : childTables)
        if (isTable(db.get(), table) && !hasAppIdIndex(db.get(), table))
            sqlite3_exec(db.get(),
                         (std::string("create index if not exists \"") + table + "AppId\" on \"" + table + "\" (AppId)")
                             .c_str(),
                         nullptr, nullptr, nullptr);
}
