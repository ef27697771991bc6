#pragma once

#include "SignatureSource.h"

#include "Detection/FieldCipher.h"

#include <cstddef>
#include <memory>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace sigdb {

// One stored column: NULL, a text, or raw bytes (an enciphered field).
using Cell = std::variant<std::nullptr_t, std::string, Bytes>;

// Writes a signature database: the six tables, an index on each child table's
// AppId, and rows as given. Everything is one transaction, written by commit().
class DatabaseWriter {
public:
    // A new database at `path` (an existing file there is replaced); null with
    // `error` set when it cannot be made.
    static std::unique_ptr<DatabaseWriter> create(const std::string& path, std::string& error);
    ~DatabaseWriter();
    DatabaseWriter(const DatabaseWriter&) = delete;
    DatabaseWriter& operator=(const DatabaseWriter&) = delete;

    // One row of `table` ("VersionList", "MalwareList", "Constant", "HashList",
    // "Paths", "Publisher"), its cells in column order.
    bool insert(const std::string& table, const std::vector<Cell>& cells);

    // Every entry of the source, its texts enciphered, its child rows numbered from 1.
    bool insert(const SignatureSource& source);

    bool commit();
    const std::string& lastError() const { return error_; }

private:
    explicit DatabaseWriter(sqlite3* db) : db_(db) {}
    bool execute(const std::string& sql);
    sqlite3_stmt* insertStatement(const std::string& table, std::size_t columns);

    sqlite3* db_;
    std::vector<std::pair<std::string, sqlite3_stmt*>> statements_;
    std::string error_;
};

// Builds the database of `source` at `path` in one step (written beside it, then
// renamed over it); false with `error` set on a failure, leaving `path` as it was.
bool buildDatabase(const SignatureSource& source, const std::string& path, std::string& error);

} // namespace sigdb
