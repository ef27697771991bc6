#include "AgentTest.h"

#include "Agent/AlertNotifications.h"
#include "DatabaseWriter.h"
#include "Detection/SharedLists.h"
#include "Foundation/UserPaths.h"
#include "LoopbackServer.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Reachability/NetworkReachability.h"
#include "Platform/Values/PropertyList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

namespace fs = std::filesystem;
using testsupport::homeFolder;

namespace {

// The agent's bundle, copied into the root, names a loopback definitions server
// that offers version 2.0 with a record the shipped database lacks.
class AgentDefinitionsUpdate : public AgentTest {
protected:
    void SetUp() override
    {
        AgentTest::SetUp();
        const auto bundle = testsupport::underRoot("/Agent/ActiveGuardSentinelWarden.app");
        fs::create_directories(bundle.parent_path());
        fs::copy(BG_AGENT_BUNDLE, bundle, fs::copy_options::recursive);
        loopback.server.Get("/mac-zorazevivud/update/bgx.ini", [this](const httplib::Request&, httplib::Response& response) {
            ++requests;
            response.set_content("[act]\nversion=2.0\n", "text/plain");
        });
        loopback.server.Get("/mac-zorazevivud/update/updateddatabase.zip",
                            [this](const httplib::Request&, httplib::Response& response) {
                                ++requests;
                                response.set_content(archive, "application/zip");
                            });
        loopback.start();
        const std::string info = (bundle / "Contents/Info.plist").string();
        platform::Value plist = *platform::readPropertyListFile(info);
        (*plist.asDictionary())["BGDefinitionsServer"] = loopback.url("").substr(std::string("http://").size());
        ASSERT_TRUE(platform::writePropertyListFile(info, plist));
        platform::Bundle::setMainBundlePath(bundle.string());
        buildArchive();
    }

    void buildArchive()
    {
        sigdb::SignatureSource source;
        source.versions = {"2.0"};
        source.folders = {{5, "/Users/%@/Downloads/"}};
        source.apps = {{201, "Quandrel Helper", "Adware", "Deceptive App", {{5, "QuandrelSetup.pkg"}}, {}, {}}};
        const auto folder = testsupport::platformRootFolder() / "archive";
        fs::create_directories(folder);
        std::string error;
        ASSERT_TRUE(sigdb::buildDatabase(source, (folder / "bgx.db").string(), error)) << error;
        const std::string command = "cd '" + folder.string() + "' && zip -q archive.zip bgx.db";
        ASSERT_EQ(std::system(command.c_str()), 0);
        archive = testsupport::readFileText(folder / "archive.zip");
    }

    static bool recordsHold(const std::string& appName)
    {
        const auto records = malwareRecords().current();
        return std::any_of(records->begin(), records->end(), [&](const MalwareList& record) { return record.appName == appName; });
    }

    LoopbackServer loopback;
    std::string archive;
    std::atomic<int> requests = 0;
};

TEST_F(AgentDefinitionsUpdate, ANewerDatabaseIsInstalledOnceAndLaterDownloadsAreJudgedByItsRecords)
{
    platform::forceReachabilityFlags(platform::reachabilityReachable);
    widgettest::NotificationRecorder alerts(AlertNotification::newDownloadedItem);
    startAgent();
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([] { return recordsHold("Quandrel Helper"); }, std::chrono::seconds(20)));
    EXPECT_FALSE(recordsHold("Snapfyre Search")) << "the new records replace the old ones whole";

    const auto download = renameInto(homeFolder() / "Downloads", "QuandrelSetup.pkg");
    ASSERT_TRUE(waitForPosts(alerts, 1));
    EXPECT_EQ(alerts.received().front().value<MalwareList>(AlertKey::detectedMalwareList)->appName, "Quandrel Helper");
    EXPECT_EQ(requests, 2);
}

TEST_F(AgentDefinitionsUpdate, WithoutNetworkNothingIsRequestedAndTheWatchersStillRun)
{
    widgettest::NotificationRecorder alerts(AlertNotification::newDownloadedItem);
    startAgent();
    renameInto(homeFolder() / "Downloads", "SnapfyreInstaller.dmg");
    ASSERT_TRUE(waitForPosts(alerts, 1));
    EXPECT_EQ(requests, 0);
}

} // namespace
