#pragma once

#include "Detection/Records.h"

#include <optional>
#include <string>
#include <vector>

class FolderLookup;
class ProtectedFolders;
class SqliteConnection;

// Loads every signature record with its hashes, paths and publishers. Every load
// opens and closes its own connection and keeps its Constant rows to itself, so
// loads from several threads never share a handle.
class DatabaseManagerReader {
public:
    static DatabaseManagerReader& shared();

    // Installs the shipped database when none is installed; never fails to the caller.
    void ensureDatabaseExists();

    // The records in the order of the MalwareList table; what could be read when a
    // step fails (failures print their line).
    std::vector<MalwareList> loadMalwareList(const std::string& dbPath);

    // The records of the installed database. When they cannot be read, the shipped
    // database is installed again first; null when even then they cannot be read.
    std::optional<std::vector<MalwareList>> loadInstalledMalwareList();

    // The row readers of one load, on its open connection.
    std::vector<Constant> readConstants(const SqliteConnection& db, const std::string& query);
    std::vector<HashList> readHashList(const SqliteConnection& db, const std::string& query);
    // `folders` answers the folder tests of the whole load, `protectedFolders` its protection tests.
    std::vector<Paths> readPaths(const SqliteConnection& db, const std::string& query,
                                 const std::vector<Constant>& constants, FolderLookup& folders,
                                 const ProtectedFolders& protectedFolders);
    std::vector<Publisher> readPublisher(const SqliteConnection& db, const std::string& query);

private:
    DatabaseManagerReader() = default;
};

// The full path and, for a folder that is not protected, the regular files under it.
Path makePath(const std::optional<std::string>& fullPath);
// The same with the folder test and the protected folders of a load.
Path makePath(const std::optional<std::string>& fullPath, FolderLookup& folders,
              const ProtectedFolders& protectedFolders);

// A Constant folder text with each "%@" replaced by the login name; no other
// character of the text is interpreted.
std::string expandFolderText(const std::string& folderText, const std::string& loginName);
