#include "Platform/Authorization/AuthorizationAgent.h"
#include "Platform/Authorization/ProcessUser.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Sparkle/SUUpdater.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"
#include "TestRoot.h"

#include "LoopbackServer.h"
#include "RealUser.h"
#include "CrowdedZip.h"
#include "LyingZip.h"
#include "SlowServers.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <future>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr const char* identifier = "com.example.updatable";

void writeBundle(const fs::path& bundle, const std::string& version, const std::string& feed)
{
    platform::Dictionary info{{"CFBundleIdentifier", identifier}, {"CFBundleVersion", version},
                              {"CFBundleExecutable", "Updatable"}};
    if (!feed.empty())
        info["SUFeedURL"] = feed;
    fs::create_directories(bundle / "Contents/MacOS");
    ASSERT_TRUE(platform::writePropertyListFile((bundle / "Contents/Info.plist").string(), info));
    testsupport::plantFile(bundle / "Contents/MacOS/Updatable", "release " + version);
    fs::permissions(bundle / "Contents/MacOS/Updatable", fs::perms::owner_exec, fs::perm_options::add);
}

// Serves an appcast and the zipped release it names, on loopback.
class FeedServer : public LoopbackServer {
public:
    FeedServer()
    {
        server.Get("/appcast.xml", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(appcast, "application/rss+xml");
        });
        server.Get("/release.zip", [this](const httplib::Request&, httplib::Response& response) {
            ++releaseRequests;
            response.set_content(archive, "application/zip");
        });
        // Zeros for as long as the client takes them, with no length declared.
        server.Get("/endless.zip", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("application/zip", [](std::size_t, httplib::DataSink& sink) {
                static const std::string zeros(1 << 20, '\0');
                return sink.write(zeros.data(), zeros.size());
            });
        });
        server.Get("/trickled-appcast.xml", [this](const httplib::Request&, httplib::Response& response) {
            testsupport::trickle(response, appcast);
        });
        server.Get("/trickled.zip", [this](const httplib::Request&, httplib::Response& response) {
            testsupport::trickle(response, archive);
        });
        // The archive with its length declared, in a few steps over about a second.
        server.Get("/paced.zip", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(archive.size(), "application/zip",
                                          [this](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                              std::this_thread::sleep_for(std::chrono::milliseconds(150));
                                              const std::size_t step = std::max<std::size_t>(archive.size() / 6, 1);
                                              return sink.write(archive.data() + offset, std::min(step, length));
                                          });
        });
        server.Get("/redirect", [this](const httplib::Request&, httplib::Response& response) {
            response.set_redirect(redirectTarget);
        });
        start();
    }

    // The appcast offers `version` at `enclosure` (the server's release by default).
    void offer(const std::string& version, const std::string& enclosure = "")
    {
        appcast = "<rss xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel><item>"
                  "<enclosure url=\"" + (enclosure.empty() ? url("/release.zip") : enclosure) +
                  "\" sparkle:version=\"" + version + "\"/></item></channel></rss>";
    }

    std::string appcast;
    std::string archive;
    std::string redirectTarget; // where "/redirect" sends the client
    std::atomic<int> releaseRequests = 0;
};

// The most a release may unpack to, lowered while the object lives.
class ShortUnpackedUpdateLimit {
public:
    explicit ShortUnpackedUpdateLimit(std::uint64_t size) { platform::SUUpdater::setMaximumUnpackedUpdateSizeForTesting(size); }
    ~ShortUnpackedUpdateLimit()
    {
        platform::SUUpdater::setMaximumUnpackedUpdateSizeForTesting(platform::SUUpdater::maximumUnpackedUpdateSize);
    }
    ShortUnpackedUpdateLimit(const ShortUnpackedUpdateLimit&) = delete;
    ShortUnpackedUpdateLimit& operator=(const ShortUnpackedUpdateLimit&) = delete;
};

class RecordingDelegate : public platform::SUUpdaterDelegate {
public:
    void updaterWillDownloadUpdate(platform::SUUpdater&, const platform::SUAppcastItem& item, const std::string& request) override
    {
        events.push_back("will " + item.versionString + " " + request);
    }
    void updaterDidDownloadUpdate(platform::SUUpdater&, const platform::SUAppcastItem& item) override
    {
        events.push_back("did " + item.versionString);
    }
    void updaterDidAbortWithError(platform::SUUpdater&, const platform::SUError& error) override
    {
        events.push_back("abort");
        errors.push_back(error.message);
        refusals.push_back(error.releaseRefused);
    }
    void updaterDidNotFindUpdate(platform::SUUpdater&) override { events.push_back("none"); }
    std::vector<std::string> events;
    std::vector<std::string> errors;
    std::vector<bool> refusals; // whether each error refused the release itself
};

// What a user driver was asked to show, one line a step, and the user's answers it
// was given.
struct DriverLog {
    std::vector<std::string> shown;
    std::function<void()> cancel;
    std::function<void(bool)> reply;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progress; // received of expected, as shown
};

class RecordingDriver : public platform::SUUserDriver {
public:
    explicit RecordingDriver(DriverLog& log) : log_(log) {}
    void showCheckingForUpdates(std::function<void()> cancel) override
    {
        log_.shown.push_back("checking");
        log_.cancel = std::move(cancel);
    }
    void showUpToDate() override { log_.shown.push_back("up to date"); }
    void showUpdateFound(const platform::SUAppcastItem& item, std::function<void(bool)> reply) override
    {
        log_.shown.push_back("found " + item.versionString);
        log_.reply = std::move(reply);
    }
    void showDownloading(std::uint64_t received, std::uint64_t expected, std::function<void()> cancel) override
    {
        log_.progress.emplace_back(received, expected);
        if (log_.shown.back() != "downloading")
            log_.shown.push_back("downloading");
        log_.cancel = std::move(cancel);
    }
    void showReadyToInstallOnQuit(const platform::SUAppcastItem& item) override
    {
        log_.shown.push_back("ready " + item.versionString);
    }
    void showUpdaterError(const platform::SUError& error) override
    {
        log_.shown.push_back(error.administratorNeeded ? "administrator" : error.releaseRefused ? "refused" : "failed");
    }
    void bringToFront() override { log_.shown.push_back("front"); }

private:
    DriverLog& log_;
};

class SUUpdaterTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        bundle = testsupport::underRoot("/Applications/Updatable App.app");
        writeBundle(bundle, "1.0", server.url("/appcast.xml"));
        updater = platform::SUUpdater::create(platform::Bundle(bundle.string()));
        ASSERT_TRUE(updater);
        updater->setDelegate(&delegate);
    }

    // Zips a release of the bundle at `version` as the server's archive; `shape` may
    // change the release's bundle first (links are zipped as links).
    void publish(const std::string& version, const std::function<void(const fs::path&)>& shape = {})
    {
        const fs::path work = testsupport::platformRootFolder() / "release";
        writeBundle(work / "Updatable App.app", version, server.url("/appcast.xml"));
        if (shape)
            shape(work / "Updatable App.app");
        auto zip = platform::ToolProcess::launch(
            "/bin/sh", {"-c", "cd \"$1\" && zip -q -r -y r.zip \"Updatable App.app\"", "sh", work.string()},
            platform::ToolProcess::Capture::Nothing);
        ASSERT_TRUE(zip);
        ASSERT_EQ(zip->waitForExit(), 0);
        server.archive = testsupport::readFileText(work / "r.zip");
        fs::remove_all(work);
        server.offer(version);
    }

    // A separate updater of the bundle, reading its feed from `feed`.
    void useFeed(const std::string& feed)
    {
        writeBundle(bundle, "1.0", feed);
        updater = platform::SUUpdater::create(platform::Bundle(bundle.string()));
        ASSERT_TRUE(updater);
        updater->setDelegate(&delegate);
    }

    // A check that downloads what it finds, as the automatic one does.
    void checkAndDownload()
    {
        updater->setAutomaticallyDownloadsUpdates(true);
        updater->checkForUpdatesInBackground();
    }

    // The check ended without installing anything.
    void expectAbortedCheckLeavingTheBundle()
    {
        checkAndDownload();
        waitForCheck();
        EXPECT_EQ(delegate.events.back(), "abort");
        EXPECT_TRUE(updater->downloadedBundlePath().empty());
        EXPECT_FALSE(updater->installUpdatesIfAvailable());
        EXPECT_EQ(testsupport::readFileText(bundle / "Contents/MacOS/Updatable"), "release 1.0");
    }

    void TearDown() override
    {
        platform::SUUpdater::setUserDriverFactory({});
        PlatformRootTest::TearDown();
    }

    void useRecordingDriver()
    {
        platform::SUUpdater::setUserDriverFactory([this] { return std::make_shared<RecordingDriver>(driver); });
    }

    bool waitUntilShown(const std::string& step)
    {
        return platform::dispatch::runMainLoopUntil(
            [&] { return !driver.shown.empty() && driver.shown.back() == step; }, 20s);
    }

    void waitForCheck()
    {
        ASSERT_TRUE(platform::dispatch::runMainLoopUntil([&] { return !updater->updateInProgress(); }, 20s));
    }

    FeedServer server;
    fs::path bundle;
    std::unique_ptr<platform::SUUpdater> updater;
    RecordingDelegate delegate;
    DriverLog driver;
};

TEST_F(SUUpdaterTest, NoUpdaterForABundleWithoutFeed)
{
    const fs::path plain = testsupport::underRoot("/Applications/Plain.app");
    writeBundle(plain, "1.0", "");
    EXPECT_FALSE(platform::SUUpdater::create(platform::Bundle(plain.string())));
}

TEST_F(SUUpdaterTest, SharedUpdaterIsOnePerBundle)
{
    platform::Bundle same(bundle.string());
    EXPECT_EQ(platform::SUUpdater::initForBundle(same), platform::SUUpdater::initForBundle(same));
}

TEST_F(SUUpdaterTest, CheckOnlyFindsTheNewerReleaseWithoutDownloading)
{
    publish("1.1");
    updater->checkForUpdatesInBackground();
    EXPECT_TRUE(updater->updateInProgress());
    waitForCheck();
    ASSERT_TRUE(updater->foundUpdate());
    EXPECT_EQ(updater->foundUpdate()->versionString, "1.1");
    EXPECT_TRUE(delegate.events.empty());
    EXPECT_TRUE(updater->downloadedBundlePath().empty());
    EXPECT_FALSE(updater->installUpdatesIfAvailable());
}

TEST_F(SUUpdaterTest, SameOrOlderReleaseIsNoUpdate)
{
    for (const char* version : {"1.0", "0.9"}) {
        publish(version);
        updater->setAutomaticallyDownloadsUpdates(true);
        updater->checkForUpdatesInBackground();
        waitForCheck();
        EXPECT_FALSE(updater->foundUpdate()) << version;
    }
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"none", "none"}));
}

TEST_F(SUUpdaterTest, AutomaticDownloadThenInstallReplacesTheBundle)
{
    publish("2.0");
    updater->setAutomaticallyDownloadsUpdates(true);
    updater->checkForUpdatesInBackground();
    waitForCheck();
    ASSERT_EQ(delegate.events,
              (std::vector<std::string>{"will 2.0 " + server.url("/release.zip"), "did 2.0"}));
    EXPECT_EQ(testsupport::readFileText(bundle / "Contents/MacOS/Updatable"), "release 1.0"); // not before termination

    ASSERT_TRUE(updater->installUpdatesIfAvailable());
    EXPECT_EQ(testsupport::readFileText(bundle / "Contents/MacOS/Updatable"), "release 2.0");
    EXPECT_TRUE(*platform::Bundle(bundle.string()).objectForInfoDictionaryKey("CFBundleVersion")->asText() == "2.0");
    EXPECT_EQ(std::distance(fs::directory_iterator(bundle.parent_path()), fs::directory_iterator()), 1)
        << "no staging folder is left beside the bundle";
    EXPECT_FALSE(updater->installUpdatesIfAvailable());

    updater->checkForUpdatesInBackground(); // the same updater checks the bundle it installed
    waitForCheck();
    EXPECT_FALSE(updater->foundUpdate());
    EXPECT_EQ(delegate.events.back(), "none");
}

// The download window counts against the answer's Content-Length, not the feed's
// length attribute.
TEST_F(SUUpdaterTest, TheDownloadsTotalIsTheAnswersLengthNotTheFeeds)
{
    useRecordingDriver();
    publish("2.0");
    server.appcast = "<rss xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel><item>"
                     "<enclosure url=\"" + server.url("/paced.zip") + "\" sparkle:version=\"2.0\" length=\"100\"/>"
                     "</item></channel></rss>";
    updater->checkForUpdates(nullptr);
    ASSERT_TRUE(waitUntilShown("found 2.0"));
    driver.reply(true);
    ASSERT_TRUE(waitUntilShown("ready 2.0"));
    ASSERT_GE(driver.progress.size(), 2u);
    EXPECT_EQ(driver.progress.front(), std::make_pair(std::uint64_t{0}, std::uint64_t{0})) << "unknown before the answer";
    for (auto [received, expected] : std::vector(driver.progress.begin() + 1, driver.progress.end())) {
        EXPECT_EQ(expected, server.archive.size());
        EXPECT_LE(received, expected);
    }
}

// A second check in the same process reads the feed the bundle names now, and a
// downloaded release removed meanwhile (the caches emptied) no longer waits.
TEST_F(SUUpdaterTest, EachUsersCheckReadsTheBundleAsItIsNow)
{
    useRecordingDriver();
    publish("2.0");
    updater->checkForUpdates(nullptr);
    ASSERT_TRUE(waitUntilShown("found 2.0"));
    driver.reply(true);
    ASSERT_TRUE(waitUntilShown("ready 2.0"));
    fs::remove_all(platform::homeDirectory() + "/Library/Caches/" + identifier);

    FeedServer other;
    other.offer("3.0");
    writeBundle(bundle, "1.0", other.url("/appcast.xml"));
    updater->checkForUpdates(nullptr);
    EXPECT_TRUE(waitUntilShown("found 3.0"));
    EXPECT_TRUE(updater->downloadedBundlePath().empty());
}

TEST_F(SUUpdaterTest, AnArchiveWithoutThisApplicationIsRefused)
{
    publish("2.0");
    server.archive = "not a zip";
    checkAndDownload();
    waitForCheck();
    EXPECT_EQ(delegate.events.back(), "abort");
    EXPECT_FALSE(updater->installUpdatesIfAvailable());
    EXPECT_EQ(testsupport::readFileText(bundle / "Contents/MacOS/Updatable"), "release 1.0");
}

TEST_F(SUUpdaterTest, AFeedOrAReleaseOverItsLimitAbortsWhileItArrives)
{
    server.appcast = "<rss>" + std::string(4 * 1024 * 1024, ' ') + "</rss>";
    checkAndDownload();
    waitForCheck();
    ASSERT_EQ(delegate.errors,
              std::vector<std::string>{"The update feed is larger than 4194304 bytes: " + server.url("/appcast.xml")});

    server.offer("2.0");
    server.appcast.replace(server.appcast.find("release.zip"), std::string("release.zip").size(), "endless.zip");
    checkAndDownload();
    waitForCheck();
    ASSERT_EQ(delegate.errors.back(), "The update is larger than 536870912 bytes: " + server.url("/endless.zip"));
    EXPECT_EQ(delegate.refusals, (std::vector<bool>{false, true})) << "a feed fails, a release is refused";
    EXPECT_TRUE(updater->downloadedBundlePath().empty());
    EXPECT_TRUE(fs::is_empty(platform::homeDirectory() + "/Library/Caches/" + identifier))
        << "the partial download is not kept";
}

TEST_F(SUUpdaterTest, UnreachableFeedAborts)
{
    server.appcast.clear();
    useFeed("http://127.0.0.1:1/appcast.xml");
    updater->checkForUpdatesInBackground();
    waitForCheck();
    EXPECT_EQ(delegate.events, std::vector<std::string>{"abort"});
    EXPECT_EQ(delegate.refusals, std::vector<bool>{false});
}

// A thirtieth of each deadline: 1 s for the feed, 1 s below the rate floor for the release.
TEST_F(SUUpdaterTest, ATrickledFeedOrReleaseAbortsAtItsDeadline)
{
    const testsupport::ShortTransferDeadlines shortened(1.0 / 30);
    publish("2.0");
    useFeed(server.url("/trickled-appcast.xml"));
    expectAbortedCheckLeavingTheBundle();

    useFeed(server.url("/appcast.xml"));
    server.offer("2.0", server.url("/trickled.zip"));
    expectAbortedCheckLeavingTheBundle();
    EXPECT_TRUE(fs::is_empty(platform::homeDirectory() + "/Library/Caches/" + identifier));
}

// A release on disk or behind another scheme is never fetched, neither named by the
// feed nor reached by a redirect; nor is a feed.
TEST_F(SUUpdaterTest, OnlyHttpAndHttpsAreFetched)
{
    publish("2.0");
    const fs::path onDisk = testsupport::plantFile(testsupport::platformRootFolder() / "release.zip", server.archive);
    const testsupport::SilentServer listener;
    const std::string elsewhere[] = {"file://" + onDisk.string(), listener.url("gopher", "/_chosen%20bytes")};
    for (const std::string& target : elsewhere) {
        SCOPED_TRACE(target);
        server.offer("2.0", target);
        expectAbortedCheckLeavingTheBundle();
        server.redirectTarget = target;
        server.offer("2.0", server.url("/redirect"));
        expectAbortedCheckLeavingTheBundle();
    }
    const fs::path feedOnDisk = testsupport::plantFile(testsupport::platformRootFolder() / "appcast.xml", server.appcast);
    useFeed("file://" + feedOnDisk.string());
    expectAbortedCheckLeavingTheBundle();
    EXPECT_FALSE(listener.wasContacted()) << "bytes went to a local port";
}

// A release is installed only as a real, complete bundle of this application: a link
// to the installed bundle (or anything else) would replace it by the link.
TEST_F(SUUpdaterTest, AReleaseThatIsNoSoundBundleOfThisApplicationIsRefused)
{
    const fs::path installed = bundle;
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> shape;
    };
    const Case cases[] = {
        {"bundle is a link to the installed one",
         [&](const fs::path& release) { fs::remove_all(release); fs::create_directory_symlink(installed, release); }},
        {"contents are a link",
         [&](const fs::path& release) {
             fs::remove_all(release / "Contents");
             fs::create_directory_symlink(installed / "Contents", release / "Contents");
         }},
        {"executable is a link",
         [&](const fs::path& release) {
             fs::remove(release / "Contents/MacOS/Updatable");
             fs::create_symlink(installed / "Contents/MacOS/Updatable", release / "Contents/MacOS/Updatable");
         }},
        {"no executable", [](const fs::path& release) { fs::remove(release / "Contents/MacOS/Updatable"); }},
        {"executable named outside its folder",
         [](const fs::path& release) {
             platform::Dictionary info{{"CFBundleIdentifier", identifier}, {"CFBundleVersion", "2.0"},
                                       {"CFBundleExecutable", "../Info.plist"}};
             ASSERT_TRUE(platform::writePropertyListFile((release / "Contents/Info.plist").string(), info));
         }},
        {"another identifier",
         [](const fs::path& release) {
             platform::Dictionary info{{"CFBundleIdentifier", "com.example.other"}, {"CFBundleVersion", "2.0"},
                                       {"CFBundleExecutable", "Updatable"}};
             ASSERT_TRUE(platform::writePropertyListFile((release / "Contents/Info.plist").string(), info));
         }},
    };
    const auto before = testsupport::folderTree(installed.parent_path());
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        publish("2.0", each.shape);
        delegate.events.clear();
        testing::internal::CaptureStdout();
        checkAndDownload();
        waitForCheck();
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(delegate.events.back(), "abort");
        EXPECT_EQ(printed, delegate.errors.back() + "\n") << "one line, the reason the delegate is given";
        EXPECT_TRUE(delegate.refusals.back());
        EXPECT_FALSE(updater->installUpdatesIfAvailable());
        EXPECT_EQ(testsupport::folderTree(installed.parent_path()), before);
    }
}

// A release is never unpacked past its limit (1 MiB here), whatever its archive lists.
TEST_F(SUUpdaterTest, AReleaseUnpackingPastItsLimitIsRefusedBeforeItIsWritten)
{
    const ShortUnpackedUpdateLimit limit(1024 * 1024);
    const std::string padding = "Updatable App.app/Contents/Resources/padding";
    const auto padded = [](const fs::path& release) {
        testsupport::plantFile(release / "Contents/Resources/padding", std::string(4 * 1024 * 1024, '\0'));
    };
    for (const bool lies : {false, true}) {
        SCOPED_TRACE(lies ? "listing says 1000 bytes" : "honest listing");
        publish("2.0", padded);
        if (lies)
            testsupport::claimUnpackedSize(server.archive, padding, 1000);
        testing::internal::CaptureStdout();
        expectAbortedCheckLeavingTheBundle();
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(delegate.errors.back(), "The update was not installed: it would unpack to more than 1048576 bytes.");
        EXPECT_TRUE(delegate.refusals.back());
        EXPECT_TRUE(fs::is_empty(platform::homeDirectory() + "/Library/Caches/" + identifier));
    }
}

// An archive of 200,000 empty members is refused by its listing before anything is unpacked.
TEST_F(SUUpdaterTest, AReleaseOfMoreMembersThanItsCapIsRefusedBeforeItIsWritten)
{
    server.archive = testsupport::crowdedZip(200'000);
    server.offer("2.0");
    testing::internal::CaptureStdout();
    expectAbortedCheckLeavingTheBundle();
    const std::string said = testing::internal::GetCapturedStdout();
    const std::string refusal = "The update was not installed: it holds more than 10000 members.";
    EXPECT_EQ(delegate.errors.back(), refusal);
    EXPECT_NE(said.find(refusal + "\n"), std::string::npos) << said;
    EXPECT_TRUE(delegate.refusals.back());
    EXPECT_TRUE(fs::is_empty(platform::homeDirectory() + "/Library/Caches/" + identifier));
}

// The release waiting in the caches is looked at again when it is installed.
TEST_F(SUUpdaterTest, AReleaseChangedIntoALinkAfterItsDownloadIsNotInstalled)
{
    publish("2.0");
    checkAndDownload();
    waitForCheck();
    const fs::path waiting = updater->downloadedBundlePath();
    ASSERT_FALSE(waiting.empty());
    fs::remove_all(waiting);
    fs::create_directory_symlink(bundle, waiting);
    const auto before = testsupport::folderTree(bundle.parent_path());

    testing::internal::CaptureStdout();
    EXPECT_FALSE(updater->installUpdatesIfAvailable());
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_EQ(testsupport::folderTree(bundle.parent_path()), before);
}

// A process that ended before it installed its download (killed, or its session cut)
// leaves the copy in the caches: the next process's updater removes such copies, and
// nothing else of the folder, never through a link.
TEST_F(SUUpdaterTest, TheSharedUpdaterRemovesTheDownloadsAnEarlierProcessLeft)
{
    static int launches = 0;
    const fs::path caches = platform::homeDirectory() + "/Library/Caches/" + identifier;
    const fs::path elsewhere = testsupport::platformRootFolder() / "elsewhere";
    testsupport::plantFile(caches / "Update.a1b2c3/unpacked/Updatable App.app/Contents/Info.plist", "release");
    testsupport::plantFile(caches / "Update.d4e5f6/update.zip", "partial");
    testsupport::plantFile(caches / "Other/kept.txt", "kept");
    testsupport::plantFile(elsewhere / "Update.zzz/kept.txt", "kept");
    fs::create_directory_symlink(elsewhere, caches / "Update.link");
    // A bundle path no earlier test of this process made the shared updater for.
    const fs::path unseen = testsupport::underRoot("/Applications/Updatable App " + std::to_string(++launches) + ".app");
    writeBundle(unseen, "1.0", server.url("/appcast.xml"));

    ASSERT_TRUE(platform::SUUpdater::initForBundle(platform::Bundle(unseen.string())));
    EXPECT_EQ(testsupport::folderTree(caches),
              (std::map<std::string, std::string>{{"Other", "folder"}, {"Other/kept.txt", "file kept"}}));
    EXPECT_EQ(testsupport::readFileText(elsewhere / "Update.zzz/kept.txt"), "kept");
}

// The user's check shows each step and downloads only what the user chose to
// install; the delegate, there for the background checks, hears nothing of it.
TEST_F(SUUpdaterTest, TheUsersCheckShowsEachStepAndDownloadsOnlyOnInstall)
{
    useRecordingDriver();
    publish("2.0");
    updater->checkForUpdates(nullptr);
    ASSERT_TRUE(waitUntilShown("found 2.0"));
    EXPECT_TRUE(updater->updateInProgress()) << "the choice is awaited";
    updater->checkForUpdates(nullptr);
    EXPECT_EQ(driver.shown.back(), "front") << "a second request brings the window forward";
    EXPECT_FALSE(fs::exists(platform::homeDirectory() + "/Library/Caches/" + identifier)) << "nothing downloaded yet";

    driver.reply(true);
    ASSERT_TRUE(waitUntilShown("ready 2.0"));
    EXPECT_EQ(driver.shown, (std::vector<std::string>{"checking", "found 2.0", "front", "downloading", "ready 2.0"}));
    EXPECT_FALSE(updater->downloadedBundlePath().empty());
    EXPECT_TRUE(delegate.events.empty());
    updater->checkForUpdates(nullptr);
    EXPECT_EQ(driver.shown.back(), "ready 2.0") << "the waiting release is shown again, with no new check";
    EXPECT_TRUE(updater->installUpdatesIfAvailable());
}

// Later, or Cancel while the feed is read or the release downloads: nothing is kept,
// the installed bundle is as it was and the next check can run.
TEST_F(SUUpdaterTest, LaterOrCancelKeepsNothing)
{
    useRecordingDriver();
    const std::string caches = platform::homeDirectory() + "/Library/Caches/" + identifier;
    struct Case {
        const char* name;
        std::function<void()> answer;
    };
    const Case cases[] = {
        {"Later", [&] {
             ASSERT_TRUE(waitUntilShown("found 2.0"));
             driver.reply(false);
         }},
        {"Cancel while checking", [&] { driver.cancel(); }},
        {"Cancel while downloading", [&] {
             server.offer("2.0", server.url("/trickled.zip"));
             ASSERT_TRUE(waitUntilShown("found 2.0"));
             driver.reply(true);
             ASSERT_TRUE(waitUntilShown("downloading"));
             driver.cancel();
         }},
    };
    publish("2.0");
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        driver.shown.clear();
        updater->checkForUpdates(nullptr);
        each.answer();
        waitForCheck();
        platform::dispatch::runMainLoopUntil([] { return false; }, 300ms); // a dropped result would show now
        EXPECT_EQ(driver.shown.back(), each.name == std::string("Later") ? "found 2.0"
                                      : each.name == std::string("Cancel while checking") ? "checking"
                                                                                           : "downloading");
        EXPECT_TRUE(updater->downloadedBundlePath().empty());
        EXPECT_TRUE(!fs::exists(caches) || fs::is_empty(caches));
        EXPECT_EQ(testsupport::readFileText(bundle / "Contents/MacOS/Updatable"), "release 1.0");
    }
}

// Each way a user's check can end is shown, and a background check under way when the
// user asks goes on in the window: it asks first even with automatic downloads on.
TEST_F(SUUpdaterTest, TheUsersCheckShowsHowItEnded)
{
    useRecordingDriver();
    server.offer("1.0");
    updater->checkForUpdates(nullptr);
    EXPECT_TRUE(waitUntilShown("up to date"));
    server.appcast = "not a feed";
    updater->checkForUpdates(nullptr);
    EXPECT_TRUE(waitUntilShown("failed"));

    publish("2.0");
    server.archive = "not a zip";
    updater->setAutomaticallyDownloadsUpdates(true);
    updater->checkForUpdatesInBackground();
    updater->checkForUpdates(nullptr);
    ASSERT_TRUE(waitUntilShown("found 2.0"));
    EXPECT_TRUE(delegate.events.empty());
    driver.reply(true);
    EXPECT_TRUE(waitUntilShown("refused"));
    EXPECT_TRUE(updater->downloadedBundlePath().empty());
}

// A process without windows cannot ask: the user's check finds the release and
// downloads nothing.
TEST_F(SUUpdaterTest, WithoutWindowsTheUsersCheckDownloadsNothing)
{
    publish("2.0");
    updater->setAutomaticallyDownloadsUpdates(false);
    updater->checkForUpdates(nullptr);
    waitForCheck();
    ASSERT_TRUE(updater->foundUpdate());
    EXPECT_TRUE(updater->downloadedBundlePath().empty());
    EXPECT_FALSE(updater->userDriver());
}

// An application an administrator installed: a bundle of root's in a folder of
// root's, updated by a real user (not root) on the test's thread.
class RootOwnedApplication : public SUUpdaterTest {
protected:
    void SetUp() override
    {
        SUUpdaterTest::SetUp();
        // The global queue's threads start on its first use and take the rights of the
        // thread that starts them: root's, here, as the other tests of the process need.
        platform::dispatch::asyncGlobal([] {});
        fs::permissions(testsupport::platformRootFolder(), fs::perms(0755)); // others may enter, as "/"
        testsupport::RealUserThread::giveToUser(testsupport::homeFolder());
        caches = platform::homeDirectory() + "/Library/Caches/" + identifier;
    }
    void TearDown() override
    {
        platform::AuthorizationAgent::reset();
        fs::permissions(testsupport::platformRootFolder(), fs::perms::owner_all);
        SUUpdaterTest::TearDown();
    }

    // What the user's own process leaves: the download is the user's (the test's
    // transfers run on the global queue's threads, root's, which also hand it over).
    void giveDownloadToUser() const
    {
        std::promise<void> given;
        platform::dispatch::asyncGlobal([&] {
            testsupport::RealUserThread::giveToUser(caches);
            given.set_value();
        });
        given.get_future().wait();
    }

    static std::string installTool() { return fs::canonical(platform::standInToolFolder() / "privileged-install"); }

    fs::path caches;
};

// With no way to ask for an administrator's rights, neither check downloads the
// release: the automatic one says so in one line and tells nothing else, the user's
// says so in its window.
TEST_F(RootOwnedApplication, NothingIsDownloadedThatNobodyCanInstall)
{
    publish("2.0");
    ::setenv("BG_TEST_ELEVATION_TOOL", (testsupport::platformRootFolder() / "no-pkexec").c_str(), 1);
    testing::internal::CaptureStdout();
    {
        testsupport::RealUserThread user;
        if (!user.isSet()) {
            testing::internal::GetCapturedStdout();
            ::unsetenv("BG_TEST_ELEVATION_TOOL");
            GTEST_SKIP() << "this process cannot take a user's rights";
        }
        checkAndDownload();
        waitForCheck();
        useRecordingDriver();
        updater->checkForUpdates(nullptr);
        EXPECT_TRUE(waitUntilShown("administrator"));
    }
    ::unsetenv("BG_TEST_ELEVATION_TOOL");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Version 2.0 can only be installed by an administrator.\n");
    EXPECT_TRUE(delegate.events.empty());
    EXPECT_EQ(server.releaseRequests, 0);
    EXPECT_FALSE(fs::exists(caches));
    EXPECT_FALSE(updater->updateInProgress());
}

// Allowed, the raised install tool of the bundle puts the release in place of the
// whole bundle, root's as the administrator's installation was, and never setuid
// nor anyone else's to write.
TEST_F(RootOwnedApplication, TheRaisedToolReplacesTheWholeBundle)
{
    publish("2.0");
    testsupport::plantFile(bundle / "Contents/Resources/old-only.txt", "old");
    testsupport::SetuidElevation elevation;
    int asked = 0;
    platform::AuthorizationAgent::setPrompt([&](const platform::AuthorizationRequest& request) {
        ++asked;
        EXPECT_NE(request.prompt.find("Updatable App"), std::string::npos) << request.prompt;
        return platform::AuthorizationAnswer::Grant;
    });
    testsupport::RealUserThread user;
    if (!user.isSet() || !elevation.raisesThisThread())
        GTEST_SKIP() << "this process cannot take a user's rights and raise them again";
    ASSERT_FALSE(platform::userMayRemove(bundle.string()));

    checkAndDownload();
    waitForCheck();
    ASSERT_EQ(delegate.events, (std::vector<std::string>{"will 2.0 " + server.url("/release.zip"), "did 2.0"}));
    const std::string release = updater->downloadedBundlePath();
    giveDownloadToUser();
    fs::permissions(release + "/Contents/MacOS/Updatable", fs::perms(04777)); // the user's setuid, anyone's to write
    EXPECT_TRUE(updater->installUpdatesIfAvailable());

    EXPECT_EQ(asked, 1);
    EXPECT_EQ(elevation.recordedCommand(), (std::vector<std::string>{installTool(), bundle.string(), release}));
    EXPECT_EQ(testsupport::readFileText(bundle / "Contents/MacOS/Updatable"), "release 2.0");
    EXPECT_FALSE(fs::exists(bundle / "Contents/Resources/old-only.txt"));
    struct stat installed {};
    ASSERT_EQ(::stat((bundle / "Contents/MacOS/Updatable").c_str(), &installed), 0);
    EXPECT_EQ(installed.st_uid, 0u);
    EXPECT_EQ(installed.st_mode & 07777, 0755u);
    EXPECT_EQ(std::distance(fs::directory_iterator(bundle.parent_path()), fs::directory_iterator()), 1)
        << "no stage is left beside the bundle";
    EXPECT_FALSE(fs::exists(release));
}

// What the user changes in the release while the password is asked, and a refused
// dialog, leave the installed bundle as it was, file for file, with one line.
TEST_F(RootOwnedApplication, ASwapWhileThePasswordIsAskedOrARefusalInstallsNothing)
{
    publish("2.0");
    const fs::path decoy = testsupport::homeFolder() / "decoy.app";
    writeBundle(decoy, "6.6", "");
    const fs::path rootsOnly = testsupport::plantFile(testsupport::platformRootFolder() / "secret", "root's alone");
    fs::permissions(rootsOnly, fs::perms::owner_read);
    testsupport::RealUserThread::giveToUser(decoy);
    struct Case {
        const char* name;
        std::function<void(const fs::path& release)> meanwhile;
        platform::AuthorizationAnswer answer = platform::AuthorizationAnswer::Grant;
    };
    const Case cases[] = {
        {"the release swapped for a link",
         [&](const fs::path& release) {
             fs::rename(release, release.string() + ".moved");
             fs::create_directory_symlink(decoy, release);
         }},
        {"a folder above it swapped for a link",
         [&](const fs::path& release) {
             const fs::path above = release.parent_path();
             fs::rename(above, above.string() + ".moved");
             fs::create_directory_symlink(above.string() + ".moved", above);
         }},
        {"its MacOS folder swapped for a link",
         [&](const fs::path& release) {
             fs::remove_all(release / "Contents/MacOS");
             fs::create_directory_symlink(decoy / "Contents/MacOS", release / "Contents/MacOS");
         }},
        {"a file of it linked to one of root's",
         [&](const fs::path& release) { fs::create_symlink(rootsOnly, release / "Contents/leak"); }},
        {"a FIFO in it", [&](const fs::path& release) { ::mkfifo((release / "Contents/pipe").c_str(), 0644); }},
        {"the dialog cancelled", [](const fs::path&) {}, platform::AuthorizationAnswer::Cancel},
    };
    testsupport::SetuidElevation elevation;
    const auto before = testsupport::folderTree(bundle.parent_path());
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        std::string release;
        std::string printed;
        bool installed = true;
        {
            testsupport::RealUserThread user;
            if (!user.isSet() || !elevation.raisesThisThread())
                GTEST_SKIP() << "this process cannot take a user's rights and raise them again";
            checkAndDownload();
            waitForCheck();
            release = updater->downloadedBundlePath();
            ASSERT_FALSE(release.empty());
            giveDownloadToUser();
            platform::AuthorizationAgent::setPrompt([&](const platform::AuthorizationRequest&) {
                each.meanwhile(release);
                return each.answer;
            });
            testing::internal::CaptureStdout();
            installed = updater->installUpdatesIfAvailable();
            printed = testing::internal::GetCapturedStdout();
        }
        EXPECT_FALSE(installed);
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
        EXPECT_TRUE(printed.starts_with("The update was not installed: ")) << printed;
        EXPECT_EQ(testsupport::folderTree(bundle.parent_path()), before);
        EXPECT_TRUE(updater->downloadedBundlePath().empty());
    }
}

} // namespace
