#include "Detection/DatabaseCheck.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

struct TableShape {
    const char* query;
    int columns;
};

// Every table a load selects from, with the number of columns it reads.
constexpr std::array tableShapes{TableShape{"select * from VersionList", 2}, TableShape{"select * from MalwareList", 4},
                                 TableShape{"select * from Constant", 2},    TableShape{"select * from HashList", 6},
                                 TableShape{"select * from Paths", 4},       TableShape{"select * from Publisher", 5}};

using Connection = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;
using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

Connection openReadOnly(const std::string& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        db = nullptr;
    }
    return Connection(db, &sqlite3_close);
}

Statement prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    return Statement(statement, &sqlite3_finalize);
}

bool hasShape(sqlite3* db, const TableShape& shape)
{
    const Statement statement = prepare(db, shape.query);
    return statement && sqlite3_column_count(statement.get()) >= shape.columns;
}

bool readsRecords(sqlite3* db)
{
    const Statement statement = prepare(db, "select * from MalwareList limit 1");
    return statement && sqlite3_step(statement.get()) == SQLITE_ROW;
}

bool passesIntegrityCheck(sqlite3* db)
{
    const Statement statement = prepare(db, "pragma integrity_check");
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
    const Connection db = openReadOnly(path);
    return db && hasReadableRecords(db.get());
}

bool isSoundSignatureDatabase(const std::string& path)
{
    const Connection db = openReadOnly(path);
    return db && passesIntegrityCheck(db.get()) && hasReadableRecords(db.get());
}
