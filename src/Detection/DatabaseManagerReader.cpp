#include "Detection/DatabaseManagerReader.h"

#include "Detection/DatabaseIndexes.h"
#include "Detection/FieldCipher.h"
#include "Detection/FolderLookup.h"
#include "Detection/InstalledDatabase.h"
#include "Detection/SqliteSelect.h"
#include "Foundation/ProtectedPaths.h"
#include "Foundation/UserPaths.h"
#include "Platform/Root/PlatformRoot.h"

#include <algorithm>

namespace {

constexpr const char* defaultSigInfo = "Deceptive App";

std::string childQuery(const char* table, std::int64_t appId)
{
    return std::string("select * from ") + table + " where AppId = " + std::to_string(appId);
}

// Reads every row of `query` with `readRow`, in row order.
template <class Row, class ReadRow>
std::vector<Row> readRows(const SqliteConnection& db, const std::string& query, ReadRow readRow)
{
    std::vector<Row> rows;
    SqliteSelect statement(db, query);
    while (statement.step())
        rows.push_back(readRow(statement));
    return rows;
}

// The full path of a Paths row as a host path: its Constant folder, when it has one,
// followed directly by its path text.
std::optional<std::string> joinFolder(const std::vector<Constant>& constants, std::int64_t commonFolderId,
                                      const std::string& pathText)
{
    const auto folder = std::find_if(constants.begin(), constants.end(),
                                     [&](const Constant& constant) { return constant.id == commonFolderId; });
    const bool inFolder = folder != constants.end() && folder->folderPath;
    return platform::hostPath(inFolder ? *folder->folderPath + pathText : pathText);
}

} // namespace

DatabaseManagerReader& DatabaseManagerReader::shared()
{
    static DatabaseManagerReader instance;
    return instance;
}

void DatabaseManagerReader::ensureDatabaseExists()
{
    ensureInstalledDatabaseExists();
}

std::vector<MalwareList> DatabaseManagerReader::loadMalwareList(const std::string& dbPath)
{
    ensureDatabaseExists();
    if (dbPath == databasePath())
        addMissingIndexes(dbPath);
    std::vector<MalwareList> records;
    const SqliteConnection db(dbPath);
    if (!db.isOpen())
        return records;
    databaseFieldKey();
    databaseFieldIV();
    const auto constants = readConstants(db, "select * from Constant");
    FolderLookup folders;
    const ProtectedFolders protectedFolders;
    SqliteSelect statementMalwareList(db, "select * from MalwareList");
    while (statementMalwareList.step()) {
        MalwareList record;
        record.id = statementMalwareList.idColumn(0);
        record.appName = statementMalwareList.encipheredColumn(1);
        record.sigInfo = statementMalwareList.encipheredColumn(2).value_or(defaultSigInfo);
        record.status = statementMalwareList.encipheredColumn(3);
        record.hash = readHashList(db, childQuery("HashList", record.id));
        record.paths = readPaths(db, childQuery("Paths", record.id), constants, folders, protectedFolders);
        record.publisher = readPublisher(db, childQuery("Publisher", record.id));
        records.push_back(std::move(record));
    }
    return records;
}

std::optional<std::vector<MalwareList>> DatabaseManagerReader::loadInstalledMalwareList()
{
    if (!ensureInstalledDatabaseReadable())
        return std::nullopt;
    return loadMalwareList(databasePath());
}

std::vector<Constant> DatabaseManagerReader::readConstants(const SqliteConnection& db, const std::string& query)
{
    const std::string loginName = platform::userName();
    return readRows<Constant>(db, query, [&](const SqliteSelect& row) {
        const auto folderText = row.encipheredColumn(1);
        return Constant{row.idColumn(0),
                        folderText ? std::optional(expandFolderText(*folderText, loginName)) : std::nullopt};
    });
}

std::vector<HashList> DatabaseManagerReader::readHashList(const SqliteConnection& db, const std::string& query)
{
    return readRows<HashList>(db, query, [](const SqliteSelect& row) {
        return HashList{row.idColumn(0), row.idColumn(1), row.encipheredColumn(2), row.encipheredColumn(3),
                        row.encipheredColumn(4), row.encipheredColumn(5)};
    });
}

std::vector<Paths> DatabaseManagerReader::readPaths(const SqliteConnection& db, const std::string& query,
                                                    const std::vector<Constant>& constants, FolderLookup& folders,
                                                    const ProtectedFolders& protectedFolders)
{
    return readRows<Paths>(db, query, [&](const SqliteSelect& row) {
        Paths paths{row.idColumn(0), row.idColumn(1), row.idColumn(2), {}, row.encipheredColumn(3)};
        const auto fullPath =
            paths.shortPath ? joinFolder(constants, paths.commonFolderId, *paths.shortPath) : std::nullopt;
        paths.path = makePath(fullPath, folders, protectedFolders);
        return paths;
    });
}

std::vector<Publisher> DatabaseManagerReader::readPublisher(const SqliteConnection& db, const std::string& query)
{
    return readRows<Publisher>(db, query, [](const SqliteSelect& row) {
        return Publisher{row.idColumn(0), row.idColumn(1), row.encipheredColumn(2), row.encipheredColumn(3),
                         row.encipheredColumn(4)};
    });
}

std::string expandFolderText(const std::string& folderText, const std::string& loginName)
{
    static const std::string placeholder = "%@";
    std::string expanded;
    std::size_t from = 0;
    for (auto at = folderText.find(placeholder); at != std::string::npos; at = folderText.find(placeholder, from)) {
        expanded.append(folderText, from, at - from).append(loginName);
        from = at + placeholder.size();
    }
    return expanded.append(folderText, from);
}
