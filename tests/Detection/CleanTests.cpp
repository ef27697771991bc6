#include "ScanTestWorld.h"

#include "../Platform/Workspace/PlantedApplication.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/ProtectedPaths.h"
#include "Detection/SharedLists.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/FileManager/FileManager.h"
#include "Platform/Workspace/Workspace.h"
#include "RootProcesses.h"

#include "FilePermissionsObeyed.h"
#include "ImmutableFolder.h"
#include "Platform/Authorization/AuthorizationAgent.h"
#include "StandInPkexec.h"

#include <unistd.h>

#include <algorithm>
#include <optional>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using detectiontest::NotificationLog;

const std::vector<std::string> cleanNotifications{"MenuSelectionBGX", "ScanViewUpdateBGX", "CleanViewUpdateBGX",
                                                  "NotifyCleanProcessBGX", "NotifyCleanProcessCompleteBGX"};

ScanResult row(bool selected, const std::vector<std::optional<std::string>>& paths)
{
    ScanResult result;
    result.isSelected = selected;
    result.items.emplace();
    for (const auto& path : paths)
        result.items->push_back({path});
    return result;
}

struct Counts {
    std::int64_t cleanedItems, remainingItems, pObj, abortedIndex;
    bool operator==(const Counts&) const = default;
};

class CleanTest : public detectiontest::ScanWorld {
protected:
    void SetUp() override
    {
        ScanWorld::SetUp();
        trash = platform::userTrashPath();
        standardDefaults().setInteger(SettingsKey::totalDeceptiveAppsRemovedSoFar, 5);
    }

    Counts cleanToEnd(std::vector<ScanResult> rows)
    {
        ScanWorld::cleanToEnd(std::move(rows));
        return counts();
    }

    Counts counts() const
    {
        const auto ends = log.named("NotifyCleanProcessCompleteBGX");
        if (ends.empty())
            return {};
        const auto& end = ends.back();
        return {*end.value<std::int64_t>("cleanedItems"), *end.value<std::int64_t>("remainingItems"),
                *end.value<std::int64_t>("pObj"), *end.value<std::int64_t>("abortedIndex")};
    }

    // The items the clean's completion says it kept, and why.
    std::vector<KeptItem> keptItems() const
    {
        const auto ends = log.named("NotifyCleanProcessCompleteBGX");
        const auto* kept = ends.empty() ? nullptr : ends.back().value<std::vector<KeptItem>>("keptItems");
        return kept ? *kept : std::vector<KeptItem>{{"no keptItems in the completion", KeptReason::ignoreList}};
    }

    std::vector<std::string> progressPaths() const
    {
        std::vector<std::string> paths;
        for (const auto& note : log.named("NotifyCleanProcessBGX"))
            paths.push_back(*note.value<std::string>("path"));
        return paths;
    }

    static std::int64_t removedSoFar()
    {
        return standardDefaults().integer(SettingsKey::totalDeceptiveAppsRemovedSoFar).value_or(-1);
    }

    fs::path trash;
    NotificationLog log{cleanNotifications};
};

TEST_F(CleanTest, MovesTheSelectedItemsToTheTrashAndCounts)
{
    const auto folder = home / "Library/Application Support/Qlorvex";
    const auto kept = testsupport::plantFile(home / "Documents/kept.txt");
    const auto gone = home / "Documents/gone.txt";
    const auto counts = cleanToEnd({row(true, {setupApp.string(), (folder / "a.txt").string()}),
                                    row(false, {kept.string()}),
                                    row(true, {std::nullopt, gone.string()})});

    EXPECT_TRUE(fs::exists(trash / "Setup.app/Contents/MacOS/tool"));
    EXPECT_TRUE(fs::exists(trash / "a.txt"));
    EXPECT_FALSE(fs::exists(setupApp));
    EXPECT_TRUE(fs::exists(kept));
    // Selected: 4 items, one without a path; all: 5.
    EXPECT_EQ(counts, (Counts{4, 2, 3, 0}));
    EXPECT_TRUE(keptItems().empty());
    EXPECT_EQ(progressPaths(), (std::vector<std::string>{setupApp.string(), (folder / "a.txt").string(), gone.string()}));
    std::vector<double> shares;
    for (const auto& note : log.named("NotifyCleanProcessBGX")) {
        EXPECT_EQ(*note.value<std::int64_t>("totalItems"), 4);
        shares.push_back(*note.value<double>("percentage"));
    }
    EXPECT_EQ(shares, (std::vector<double>{25.0, 50.0, 75.0}));
    // The total grows by the selected paths gone from disk, the one already gone too.
    EXPECT_EQ(removedSoFar(), 8);
    EXPECT_FALSE(Clean::shared().isCleanRunning);

    const auto menus = log.named("CleanViewUpdateBGX");
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(*menus[0].value<CleanMenu>(menuKey), CleanMenu::process);
    EXPECT_EQ(*menus[1].value<CleanMenu>(menuKey), CleanMenu::result);
    EXPECT_EQ(*log.named("ScanViewUpdateBGX").at(0).value<ScanMenu>(menuKey), ScanMenu::cleanProcess);
    EXPECT_EQ(*log.named("MenuSelectionBGX").at(0).value<Menu>(menuKey), Menu::scan);
    EXPECT_EQ(log.notes.back().name, "NotifyCleanProcessCompleteBGX");
}

TEST_F(CleanTest, RemovesForGoodWhenTheSettingSaysSo)
{
    appGroupDefaults()->setBool(SettingsKey::moveDeletedToTrash, false);
    const auto file = testsupport::plantFile(home / "Desktop/x.txt");
    EXPECT_EQ(cleanToEnd({row(true, {setupApp.string(), file.string()})}), (Counts{2, 0, 2, 0}));
    EXPECT_FALSE(fs::exists(setupApp));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::is_empty(trash));
}

TEST_F(CleanTest, NothingSelectedCountsNothing)
{
    EXPECT_EQ(cleanToEnd({row(false, {setupApp.string()})}), (Counts{0, 1, 0, 0}));
    EXPECT_TRUE(fs::exists(setupApp));
    EXPECT_FALSE(log.has("NotifyCleanProcessBGX"));
    EXPECT_EQ(removedSoFar(), 5);
}

// An item the ignore list covers, or one that holds an entry of it, stays on disk:
// removing it would remove what the user keeps.
TEST_F(CleanTest, NeverRemovesWhatTheIgnoreListKeeps)
{
    const auto keptFolder = home / "Documents/kept";
    const auto keptFile = testsupport::plantFile(keptFolder / "notes.txt");
    const auto free = testsupport::plantFile(home / "Desktop/free.txt");
    ignore({(setupApp / "Contents/Info.plist").string(), keptFolder.string()});
    testing::internal::CaptureStdout();
    const auto counts = cleanToEnd({row(true, {setupApp.string(), keptFile.string(), keptFolder.string(), free.string()})});
    const std::string printed = testing::internal::GetCapturedStdout();

    EXPECT_TRUE(fs::exists(setupApp / "Contents/MacOS/tool"));
    EXPECT_TRUE(fs::exists(keptFile));
    EXPECT_FALSE(fs::exists(free));
    for (const auto& path : {setupApp, keptFile, keptFolder})
        EXPECT_NE(printed.find(path.string()), std::string::npos) << path;
    EXPECT_EQ(keptItems(), (std::vector<KeptItem>{{setupApp.string(), KeptReason::ignoreList},
                                                  {keptFile.string(), KeptReason::ignoreList},
                                                  {keptFolder.string(), KeptReason::ignoreList}}));
    EXPECT_EQ(counts, (Counts{4, 0, 4, 0}));
    EXPECT_EQ(removedSoFar(), 6);
}

TEST_F(CleanTest, ForceQuitsOneRunningCopyOfTheBundle)
{
    const auto bundle = testsupport::plantApplication(testsupport::underRoot("/Applications/Victim.app"),
                                                      {{"CFBundleIdentifier", "Test.Clean.Victim"}});
    testsupport::RunningCopy first(bundle), second(bundle);
    ASSERT_TRUE(first.started() && second.started());
    EXPECT_EQ(cleanToEnd({row(true, {bundle.string()})}), (Counts{1, 0, 1, 0}));
    EXPECT_EQ(first.waitForExit(), SIGKILL);
    // Two regular copies: only the first one is quit; the other still runs from the Trash.
    const auto running = testsupport::runningCopiesOf("Test.Clean.Victim");
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0].processIdentifier, second.pid());
    EXPECT_TRUE(fs::exists(trash / "Victim.app"));
}

TEST_F(CleanTest, AnUnwritableBundleGoesThroughThePrivilegedRemoverFirst)
{
    testsupport::ImmutableFolder locked(setupApp);
    if (!locked.isSet())
        GTEST_SKIP() << "this file system or process cannot make a folder immutable";
    int requests = 0;
    platform::AuthorizationAgent::setPrompt([&](const platform::AuthorizationRequest&) {
        ++requests;
        return platform::AuthorizationAnswer::Cancel;
    });
    testing::internal::CaptureStdout();
    const auto counts = cleanToEnd({row(true, {setupApp.string()})});
    const std::string printed = testing::internal::GetCapturedStdout();
    platform::AuthorizationAgent::reset();
    EXPECT_EQ(requests, 1);
    // No other removal follows: printed, counted as handled, kept with its reason.
    EXPECT_NE(printed.find(setupApp.string()), std::string::npos);
    EXPECT_EQ(counts, (Counts{1, 0, 1, 0}));
    EXPECT_TRUE(fs::exists(setupApp));
    EXPECT_EQ(keptItems(), (std::vector<KeptItem>{
                               {setupApp.string(), KeptReason::notRemoved, "an administrator\u2019s rights were not given"}}));
}

// A bundle of root's in a root-owned /Applications, its Contents the user's, the
// user played as 501 with the kernel refusing what a user may not do; the worker
// runs on this thread, so it is bound by the same rights.
class CleanOfARootsBundle : public CleanTest {
protected:
    static constexpr uid_t someoneElse = 65534;

    void SetUp() override
    {
        CleanTest::SetUp();
        applications = testsupport::underRoot("/Applications");
        bundle = applications / "Root Tool.app";
        testsupport::plantFile(bundle / "Contents/Info.plist", "<plist/>");
        testsupport::plantFile(bundle / "Contents/MacOS/tool", "tool");
        setOwner(someoneElse);
        ASSERT_TRUE(appGroupDefaults());
        appGroupDefaults()->setBool(SettingsKey::moveDeletedToTrash, false);
        ::setenv("PLATFORM_UID", "501", 1);
    }
    void TearDown() override
    {
        ::unsetenv("PLATFORM_UID");
        platform::AuthorizationAgent::reset();
        setOwner(0);
        CleanTest::TearDown();
    }

    static void setOwner(uid_t owner)
    {
        for (const fs::path& folder : {applications, bundle})
            EXPECT_EQ(::chown(folder.c_str(), owner, owner), 0) << folder;
    }

    // The clean of a row of the bundle (or of `paths`), the prompt answered by `answer`; the kept items.
    std::vector<KeptItem> cleanAnswering(std::function<platform::AuthorizationAnswer()> answer,
                                         std::vector<std::optional<std::string>> paths = {bundle.string()})
    {
        platform::AuthorizationAgent::setPrompt([&](const platform::AuthorizationRequest&) { return answer(); });
        {
            testsupport::FilePermissionsObeyed obeyed;
            if (!obeyed.isSet())
                return {{"the kernel cannot be made to refuse here", KeptReason::notRemoved}};
            Clean::shared().isCleanRunning = true;
            Clean::shared().cleanItems({CleanRow{true, std::move(paths)}}, {});
        }
        EXPECT_TRUE(log.waitFor("NotifyCleanProcessCompleteBGX"));
        waitForTheCleanWorkerToEnd();
        return keptItems();
    }

    static inline fs::path applications;
    static inline fs::path bundle;
    testsupport::StandInPkexec pkexec;
};

TEST_F(CleanOfARootsBundle, CancelRemovesNothing)
{
    const auto before = testsupport::folderTree(bundle);
    const auto kept = cleanAnswering([] { return platform::AuthorizationAnswer::Cancel; });
    EXPECT_EQ(kept, (std::vector<KeptItem>{
                        {bundle.string(), KeptReason::notRemoved, "an administrator\u2019s rights were not given"}}));
    EXPECT_EQ(testsupport::folderTree(bundle), before);
    EXPECT_TRUE(pkexec.recordedCommand().empty());
    EXPECT_EQ(removedSoFar(), 5);
}

// A record may write the bundle's path with a trailing separator: it is still a
// bundle, whose removal beyond the user's rights is the administrator's to allow.
TEST_F(CleanOfARootsBundle, ABundleWrittenWithATrailingSeparatorIsStillAskedForTheAdministratorsRights)
{
    const auto before = testsupport::folderTree(bundle);
    const auto kept = cleanAnswering([] { return platform::AuthorizationAnswer::Cancel; }, {bundle.string() + "/"});
    EXPECT_EQ(kept, (std::vector<KeptItem>{{bundle.string() + "/", KeptReason::notRemoved,
                                            "an administrator\u2019s rights were not given"}}));
    EXPECT_EQ(testsupport::folderTree(bundle), before);
}

// The administrator's password dialog dismissed (126) or the password refused (127),
// whatever the elevation tool printed and however late: the item is kept, and the
// reason says so plainly.
class CleanRefusedByTheElevationTool : public CleanOfARootsBundle,
                                       public testing::WithParamInterface<std::pair<int, const char*>> {};

TEST_P(CleanRefusedByTheElevationTool, KeepsTheBundleAndSaysSoPlainly)
{
    const auto [status, said] = GetParam();
    testsupport::StandInPkexec refusing("echo 'Error executing command as another user: Not authorized' >&2; sleep 0.2;"
                                        " echo >&2; echo 'This incident has been reported.' >&2; exit " +
                                        std::to_string(status));
    const auto kept = cleanAnswering([] { return platform::AuthorizationAnswer::Grant; });
    EXPECT_EQ(kept, (std::vector<KeptItem>{{bundle.string(), KeptReason::notRemoved, said}}));
    EXPECT_FALSE(refusing.recordedCommand().empty()) << "the elevation tool was asked";
    EXPECT_TRUE(fs::exists(bundle / "Contents/MacOS/tool"));
}

INSTANTIATE_TEST_SUITE_P(DismissedOrRefused, CleanRefusedByTheElevationTool,
                         testing::Values(std::pair{126, "the administrator\u2019s password was not given"},
                                         std::pair{127, "the administrator\u2019s password was not accepted"}));

// The record lists the bundle and files of its Contents, which the user could remove
// alone: a Cancel keeps them all, for the bundle's reason, and counts nothing removed.
TEST_F(CleanOfARootsBundle, CancelKeepsEveryPathInsideTheBundleToo)
{
    const auto before = testsupport::folderTree(bundle);
    const std::string info = (bundle / "Contents/Info.plist").string();
    const std::string tool = (bundle / "Contents/MacOS/./tool").string();
    const std::string elsewhere = testsupport::plantFile(home / "Downloads/Root Tool.dmg", "image").string();
    const auto kept = cleanAnswering([] { return platform::AuthorizationAnswer::Cancel; },
                                     {bundle.string(), info, tool, elsewhere});
    const std::string reason = "an administrator\u2019s rights were not given";
    EXPECT_EQ(kept, (std::vector<KeptItem>{{bundle.string(), KeptReason::notRemoved, reason},
                                           {info, KeptReason::notRemoved, reason},
                                           {tool, KeptReason::notRemoved, reason}}));
    EXPECT_EQ(testsupport::folderTree(bundle), before);
    EXPECT_FALSE(fs::exists(elsewhere)) << "a path outside the bundle is removed";
    EXPECT_EQ(removedSoFar(), 6);
    EXPECT_EQ(*log.named("NotifyCleanProcessCompleteBGX").back().value<std::int64_t>("removedItems"), 1);
}

// While the password is asked, /Applications (in a folder the user may write) is
// renamed and a link put in its place, to a folder of the user's holding a bundle of
// the same name with the user's thesis in it.
TEST_F(CleanOfARootsBundle, AFolderSwappedForALinkWhileThePasswordIsAskedKeepsTheItemAndTheDecoy)
{
    const fs::path decoy = testsupport::plantFile(home / "Thesis/Root Tool.app/thesis.txt", "chapter one");
    const auto kept = cleanAnswering([&] {
        fs::rename(applications, applications.string() + ".real");
        fs::create_directory_symlink(decoy.parent_path().parent_path(), applications);
        return platform::AuthorizationAnswer::Grant;
    });
    fs::remove(applications);
    fs::rename(applications.string() + ".real", applications);
    EXPECT_EQ(kept, (std::vector<KeptItem>{
                        {bundle.string(), KeptReason::notRemoved, "Too many levels of symbolic links"}}));
    EXPECT_FALSE(pkexec.recordedCommand().empty()) << "the privileged step ran";
    EXPECT_EQ(testsupport::readFileText(decoy), "chapter one");
    EXPECT_TRUE(fs::exists(bundle / "Contents/MacOS/tool"));
    EXPECT_EQ(removedSoFar(), 5);
}

TEST_F(CleanTest, NeverRemovesRootsHomeOrScanRootsWhateverTheDatabaseSays)
{
    const std::vector<std::string> guarded{platform::platformRoot(),
                                           home.string(),
                                           (home / "Downloads").string() + "/",
                                           (home / "Library").string(),
                                           platform::hostPath("/Users"),
                                           platform::hostPath("/Applications"),
                                           (home / "Desktop/../Documents").string()};
    testing::internal::CaptureStdout();
    const auto setsBefore = ProtectedFolders::resolvedSets();
    const auto counts = cleanToEnd({row(true, {guarded.begin(), guarded.end()})});
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(ProtectedFolders::resolvedSets() - setsBefore, 1u) << "one set of protected folders for the clean";
    EXPECT_EQ(counts.pObj, static_cast<std::int64_t>(guarded.size()));
    for (const auto& path : guarded) {
        EXPECT_TRUE(fs::exists(path)) << path;
        EXPECT_NE(printed.find(path), std::string::npos) << path;
    }
    std::vector<std::string> kept; // a folder that holds an ignored path is kept for that first
    for (const KeptItem& item : keptItems())
        kept.push_back(item.path);
    EXPECT_EQ(kept, guarded);
    EXPECT_EQ(keptItems().back().reason, KeptReason::protectedPath);
    EXPECT_TRUE(fs::exists(setupApp));
    EXPECT_TRUE(fs::is_empty(trash));
}

TEST_F(CleanTest, AFailedRemovalIsPrintedAndCountedAsHandledButNotAsRemoved)
{
    fs::remove_all(trash);
    testsupport::plantFile(trash);
    const auto file = testsupport::plantFile(home / "Desktop/x.txt");
    testing::internal::CaptureStdout();
    EXPECT_EQ(cleanToEnd({row(true, {file.string()})}), (Counts{1, 0, 1, 0}));
    EXPECT_NE(testing::internal::GetCapturedStdout().find(file.string()), std::string::npos);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(removedSoFar(), 5);
    EXPECT_EQ(keptItems(), (std::vector<KeptItem>{{file.string(), KeptReason::notRemoved, "Not a directory"}}));
}

// The pause is set on the main thread when the third item's progress arrives, while
// the worker goes on; the third row is long enough that the stop still lands inside
// it on a loaded machine (each item takes at least 0.1 s).
TEST_F(CleanTest, StopDuringARowEndsTheCleanThere)
{
    constexpr int thirdRowItems = 40;
    std::vector<std::string> paths;
    for (int item = 0; item < 2 + thirdRowItems; ++item)
        paths.push_back(testsupport::plantFile(home / "Desktop" / std::to_string(item)).string());
    const std::int64_t allItems = static_cast<std::int64_t>(paths.size());
    scanResults().replace({row(true, {paths[0]}), row(true, {paths[1]}),
                           row(true, std::vector<std::optional<std::string>>(paths.begin() + 2, paths.end()))});
    auto pauseOnce = platform::NotificationCenter::defaultCenter().addObserver(
        "NotifyCleanProcessBGX", [](const platform::Notification& note) {
            if (*note.value<std::int64_t>("pObj") == 3)
                Clean::shared().isPaused = true;
        });
    Clean::shared().startClean();
    ASSERT_TRUE(platform::dispatch::runMainLoopUntil([] { return Clean::shared().isPaused.load(); },
                                                     detectiontest::endGuard));
    platform::dispatch::runMainLoopFor(300ms);
    const auto handledWhilePaused = log.named("NotifyCleanProcessBGX").size();
    EXPECT_FALSE(log.has("NotifyCleanProcessCompleteBGX"));
    Clean::shared().isAborted = true;
    Clean::shared().isPaused = false;
    ASSERT_TRUE(log.waitFor("NotifyCleanProcessCompleteBGX"));
    const auto end = counts();
    EXPECT_EQ(end.abortedIndex, 2);
    EXPECT_EQ(end.pObj, static_cast<std::int64_t>(handledWhilePaused));
    EXPECT_LT(end.pObj, allItems);
    EXPECT_EQ(end.remainingItems, allItems - end.pObj);
    EXPECT_TRUE(fs::exists(paths.back()));
    EXPECT_FALSE(fs::exists(paths[static_cast<std::size_t>(end.pObj) - 1]));
    EXPECT_TRUE(fs::exists(paths[static_cast<std::size_t>(end.pObj)]));
    EXPECT_EQ(removedSoFar(), 5 + end.pObj);
    waitForTheCleanWorkerToEnd();
    EXPECT_FALSE(Clean::shared().isAborted);
}

// The sidebar and the agent's requests test the flag on the main thread: it must not
// clear before the completion reaches it.
TEST_F(CleanTest, TheCleanRunsUntilItsCompletionIsHandledOnTheMainThread)
{
    scanResults().replace({row(true, {(home / "Documents/gone.txt").string()})});
    std::optional<bool> runningAtCompletion;
    auto completion = platform::NotificationCenter::defaultCenter().addObserver(
        "NotifyCleanProcessCompleteBGX",
        [&](const platform::Notification&) { runningAtCompletion = Clean::shared().isCleanRunning.load(); });
    Clean::shared().startClean();
    std::this_thread::sleep_for(600ms); // the worker's one item and its end, the main queue held
    EXPECT_TRUE(Clean::shared().isCleanRunning);
    ASSERT_TRUE(log.waitFor("NotifyCleanProcessCompleteBGX"));
    EXPECT_EQ(runningAtCompletion, false) << "over when its completion is handled, as a scan is";
}

TEST_F(CleanTest, StartWhileRunningDoesNothing)
{
    scanResults().replace({row(true, {setupApp.string()})});
    Clean::shared().startClean();
    Clean::shared().startClean();
    ASSERT_TRUE(log.waitFor("NotifyCleanProcessCompleteBGX"));
    platform::dispatch::runMainLoopFor(100ms);
    EXPECT_EQ(log.named("MenuSelectionBGX").size(), 1u);
    EXPECT_EQ(log.named("NotifyCleanProcessCompleteBGX").size(), 1u);
}

bool runs(pid_t pid)
{
    const auto running = platform::Workspace::shared().runningApplications();
    return std::ranges::any_of(running, [&](const auto& application) { return application.processIdentifier == pid; });
}

// The found bundle's Info.plist is the finding's own: the identifier it declares quits
// only a copy running from inside it, never another application that has it.
TEST_F(CleanTest, ForceQuitsOnlyACopyRunningFromInsideTheFoundBundle)
{
    const auto other = testsupport::plantApplication(testsupport::underRoot("/Applications/Bystander.app"),
                                                     {{"CFBundleIdentifier", "Test.Clean.Bystander"}});
    const auto found = testsupport::plantApplication(home / "Downloads/Impostor.app",
                                                     {{"CFBundleIdentifier", "test.clean.BYSTANDER"}});
    testsupport::RunningCopy bystander(other), impostor(found);
    ASSERT_TRUE(bystander.started() && impostor.started());
    EXPECT_EQ(cleanToEnd({row(true, {found.string()})}), (Counts{1, 0, 1, 0}));
    EXPECT_EQ(impostor.waitForExit(), SIGKILL);
    EXPECT_TRUE(runs(bystander.pid()));
}

// A found bundle that is the application's own or its installed agent, or a link to
// another bundle, quits nothing.
TEST_F(CleanTest, NeverQuitsTheApplicationItsAgentOrTheTargetOfALink)
{
    const std::string mainBundleBefore = platform::Bundle::main().bundlePath();
    const auto application = testsupport::plantApplication(testsupport::underRoot("/Applications/Bastion Guardpoint.app"),
                                                           {{"CFBundleIdentifier", "Test.Clean.Application"}});
    platform::Bundle::setMainBundlePath(application.string());
    const auto agent = testsupport::plantApplication(installedAgentPath(), {{"CFBundleIdentifier", "Test.Clean.Agent"},
                                                                            {"LSUIElement", true}});
    const auto other = testsupport::plantApplication(testsupport::underRoot("/Applications/Bystander.app"),
                                                     {{"CFBundleIdentifier", "Test.Clean.Bystander"}});
    const auto link = home / "Downloads/Bystander.app";
    fs::create_directory_symlink(other, link);
    testsupport::RunningCopy applicationCopy(application), agentCopy(agent), bystander(other);
    ASSERT_TRUE(applicationCopy.started() && agentCopy.started() && bystander.started());

    cleanToEnd({row(true, {application.string(), agent.string(), link.string()})});
    platform::Bundle::setMainBundlePath(mainBundleBefore);
    EXPECT_TRUE(runs(applicationCopy.pid()));
    EXPECT_TRUE(runs(agentCopy.pid()));
    EXPECT_TRUE(runs(bystander.pid()));
    EXPECT_TRUE(fs::exists(other / "Contents/Info.plist")) << "the link went, not its target";
}

} // namespace
