#include "Detection/DatabaseCheck.h"

#include "Detection/SqliteHandles.h"

#include <algorithm>
#include <array>

namespace {

struct TableShape {
    const char* query;
    int columns;
};

// Every table a load selects from, with the number of columns it reads.
constexpr std::array tableShapes{TableShape{"select * from VersionList", 2}, TableShape{"select * from MalwareList", 4},
                                 TableShape{"select * from Constant", 2},    TableShape{"select * from HashList", 6},
                                 TableShape{"select * from Paths", 4},       TableShape{"select * from Publisher", 5}};

SqliteHandle openReadOnly(const std::string& path)
{
    return openSqlite(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX);
}

bool hasShape(sqlite3* db, const TableShape& shape)
{
    const SqliteStatement statement = prepareSqlite(db, shape.query);
    return statement && sqlite3_column_count(statement.get()) >= shape.columns;
}

bool readsRecords(sqlite3* db)
{
    const SqliteStatement statement = prepareSqlite(db, "select * from MalwareList limit 1");
    return statement && sqlite3_step(statement.get()) == SQLITE_ROW;
}

bool passesIntegrityCheck(sqlite3* db)
{
    const SqliteStatement statement = prepareSqlite(db, "pragma integrity_check");
    if (!statement || sqlite3_step(statement.get()) != SQLITE_ROW)
        return false;
    const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    return verdict && std::string(verdict) == "ok" && sqlite3_step(statement.get()) == SQLITE_DONE;
}

bool hasReadableRecords(sqlite3* db)
{
    return std::ranges::all_of(tableShapes, [&](const TableShape& shape) { return hasShape(db, shape); }) &&
           readsRecords(db);
}

} // namespace

bool hasReadableRecords(const std::string& path)
{
    const SqliteHandle db = openReadOnly(path);
    return db && hasReadableRecords(db.get());
}

bool isSoundSignatureDatabase(const std::string& path)
{
    const SqliteHandle db = openReadOnly(path);
    return db && passesIntegrityCheck(db.get()) && hasReadableRecords(db.get());
}
