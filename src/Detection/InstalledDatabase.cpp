#include "Detection/InstalledDatabase.h"

#include "Detection/DatabaseCheck.h"
#include "Detection/DatabaseIndexes.h"
#include "Detection/TextValues.h"
#include "Detection/UpdateLock.h"
#include "Foundation/BundlePaths.h"
#include "Foundation/UserPaths.h"

#include <filesystem>
#include <mutex>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A copy of the shipped database beside the installed one, named for this process;
// empty when it cannot be made.
fs::path copyOfShippedDatabase()
{
    std::error_code error;
    const fs::path partial = databasePath() + ".part-" + std::to_string(getpid());
    const std::string shipped = bundledDatabasePath();
    if (shipped.empty() || !fs::copy_file(shipped, partial, fs::copy_options::overwrite_existing, error)) {
        fs::remove(partial, error);
        return {};
    }
    return partial;
}

void reinstallShippedDatabase()
{
    const fs::path copy = copyOfShippedDatabase();
    std::error_code ignored;
    if (!copy.empty() && !replaceInstalledDatabase(copy.string()))
        fs::remove(copy, ignored);
}

} // namespace

void ensureInstalledDatabaseExists()
{
    static std::mutex installing;
    const std::lock_guard lock(installing);
    std::error_code ignored;
    const fs::path installed = databasePath();
    if (!fs::exists(installed.parent_path(), ignored))
        fs::create_directories(installed.parent_path(), ignored);
    if (fs::exists(installed, ignored))
        return;
    // A hard link appears whole and never replaces a database installed meanwhile.
    if (const fs::path copy = copyOfShippedDatabase(); !copy.empty()) {
        fs::create_hard_link(copy, installed, ignored);
        fs::remove(copy, ignored);
    }
}

bool ensureInstalledDatabaseReadable()
{
    ensureInstalledDatabaseExists();
    if (hasReadableRecords(databasePath()))
        return true;
    const UpdateLock lock;
    if (hasReadableRecords(databasePath()))
        return true;
    printLine("the installed signature database cannot be read; the shipped one is installed again");
    reinstallShippedDatabase();
    return hasReadableRecords(databasePath());
}

bool replaceInstalledDatabase(const std::string& newDatabase)
{
    std::error_code error;
    // Only a plain file is installed: a link could name any file.
    if (!fs::is_regular_file(fs::symlink_status(newDatabase, error)) || !isSoundSignatureDatabase(newDatabase))
        return false;
    addMissingIndexes(newDatabase);
    fs::rename(newDatabase, databasePath(), error);
    return !error;
}
