#include "DatabaseWriter.h"

#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <unistd.h>

namespace sigdb {
namespace {

// The tables, their columns in the order the readers read them.
constexpr std::array<const char*, 6> schema = {
    "create table VersionList (Id integer primary key, Version text)",
    "create table MalwareList (Id text, AppName blob, SigInfo blob, Status blob)",
    "create table Constant (Id text, FolderPath blob)",
    "create table HashList (Id text, AppId text, Md5 blob, Sha1 blob, Sha256 blob, Cert blob)",
    "create table Paths (Id text, AppId text, CommonFolderId text, Path blob)",
    "create table Publisher (Id text, AppId text, Publisher blob, Version blob, AppSource blob)",
};

constexpr std::array<const char*, 3> childTables = {"HashList", "Paths", "Publisher"};

Cell field(const std::string& text)
{
    return encipherField(text);
}

Cell id(std::int64_t value)
{
    return std::to_string(value);
}

int bind(sqlite3_stmt* statement, int index, const Cell& cell)
{
    if (const auto* text = std::get_if<std::string>(&cell))
        return sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
    if (const auto* bytes = std::get_if<Bytes>(&cell))
        return sqlite3_bind_blob(statement, index, bytes->data(), static_cast<int>(bytes->size()), SQLITE_TRANSIENT);
    return sqlite3_bind_null(statement, index);
}

} // namespace

std::unique_ptr<DatabaseWriter> DatabaseWriter::create(const std::string& path, std::string& error)
{
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        error = "cannot create " + path + ": " + sqlite3_errmsg(db);
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<DatabaseWriter> writer(new DatabaseWriter(db));
    bool made = writer->execute("begin");
    for (const char* table : schema)
        made = made && writer->execute(table);
    for (const char* table : childTables)
        made = made && writer->execute(std::string("create index ") + table + "AppId on " + table + " (AppId)");
    if (!made) {
        error = writer->lastError();
        return nullptr;
    }
    return writer;
}

DatabaseWriter::~DatabaseWriter()
{
    for (const auto& [table, statement] : statements_)
        sqlite3_finalize(statement);
    sqlite3_close(db_);
}

bool DatabaseWriter::execute(const std::string& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    error_ = sql + ": " + (message ? message : "");
    sqlite3_free(message);
    return false;
}

sqlite3_stmt* DatabaseWriter::insertStatement(const std::string& table, std::size_t columns)
{
    for (const auto& [name, statement] : statements_)
        if (name == table && static_cast<std::size_t>(sqlite3_bind_parameter_count(statement)) == columns)
            return statement;
    std::string sql = "insert into " + table + " values (";
    for (std::size_t i = 0; i < columns; ++i)
        sql += i ? ", ?" : "?";
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, (sql + ")").c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        error_ = sql + "): " + sqlite3_errmsg(db_);
        return nullptr;
    }
    statements_.emplace_back(table, statement);
    return statement;
}

bool DatabaseWriter::insert(const std::string& table, const std::vector<Cell>& cells)
{
    sqlite3_stmt* statement = insertStatement(table, cells.size());
    if (!statement)
        return false;
    int status = SQLITE_OK;
    for (std::size_t i = 0; i < cells.size() && status == SQLITE_OK; ++i)
        status = bind(statement, static_cast<int>(i + 1), cells[i]);
    if (status == SQLITE_OK)
        status = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (status == SQLITE_DONE)
        return true;
    error_ = "insert into " + table + ": " + sqlite3_errmsg(db_);
    return false;
}

bool DatabaseWriter::insert(const SignatureSource& source)
{
    bool written = true;
    for (const auto& version : source.versions)
        written = written && insert("VersionList", {nullptr, version});
    for (const auto& folder : source.folders)
        written = written && insert("Constant", {id(folder.id), field(folder.folderPath)});
    std::int64_t pathId = 0, hashId = 0, publisherId = 0;
    for (const auto& app : source.apps) {
        written = written && insert("MalwareList", {id(app.id), field(app.appName), field(app.sigInfo), field(app.status)});
        for (const auto& path : app.paths)
            written = written && insert("Paths", {id(++pathId), id(app.id), id(path.commonFolderId), field(path.path)});
        for (const auto& hash : app.hashes)
            written = written && insert("HashList", {id(++hashId), id(app.id), field(hash.md5), field(hash.sha1),
                                                     field(hash.sha256), field(hash.cert)});
        for (const auto& publisher : app.publishers)
            written = written && insert("Publisher", {id(++publisherId), id(app.id), field(publisher.publisher),
                                                      field(publisher.version), field(publisher.appSource)});
    }
    return written;
}

bool DatabaseWriter::commit()
{
    return execute("commit");
}

bool buildDatabase(const SignatureSource& source, const std::string& path, std::string& error)
{
    const std::string partial = path + ".part-" + std::to_string(getpid());
    bool built = false;
    if (auto writer = DatabaseWriter::create(partial, error)) {
        built = writer->insert(source) && writer->commit();
        if (!built)
            error = writer->lastError();
    }
    std::error_code renameError;
    if (built)
        std::filesystem::rename(partial, path, renameError);
    if (renameError)
        error = "cannot write " + path + ": " + renameError.message();
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    return built && !renameError;
}

} // namespace sigdb
