#include "Detection/UpdateDatabase.h"

#include "Detection/DefinitionsServer.h"
#include "Detection/InstalledDatabase.h"
#include "Detection/TextValues.h"
#include "Detection/UpdateLock.h"
#include "Foundation/Analytics.h"
#include "Foundation/Downloads.h"
#include "Foundation/INIParser.h"
#include "Foundation/ProcessRunner.h"
#include "Foundation/Reachability.h"
#include "Foundation/Settings.h"
#include "Foundation/UserPaths.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Platform/Tools/ZipListing.h"

#include <chrono>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr const char* indexFile = "bgx.ini";
constexpr const char* archiveFile = "updateddatabase.zip";
constexpr const char* indexSection = "act";
constexpr const char* versionKey = "version";
constexpr const char* phoneKey = "phone";
constexpr const char* definitionsStatusNotification = "UpdateAGSQStatusAndDefinitionsBGX";
// The largest index and archive taken from the server (bytes after content
// decoding), and the time each may take.
constexpr DownloadLimits indexLimits{64 * 1024, platform::smallTransferDeadlines};
constexpr DownloadLimits archiveLimits{256 * 1024 * 1024, platform::largeTransferDeadlines};
// The most the archive may unpack to, by its own listing (a database is tens of MiB).
constexpr std::uint64_t maximumUnpackedArchiveSize = std::uint64_t{1024} * 1024 * 1024;
// The most members the archive may list (it holds the database and little else).
constexpr std::uint64_t maximumArchiveMembers = 1'000;

// Makes the folder of `file` and removes an old `file`; failures are ignored,
// since the download then fails or reuses what is there.
void prepareDownload(const std::string& file)
{
    std::error_code ignored;
    fs::create_directories(fs::path(file).parent_path(), ignored);
    fs::remove(file, ignored);
}

// The update lock, or null (and a line saying why) when another update kept it
// past the wait.
std::shared_ptr<UpdateLock> takeUpdateLock()
{
    auto lock = std::make_shared<UpdateLock>();
    if (lock->held())
        return lock;
    printLine("another definitions update is still running; the installed definitions stay in use");
    return nullptr;
}

void storePhoneNumber(const INIParser::Section& section)
{
    const auto phone = section.find(phoneKey);
    if (phone == section.end())
        return;
    if (auto* suite = appGroupDefaults())
        suite->setObject(SettingsKey::phoneNumber, phone->second);
}

// Whether the archive can be listed and, by its listing, holds and unpacks to no
// more than the limits; says why not.
bool unpacksWithinLimit(const std::string& archive)
{
    const auto listed = platform::listedTotals(archive);
    if (!listed)
        printLine("The definitions archive cannot be listed; it is not unpacked: " + archive);
    else if (listed->members > maximumArchiveMembers)
        printLine("The definitions archive holds " + std::to_string(listed->members) + " members, more than " +
                  std::to_string(maximumArchiveMembers) + "; it is not unpacked: " + archive);
    else if (listed->unpackedSize > maximumUnpackedArchiveSize)
        printLine("The definitions archive would unpack to " + std::to_string(listed->unpackedSize) +
                  " bytes, more than " + std::to_string(maximumUnpackedArchiveSize) + "; it is not unpacked: " + archive);
    return listed && listed->members <= maximumArchiveMembers && listed->unpackedSize <= maximumUnpackedArchiveSize;
}

} // namespace

UpdateDatabase& UpdateDatabase::shared()
{
    static UpdateDatabase instance;
    return instance;
}

void UpdateDatabase::checkForUpdates(double currentVersion, CheckCompletion completion)
{
    if (!Reachability::isConnectedToNetwork()) {
        completion(false, std::nullopt, std::nullopt);
        return;
    }
    platform::dispatch::asyncGlobal([this, currentVersion, completion = std::move(completion)] {
        const auto lock = takeUpdateLock();
        if (!lock) {
            completion(false, std::nullopt, std::nullopt);
            return;
        }
        prepareDownload(iniFilePath());
        downloadFile(definitionsURL(indexFile), iniFilePath(), indexLimits,
                     [this, lock, currentVersion, completion](const std::string&, const std::optional<DownloadError>& error) {
                         readIniFile(currentVersion, error, [&](bool isNewer, auto current, auto latest) {
                             lock->release();
                             completion(isNewer, current, latest);
                         });
                     });
    });
}

void UpdateDatabase::readIniFile(double currentVersion, const std::optional<DownloadError>& error,
                                 const CheckCompletion& completion)
{
    if (error) {
        completion(false, std::nullopt, std::nullopt);
        return;
    }
    std::optional<INIParser> parser;
    try {
        parser.emplace(iniFilePath());
    } catch (const std::exception& failure) {
        printLine(failure.what());
        completion(false, std::nullopt, std::nullopt);
        return;
    }
    const auto section = parser->sections().find(indexSection);
    if (section == parser->sections().end()) {
        completion(false, std::nullopt, std::nullopt);
        return;
    }
    storePhoneNumber(section->second);
    const auto version = section->second.find(versionKey);
    const auto newVersion = version == section->second.end() ? std::nullopt : parseDouble(version->second);
    if (!newVersion) {
        completion(false, std::nullopt, std::nullopt);
        return;
    }
    completion(*newVersion > currentVersion, currentVersion, *newVersion);
}

void UpdateDatabase::downloadDatabase(InstallCompletion completion)
{
    if (!Reachability::isConnectedToNetwork()) {
        completion(false);
        return;
    }
    platform::dispatch::asyncGlobal([this, completion = std::move(completion)] {
        const auto lock = takeUpdateLock();
        if (!lock) {
            completion(false);
            return;
        }
        prepareDownload(databaseZipPath());
        downloadFile(definitionsURL(archiveFile), databaseZipPath(), archiveLimits,
                     [this, lock, completion](const std::string&, const std::optional<DownloadError>& error) {
                         const bool installed = !error && installDownloadedDatabase();
                         lock->release();
                         completion(installed);
                     });
    });
}

void UpdateDatabase::downloadDatabaseForSettings(std::function<void(bool installed)> showResult)
{
    downloadDatabase([showResult = std::move(showResult)](bool installed) {
        updateSettingsInstallCompletion(installed, showResult);
    });
}

void UpdateDatabase::downloadAndInstallDatabase()
{
    downloadDatabase(setDefinitionsUpToDate);
}

bool UpdateDatabase::installDownloadedDatabase()
{
    std::error_code ignored;
    if (!fs::exists(databasePath(), ignored))
        return false;
    // A copy left by an earlier unpack must not pass for this archive's.
    fs::remove_all(downloadedDatabasePath(), ignored);
    // Only the database is unpacked, and never past the limit, whatever the
    // archive's headers claim.
    const fs::path unpacked = downloadedDatabasePath();
    const bool installed = unpacksWithinLimit(databaseZipPath()) &&
                           unzipMember(databaseZipPath(), unpacked.filename().string(),
                                       unpacked.parent_path().string(), maximumUnpackedArchiveSize) &&
                           replaceInstalledDatabase(downloadedDatabasePath());
    if (!installed) {
        fs::remove_all(downloadedDatabasePath(), ignored);
        return false;
    }
    sendAnalyticsEvent("malware_database", "downloaded");
    return true;
}

void recordDefinitionsInstall(bool installed)
{
    auto& defaults = standardDefaults();
    if (installed)
        defaults.setObject(SettingsKey::definitionLastUpdatedOnDate, platform::Value(std::chrono::system_clock::now()));
    defaults.setBool(SettingsKey::isDefinitionsAreUpToDate, installed);
}

void setDefinitionsUpToDate(bool installed)
{
    recordDefinitionsInstall(installed);
    platform::dispatch::asyncMain(
        [] { platform::NotificationCenter::defaultCenter().post(definitionsStatusNotification); });
}

void updateSettingsInstallCompletion(bool installed, const std::function<void(bool installed)>& showResult)
{
    recordDefinitionsInstall(installed);
    platform::dispatch::asyncMain([installed, showResult] { showResult(installed); });
}
