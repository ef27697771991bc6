#include "Detection/DatabaseManager.h"

#include "Detection/InstalledDatabase.h"
#include "Detection/SqliteSelect.h"

#include <algorithm>
#include <vector>

DatabaseManager& DatabaseManager::shared()
{
    static DatabaseManager instance;
    return instance;
}

void DatabaseManager::ensureDatabaseExists()
{
    ensureInstalledDatabaseExists();
}

double DatabaseManager::getVersion(const std::string& dbPath)
{
    ensureDatabaseExists();
    std::vector<double> versions;
    {
        const SqliteConnection db1(dbPath);
        if (!db1.isOpen())
            return 0;
        SqliteSelect statementVersionList(db1, "select * from VersionList");
        while (statementVersionList.step()) {
            if (const auto version = statementVersionList.numberColumn(1))
                versions.push_back(*version);
        }
    }
    return versions.empty() ? 0 : *std::max_element(versions.begin(), versions.end());
}
