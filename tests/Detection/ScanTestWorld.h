#pragma once

#include "SignatureDatabaseTest.h"

#include "Detection/Clean.h"
#include "Detection/Scan.h"
#include "Detection/SharedLists.h"
#include "Foundation/Settings.h"
#include "Foundation/UserPaths.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Platform/Root/PlatformRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace detectiontest {

using namespace std::chrono_literals;

// Only a guard against an end that never comes.
inline constexpr auto endGuard = 30s;

// Every notification of the given names, in the order posted.
class NotificationLog {
public:
    explicit NotificationLog(const std::vector<std::string>& names)
    {
        for (const auto& name : names)
            tokens_.push_back(platform::NotificationCenter::defaultCenter().addObserver(
                name, [this](const platform::Notification& note) { notes.push_back(note); }));
    }

    std::vector<platform::Notification> named(const std::string& name) const
    {
        std::vector<platform::Notification> found;
        for (const auto& note : notes)
            if (note.name == name)
                found.push_back(note);
        return found;
    }

    bool has(const std::string& name) const { return !named(name).empty(); }

    // Pumps the main queue until `name` has been posted.
    bool waitFor(const std::string& name)
    {
        return platform::dispatch::runMainLoopUntil([&] { return has(name); }, endGuard);
    }

    std::vector<platform::Notification> notes;

private:
    std::vector<platform::ObservationToken> tokens_;
};

// How a scan ended: its completion's two values.
struct ScanEnd {
    bool isScanCompleted = false;
    std::vector<MalwareList> scanList;
};

// A platform root, offline, with a signature database installed that knows:
//   1 "Setup":   ~/Downloads/Setup.app (planted) and the folder
//                ~/Library/Application Support/Qlorvex (planted, two files)
//   2 "Ignored": /Applications/Ignored.app (planted, on the ignore list)
//   3 "Absent":  /Applications/Absent.app (not planted)
class ScanWorld : public SignatureDatabaseTest {
protected:
    void SetUp() override
    {
        SignatureDatabaseTest::SetUp();
        setenv("BG_NETWORK_REACHABLE", "0", 1);
        resetEngines();
        home = testsupport::homeFolder();
        setupApp = plantBundle(home / "Downloads/Setup.app");
        testsupport::plantFile(home / "Library/Application Support/Qlorvex/a.txt");
        testsupport::plantFile(home / "Library/Application Support/Qlorvex/b.txt");
        plantBundle(testsupport::underRoot("/Applications/Ignored.app"));
        ignore({platform::hostPath("/Applications/Ignored.app")});

        source.versions = {"1"};
        source.folders = {{1, "/Users/%@/"}, {2, "/Applications/"}};
        source.apps = {{1, "Setup", "Adware", "Deceptive App",
                        {{1, "Downloads/Setup.app"}, {1, "Library/Application Support/Qlorvex"}}, {}, {}},
                       {2, "Ignored", "Adware", "Deceptive App", {{2, "Ignored.app"}}, {}, {}},
                       {3, "Absent", "Adware", "Deceptive App", {{2, "Absent.app"}}, {}, {}}};
        installDatabase(source);
    }

    void TearDown() override
    {
        // Leave the shared engines idle for the next test of this process.
        Scan::shared().isPaused = false;
        Clean::shared().isPaused = false;
        platform::dispatch::runMainLoopUntil(
            [] { return !Scan::shared().isScanRunning && !Clean::shared().isCleanRunning; }, endGuard);
        platform::dispatch::runMainLoopFor(50ms);
    }

    // Runs one scan to its completion.
    static ScanEnd scanToEnd()
    {
        NotificationLog log({"NotifyScanProcessCompleteBGX"});
        Scan::shared().startScan();
        if (!log.waitFor("NotifyScanProcessCompleteBGX")) {
            ADD_FAILURE() << "the scan did not end";
            return {};
        }
        const auto& end = log.notes.back();
        const auto* list = end.value<std::vector<MalwareList>>("scanList");
        EXPECT_TRUE(list);
        return {*end.value<bool>("isScanCompleted"), list ? *list : std::vector<MalwareList>{}};
    }

    // Cleans the rows as the result list, until the worker has ended.
    static void cleanToEnd(std::vector<ScanResult> rows)
    {
        NotificationLog log({"NotifyCleanProcessCompleteBGX"});
        scanResults().replace(std::move(rows));
        Clean::shared().startClean();
        EXPECT_TRUE(log.waitFor("NotifyCleanProcessCompleteBGX"));
        waitForTheCleanWorkerToEnd();
    }

    // The worker clears its flags as it ends, beside the end posts.
    static void waitForTheCleanWorkerToEnd()
    {
        EXPECT_TRUE(platform::dispatch::runMainLoopUntil([] { return !Clean::shared().isCleanRunning; }, endGuard));
    }

    static void resetEngines()
    {
        for (auto* flag : {&Scan::shared().isPaused, &Scan::shared().isAborted, &Clean::shared().isPaused,
                           &Clean::shared().isAborted})
            *flag = false;
    }

    void installDatabase(const sigdb::SignatureSource& source)
    {
        std::filesystem::create_directories(supportFolderPath());
        build(databasePath(), source);
    }

    static void ignore(const std::vector<std::string>& paths)
    {
        platform::Array list(paths.begin(), paths.end());
        appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, list);
    }

    static std::filesystem::path plantBundle(const std::filesystem::path& bundle)
    {
        testsupport::plantFile(bundle / "Contents/Info.plist", "<plist/>");
        testsupport::plantFile(bundle / "Contents/MacOS/tool");
        return bundle;
    }

    sigdb::SignatureSource source; // what the installed database holds
    std::filesystem::path home;
    std::filesystem::path setupApp;
};

} // namespace detectiontest
