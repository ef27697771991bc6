#pragma once

#include <string>

// Reads the version of a signature database. Every call opens and closes its own
// connection, so calls from several threads never share a handle.
class DatabaseManager {
public:
    static DatabaseManager& shared();

    // Installs the shipped database when none is installed; never fails to the caller.
    void ensureDatabaseExists();

    // The largest version of the VersionList table; 0 when there is none or the
    // database cannot be read (failures print their line).
    double getVersion(const std::string& dbPath);

private:
    DatabaseManager() = default;
};
