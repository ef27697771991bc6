#include "Detection/SqliteSelect.h"

#include "Detection/FieldCipher.h"
#include "Detection/TextValues.h"

namespace {

constexpr int openFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX; // 0x10006

std::string messageOf(sqlite3* db)
{
    return db ? sqlite3_errmsg(db) : "";
}

} // namespace

SqliteConnection::SqliteConnection(const std::string& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, openFlags, nullptr) == SQLITE_OK) {
        db_ = db;
        return;
    }
    sqlite3_close(db);
    printLine("error opening database");
}

SqliteConnection::~SqliteConnection()
{
    if (db_ && sqlite3_close(db_) != SQLITE_OK)
        printLine("error closing database");
}

SqliteSelect::SqliteSelect(const SqliteConnection& connection, const std::string& sql) : db_(connection.handle())
{
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) {
        printLine("error preparing select: " + messageOf(db_));
        sqlite3_finalize(statement_);
        statement_ = nullptr;
    }
}

SqliteSelect::~SqliteSelect()
{
    if (statement_ && sqlite3_finalize(statement_) != SQLITE_OK)
        printLine("error finalizing prepared statement: " + messageOf(db_));
}

bool SqliteSelect::step()
{
    return statement_ && sqlite3_step(statement_) == SQLITE_ROW;
}

std::optional<std::string_view> SqliteSelect::textColumn(int column) const
{
    const auto* text = sqlite3_column_text(statement_, column);
    if (!text)
        return std::nullopt;
    return std::string_view(reinterpret_cast<const char*>(text),
                            static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

std::int64_t SqliteSelect::idColumn(int column) const
{
    const auto text = textColumn(column);
    return text ? parseInteger(*text).value_or(0) : 0;
}

std::optional<double> SqliteSelect::numberColumn(int column) const
{
    const auto text = textColumn(column);
    return text ? parseDouble(*text) : std::nullopt;
}

std::optional<std::string> SqliteSelect::encipheredColumn(int column) const
{
    const void* bytes = sqlite3_column_blob(statement_, column);
    return decipherField(bytes, sqlite3_column_bytes(statement_, column));
}
