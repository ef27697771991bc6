#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One connection of a database read, opened read-write (created when missing) with
// full mutex, and closed when it ends. Failures print their line and the read goes on.
class SqliteConnection {
public:
    explicit SqliteConnection(const std::string& path); // prints "error opening database"
    ~SqliteConnection();                                 // prints "error closing database"
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// One prepared select on an open connection, finalised when it ends. Columns are
// numbered from 0 here (the first column of a table is column 0).
class SqliteSelect {
public:
    SqliteSelect(const SqliteConnection& connection, const std::string& sql); // prints "error preparing select: "
    ~SqliteSelect(); // prints "error finalizing prepared statement: "
    SqliteSelect(const SqliteSelect&) = delete;
    SqliteSelect& operator=(const SqliteSelect&) = delete;

    // The next row; false at the end, on an error, or when the prepare failed.
    bool step();

    std::int64_t idColumn(int column) const;                      // 0 when NULL or not a whole integer
    std::optional<std::string> encipheredColumn(int column) const; // deciphered UTF-8 text
    std::optional<double> numberColumn(int column) const;
    // Valid until the next step.
    std::optional<std::string_view> textColumn(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};
