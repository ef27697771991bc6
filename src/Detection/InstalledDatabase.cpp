#include "Detection/InstalledDatabase.h"

#include "Foundation/BundlePaths.h"
#include "Foundation/UserPaths.h"

#include <filesystem>
#include <mutex>
#include <unistd.h>

namespace fs = std::filesystem;

void ensureInstalledDatabaseExists()
{
    static std::mutex installing;
    const std::lock_guard lock(installing);
    std::error_code ignored;
    const fs::path installed = databasePath();
    if (!fs::exists(installed.parent_path(), ignored))
        fs::create_directories(installed.parent_path(), ignored);
    if (fs::exists(installed, ignored) || bundledDatabasePath().empty())
        return;
    const fs::path partial = installed.string() + ".part-" + std::to_string(getpid());
    // A hard link appears whole and never replaces a database installed meanwhile.
    if (fs::copy_file(bundledDatabasePath(), partial, fs::copy_options::overwrite_existing, ignored))
        fs::create_hard_link(partial, installed, ignored);
    fs::remove(partial, ignored);
}

bool replaceInstalledDatabase(const std::string& newDatabase)
{
    std::error_code error;
    fs::rename(newDatabase, databasePath(), error);
    return !error;
}
