#pragma once

#include <functional>
#include <optional>
#include <string>

struct DownloadError;

// Keeps the signature database current from the product's update server: the
// index "bgx.ini" names the server's version, the archive "updateddatabase.zip"
// holds the new "bgx.db". One update runs at a time across the application and
// the agent; one that cannot start within the lock's wait fails like a failed
// transfer. Every transfer has its deadlines, the work runs on the global queue and
// every completion is called exactly once.
class UpdateDatabase {
public:
    // (server's version newer, installed version, server's version); both versions
    // absent when the check failed.
    using CheckCompletion =
        std::function<void(bool isNewer, std::optional<double> currentVersion, std::optional<double> newVersion)>;
    // True only when the installed database was replaced by a downloaded one.
    using InstallCompletion = std::function<void(bool installed)>;

    static UpdateDatabase& shared();

    // Fetches the index and compares its version with `currentVersion`. Offline,
    // the completion runs at once on the caller's thread.
    void checkForUpdates(double currentVersion, CheckCompletion completion);

    // The second half of the check, given the index download's error.
    void readIniFile(double currentVersion, const std::optional<DownloadError>& error,
                     const CheckCompletion& completion);

    // Fetches the archive and installs it. Offline, the completion runs at once
    // with false on the caller's thread.
    void downloadDatabase(InstallCompletion completion);

    // The update-settings screen's update: the install's result is stamped in the
    // settings, then `showResult` (the screen's refresh and alert) runs on the main queue.
    void downloadDatabaseForSettings(std::function<void(bool installed)> showResult);

    // The start-up's update: the result goes to setDefinitionsUpToDate.
    void downloadAndInstallDatabase();

    // Installs the archive lying in the download folder: unpacks it and moves its
    // "bgx.db" over the installed database in one rename. False, with the installed
    // database left as it was, when no database is installed, the archive's listing
    // cannot be read or gives more than 1 GiB unpacked (then nothing is unpacked),
    // it fails to unpack, its "bgx.db" is missing or not a sound signature
    // database, or the rename fails.
    bool installDownloadedDatabase();

private:
    UpdateDatabase() = default;
};

// Stamps an install's result: true stores the date of the update and the
// up-to-date flag; false clears the flag and leaves the date.
void recordDefinitionsInstall(bool installed);

// recordDefinitionsInstall, then "UpdateAGSQStatusAndDefinitionsBGX" on the main queue.
void setDefinitionsUpToDate(bool installed);

// The update-settings screen's install completion: recordDefinitionsInstall, then
// `showResult` on the main queue.
void updateSettingsInstallCompletion(bool installed, const std::function<void(bool installed)>& showResult);
