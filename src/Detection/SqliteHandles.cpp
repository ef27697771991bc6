#include "Detection/SqliteHandles.h"

SqliteHandle openSqlite(const std::string& path, int flags)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        db = nullptr;
    }
    return SqliteHandle(db, &sqlite3_close);
}

SqliteStatement prepareSqlite(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    return SqliteStatement(statement, &sqlite3_finalize);
}
