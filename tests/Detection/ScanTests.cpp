#include "ScanTestWorld.h"

#include "Foundation/IndexVocabularies.h"
#include "Detection/SharedLists.h"

#include <algorithm>
#include <cstdlib>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using detectiontest::NotificationLog;
using platform::Notification;

const std::vector<std::string> scanNotifications{"MenuSelectionBGX", "ScanViewUpdateBGX", "NotifyScanProcessBGX",
                                                 "UpdateAGSQStatusAndDefinitionsBGX", "NotifyScanProcessCompleteBGX"};

struct Progress {
    std::int64_t totalFound;
    std::string path;
    std::int64_t objectsScanned;
    double percentage;
};

Progress progressOf(const Notification& note)
{
    const auto* found = note.value<std::int64_t>("totalFound");
    const auto* path = note.value<std::string>("path");
    const auto* scanned = note.value<std::int64_t>("objectsScanned");
    const auto* share = note.value<double>("percentage");
    EXPECT_TRUE(found && path && scanned && share) << "a value of another type";
    return {found ? *found : 0, path ? *path : "", scanned ? *scanned : 0, share ? *share : 0};
}

class ScanTest : public detectiontest::ScanWorld {
protected:
    void SetUp() override
    {
        ScanWorld::SetUp();
        malwareRecords().clear();
    }

    // Runs one scan to its completion; its "scanList".
    static std::vector<MalwareList> completedScan()
    {
        auto end = scanToEnd();
        EXPECT_TRUE(end.isScanCompleted);
        return std::move(end.scanList);
    }

    std::vector<Progress> walkProgress(bool secondPass) const
    {
        std::vector<Progress> found;
        for (const auto& note : log.named("NotifyScanProcessBGX")) {
            const auto progress = progressOf(note);
            if (!progress.path.empty() && (progress.objectsScanned > 0) == secondPass)
                found.push_back(progress);
        }
        return found;
    }

    NotificationLog log{scanNotifications};
};

std::vector<std::string> pathsOf(const std::vector<Progress>& posts)
{
    std::vector<std::string> paths;
    for (const auto& post : posts)
        paths.push_back(post.path);
    return paths;
}

TEST_F(ScanTest, FindsPlantedItemsAndLeavesIgnoredAndAbsentOnes)
{
    const auto results = completedScan();
    ASSERT_EQ(results.size(), 1u);
    const MalwareList& setup = results[0];
    EXPECT_EQ(setup.id, 1);
    ASSERT_TRUE(setup.paths && setup.paths->size() == 2);
    EXPECT_EQ((*setup.paths)[0].path.path, setupApp.string());
    EXPECT_EQ((*setup.paths)[0].path.subPaths,
              (std::vector<std::string>{(setupApp / "Contents/Info.plist").string(),
                                        (setupApp / "Contents/MacOS/tool").string()}));
    const auto folder = home / "Library/Application Support/Qlorvex";
    auto kept = (*setup.paths)[1].path.subPaths.value_or(std::vector<std::string>{});
    std::ranges::sort(kept);
    EXPECT_EQ(kept, (std::vector<std::string>{(folder / "a.txt").string(), (folder / "b.txt").string()}));
    EXPECT_TRUE(setup.icon.has_value());
    // The bundle and its two files, the writable folder and its two files.
    EXPECT_EQ(Scan::shared().pIndex, 6);
    EXPECT_EQ(malwareRecords().size(), 3u);
    EXPECT_FALSE(Scan::shared().isScanRunning);
}

TEST_F(ScanTest, ProgressOfEachStage)
{
    testsupport::plantFile(home / "Documents/.hidden");
    testsupport::plantFile(home / "Documents/notes/n.txt");
    fs::create_symlink(home / "Documents", home / "Desktop/link");
    completedScan();

    const auto starts = log.named("MenuSelectionBGX");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(*starts[0].value<Menu>(menuKey), Menu::scan);
    EXPECT_EQ(*log.named("ScanViewUpdateBGX").at(0).value<ScanMenu>(menuKey), ScanMenu::scanprocess);

    // Offline: one definitions post, then the walk; no 100.0 post and no status update.
    const auto first = progressOf(log.named("NotifyScanProcessBGX").at(0));
    EXPECT_EQ(first.objectsScanned, -1);
    EXPECT_EQ(first.percentage, 0.0);
    EXPECT_EQ(first.path, "");
    EXPECT_FALSE(log.has("UpdateAGSQStatusAndDefinitionsBGX"));

    const auto firstPass = walkProgress(false), secondPass = walkProgress(true);
    const auto paths = pathsOf(firstPass);
    for (const char* entry : {".hidden", "notes/n.txt", "Qlorvex/a.txt"})
        EXPECT_NE(std::ranges::find(paths, entry), paths.end()) << entry;
    for (const auto& path : paths) {
        EXPECT_EQ(path.find("Setup.app"), std::string::npos) << "a package was entered";
        EXPECT_FALSE(path.starts_with("link")) << "a link was followed";
    }
    for (const auto& post : firstPass)
        EXPECT_TRUE(post.totalFound == 0 && post.objectsScanned == 0 && post.percentage == 0.0);
    EXPECT_EQ(pathsOf(secondPass), paths);
    double previous = 0;
    for (const auto& post : secondPass) {
        EXPECT_GE(post.percentage, previous);
        EXPECT_LE(post.percentage, 100.0);
        // The found count is the matching's when the post runs: 0 below half way.
        EXPECT_TRUE(post.percentage < 50.0 ? post.totalFound == 0 : post.totalFound <= 6) << post.totalFound;
        previous = post.percentage;
    }
    ASSERT_FALSE(secondPass.empty());
    EXPECT_EQ(secondPass.back().percentage, 100.0);
    EXPECT_EQ(log.notes.back().name, "NotifyScanProcessCompleteBGX");
}

// An entry covers its path and everything below it; letter case counts, the Unicode
// form does not.
TEST_F(ScanTest, AnIgnoredPathHidesItselfAndEverythingBelowIt)
{
    const std::string composed = platform::hostPath("/Applications/Caf\u00e9.app");
    const std::string decomposed = platform::hostPath("/Applications/Cafe\u0301.app");
    plantBundle(composed);
    sigdb::SignatureSource source;
    source.folders = {{2, "/Applications/"}};
    source.apps = {{9, "Cafe", "Adware", "Deceptive App", {{2, "Caf\u00e9.app"}}, {}, {}}};
    installDatabase(source);
    struct Case {
        std::string entry;
        bool found;
    };
    const std::vector<Case> cases{{composed, false},
                                  {decomposed, false},
                                  {composed + "/", false},
                                  {platform::hostPath("/Applications"), false},
                                  {platform::hostPath("/applications/Caf\u00e9.app"), true},
                                  {composed + "/Contents/Info.plist", true},
                                  {platform::hostPath("/Applications/Caf"), true}};
    for (const auto& [entry, found] : cases) {
        ignore({entry});
        log.notes.clear();
        EXPECT_EQ(completedScan().size(), found ? 1u : 0u) << entry;
    }
    appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, platform::Array{5, composed});
    log.notes.clear();
    EXPECT_TRUE(completedScan().empty()) << "a text entry counts beside one of another kind";
}

// A folder ignored inside a found bundle: the bundle is still found, without the
// sub-paths below that folder.
TEST_F(ScanTest, AnIgnoredFolderInsideAFoundItemDropsTheSubPathsBelowIt)
{
    ignore({platform::hostPath("/Applications/Ignored.app"), (setupApp / "Contents/MacOS").string()});
    const auto results = completedScan();
    ASSERT_EQ(results.size(), 1u);
    ASSERT_TRUE(results[0].paths && !results[0].paths->empty());
    const Path& bundle = (*results[0].paths)[0].path;
    EXPECT_EQ(bundle.path, setupApp.string());
    EXPECT_EQ(bundle.subPaths, std::vector<std::string>{(setupApp / "Contents/Info.plist").string()});
}

TEST_F(ScanTest, PauseHoldsBothHalves)
{
    Scan::shared().isPaused = true;
    Scan::shared().startScan();
    // The matching has loaded the records and waits before the first one.
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([] { return malwareRecords().size() == 3; }, detectiontest::endGuard));
    platform::dispatch::runMainLoopFor(300ms);
    EXPECT_TRUE(walkProgress(false).empty());
    EXPECT_EQ(Scan::shared().pIndex, 0);
    EXPECT_FALSE(log.has("NotifyScanProcessCompleteBGX"));
    EXPECT_TRUE(Scan::shared().isScanRunning);

    Scan::shared().isPaused = false;
    ASSERT_TRUE(log.waitFor("NotifyScanProcessCompleteBGX"));
    EXPECT_EQ(log.named("NotifyScanProcessCompleteBGX")[0].value<std::vector<MalwareList>>("scanList")->size(), 1u);
}

TEST_F(ScanTest, StopEndsBothHalvesWithTheCompletion)
{
    Scan::shared().isPaused = true;
    Scan::shared().startScan();
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([] { return malwareRecords().size() == 3; }, detectiontest::endGuard));
    Scan::shared().isAborted = true;
    Scan::shared().isPaused = false;
    ASSERT_TRUE(log.waitFor("NotifyScanProcessCompleteBGX"));
    const auto completion = log.named("NotifyScanProcessCompleteBGX").at(0);
    EXPECT_TRUE(*completion.value<bool>("isScanCompleted"));
    EXPECT_TRUE(completion.value<std::vector<MalwareList>>("scanList")->empty());
    EXPECT_TRUE(walkProgress(true).empty());
    EXPECT_FALSE(Scan::shared().isAborted);
    EXPECT_FALSE(Scan::shared().isScanRunning);
}

TEST_F(ScanTest, AStaleStopDoesNotEndTheNextScan)
{
    completedScan();
    // The user confirmed a stop after the scan had ended.
    Scan::shared().isAborted = true;
    log.notes.clear();
    EXPECT_EQ(completedScan().size(), 1u);
    EXPECT_FALSE(walkProgress(true).empty());
}

TEST_F(ScanTest, StartWhileRunningDoesNothing)
{
    Scan::shared().startScan();
    Scan::shared().startScan();
    ASSERT_TRUE(log.waitFor("NotifyScanProcessCompleteBGX"));
    platform::dispatch::runMainLoopFor(100ms);
    EXPECT_EQ(log.named("MenuSelectionBGX").size(), 1u);
    EXPECT_EQ(log.named("NotifyScanProcessCompleteBGX").size(), 1u);
}

TEST_F(ScanTest, ARescanCountsFromZeroUntilItsMatchingFindsSomething)
{
    completedScan();
    ASSERT_EQ(Scan::shared().pIndex, 6);
    fs::remove_all(setupApp);
    fs::remove_all(home / "Library/Application Support/Qlorvex");
    log.notes.clear();

    Scan::shared().startScan();
    EXPECT_EQ(Scan::shared().pIndex, 0) << "cleared before either half starts";
    ASSERT_TRUE(log.waitFor("NotifyScanProcessCompleteBGX"));
    ASSERT_FALSE(walkProgress(true).empty());
    for (const auto& note : log.named("NotifyScanProcessBGX"))
        EXPECT_EQ(progressOf(note).totalFound, 0);
}

// Played by a user other than the owner of the files the test makes, so that their
// mode bits decide whoever runs the test.
class ScanByAnotherUser : public ScanTest {
protected:
    void SetUp() override
    {
        ScanTest::SetUp();
        ::setenv("PLATFORM_UID", std::to_string(::getuid() + 1).c_str(), 1);
    }
    void TearDown() override
    {
        ScanTest::TearDown();
        ::unsetenv("PLATFORM_UID");
    }
};

// A known file counts only where the user may write it; one the user may not write
// still makes its record a result.
TEST_F(ScanByAnotherUser, AFoundFileTheUserMayNotWriteMakesAResultButDoesNotCount)
{
    const std::string open = "Library/Preferences/com.qlorvex.open.plist";
    const std::string locked = "Library/Preferences/com.qlorvex.locked.plist";
    fs::permissions(testsupport::plantFile(home / open), fs::perms::others_write, fs::perm_options::add);
    fs::permissions(testsupport::plantFile(home / locked), fs::perms::others_write, fs::perm_options::remove);
    source.apps = {{4, "Qlorvex", "Adware", "Deceptive App", {{1, open}, {1, locked}}, {}, {}},
                   {5, "Locked", "Adware", "Deceptive App", {{1, locked}}, {}, {}}};
    installDatabase(source);

    const auto results = completedScan();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].id, 4);
    EXPECT_EQ(results[1].id, 5);
    EXPECT_EQ(Scan::shared().pIndex, 1);
}

// Twenty thousand found records are all matched and listed (how fast is the
// scan-match benchmark's to say: the protected folders were resolved anew at every
// found path).
TEST_F(ScanTest, MatchesTwentyThousandFoundRecords)
{
    constexpr int records = 20000;
    source.folders.push_back({3, "/Users/%@/Downloads/many/"});
    for (int id = 100; id < 100 + records; ++id) {
        const std::string name = "f" + std::to_string(id);
        testsupport::plantFile(home / "Downloads/many" / name);
        source.apps.push_back({id, name, "Adware", "Deceptive App", {{3, name}}, {}, {}});
    }
    installDatabase(source);

    const auto results = completedScan();
    EXPECT_EQ(results.size(), records + 1u);
}

} // namespace
