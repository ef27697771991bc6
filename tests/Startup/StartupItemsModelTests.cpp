#include "Startup/StartupItemsModel.h"

#include "Foundation/IndexVocabularies.h"
#include "Foundation/SharedState.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "Platform/LoginItems/SharedFileList.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Startup/DisabledStartupItemRecords.h"
#include "Startup/LaunchOnStartup.h"
#include "Helper/LDLaunchCtl/JobPlists.h"
#include "ImmutableFolder.h"
#include "StartupTestWorld.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using platform::Array;
using platform::Dictionary;
using platform::LaunchdDomain;
using platform::Notification;
using startuptest::host;
using startuptest::plantBundle;
using startuptest::plantPlist;

// What the screen was asked to show.
class RecordingView : public StartupItemsView {
public:
    std::map<StartupManager, std::string> counts;
    int reloads = 0;
    int loaderShown = 0;
    int loaderHidden = 0;
    int selectedCounts = 0;

    void showCount(StartupManager list, const std::string& text) override { counts[list] = text; }
    void reloadTable() override { ++reloads; }
    void showLoader() override { ++loaderShown; }
    void hideLoader() override { ++loaderHidden; }
    void updateSelectedItemsCount() override { ++selectedCounts; }
};

class StartupItemsModelTest : public testsupport::LaunchdTest {
protected:
    void SetUp() override
    {
        LaunchdTest::SetUp();
        isStartupItemsCleanAborted = false;
        isStartupItemsCleanPaused = false;
        model = StartupItemsModel::create(view);
        model->pauseAfterEachRemoval = [] {};
        for (const char* name : {"NotifyCleanProcess_StartupItemsBGX", "CleanViewUpdate_StartupItemsBGX",
                                 "NotifyCleanProcessComplete_StartupItemsBGX"})
            tokens.push_back(platform::NotificationCenter::defaultCenter().addObserver(
                name, [this](const Notification& note) { posted.push_back(note); }));
    }

    static void submitUserJob(Dictionary job)
    {
        ASSERT_TRUE(platform::SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr));
    }

    // A job plist in a launchd folder; loaded into the user's launchd when asked.
    static void plantAgent(const std::string& folder, const std::string& label, bool loaded = false)
    {
        const Dictionary job{{"Label", label}, {"ProgramArguments", Array{"/bin/sleep", "30"}}};
        plantPlist(fs::path(folder) / (label + ".plist"), job);
        if (loaded)
            submitUserJob(job);
    }

    static std::string userAgents() { return (testsupport::homeFolder() / "Library/LaunchAgents").string(); }

    void load(StartupManager list)
    {
        model->startLoading(list);
        ASSERT_TRUE(waitUntil([&] {
            return !(list == StartupManager::loginItems ? model->isRetrivingLoginItems() : model->isRetrivingLaunchAgents());
        }));
    }

    void removeSelected(StartupManager list)
    {
        model->setMenuClicked(list);
        platform::dispatch::asyncGlobal([model = model] { model->removeSelectedStartupItems(); });
        ASSERT_TRUE(waitUntil([&] { return !posted.empty() && posted.back().name == "NotifyCleanProcessComplete_StartupItemsBGX"; }));
    }

    // Each record's name (plist name for launch agents), marked when switched off.
    static std::vector<std::string> names(const std::vector<LoginItem>& items)
    {
        std::vector<std::string> out;
        for (const auto& item : items)
            out.push_back(item.name.value_or("-") + (item.isEnable ? "" : " (off)"));
        return out;
    }

    static std::vector<std::string> names(const std::vector<LaunchAgent>& agents)
    {
        std::vector<std::string> out;
        for (const auto& agent : agents)
            out.push_back(agent.plistName.value_or("-") + (agent.isEnable ? "" : " (off)"));
        return out;
    }

    std::vector<const Notification*> postedNamed(const std::string& name) const
    {
        std::vector<const Notification*> found;
        for (const auto& note : posted)
            if (note.name == name)
                found.push_back(&note);
        return found;
    }

    RecordingView view;
    std::shared_ptr<StartupItemsModel> model;
    std::vector<Notification> posted;
    std::vector<platform::ObservationToken> tokens;
};

TEST_F(StartupItemsModelTest, LaunchAgentsOfThreeFoldersWithSwitchedOffRecordsMergedIn)
{
    plantAgent(userAgents(), "com.example.loaded", true);
    plantAgent(userAgents(), "com.example.unloaded");
    plantAgent(host("/Library/LaunchAgents"), "com.example.global");
    plantAgent(host("/Library/LaunchDaemons"), "com.example.daemon");
    plantAgent(host("/System/Library/LaunchAgents"), "com.example.system");
    const auto plist = [](const std::string& label) { return userAgents() + "/" + label + ".plist"; };
    addDisabledLaunchAgent({{"label", "com.example.loaded"}, {"plistPath", plist("com.example.loaded")}, {"ldLaunchDomain", "1"}});
    addDisabledLaunchAgent({{"label", "com.example.unloaded"}, {"plistPath", plist("com.example.unloaded")}, {"ldLaunchDomain", "1"}});
    addDisabledLaunchAgent({{"label", "com.example.gone"}, {"plistPath", plist("com.example.gone")}, {"ldLaunchDomain", "1"}});

    load(StartupManager::launchAgents);
    // The item whose plist is gone has no plist name.
    EXPECT_EQ(names(model->launchAgents()),
              (std::vector<std::string>{"com.example.loaded.plist", "com.example.unloaded.plist (off)",
                                        "com.example.global.plist (off)", "com.example.daemon.plist (off)", " (off)"}));
    EXPECT_EQ(model->launchAgents()[2].ldLaunchDomain, LDLaunchDomain::globalLaunchAgent);
    EXPECT_EQ(model->launchAgents()[3].ldLaunchDomain, LDLaunchDomain::globalLaunchDaemon);
    // The record of the item found loaded again is dropped; the others stay.
    std::vector<std::string> stored;
    for (const auto& record : disabledLaunchAgents())
        stored.push_back(*record.at("label").asText());
    EXPECT_EQ(stored, (std::vector<std::string>{"com.example.unloaded", "com.example.gone"}));

    EXPECT_EQ(view.counts[StartupManager::launchAgents], "5 ");
    EXPECT_EQ(view.loaderShown, 1);
    EXPECT_EQ(view.loaderHidden, 1);
    EXPECT_EQ(view.reloads, 1);
    EXPECT_EQ(view.selectedCounts, 1);
}

TEST_F(StartupItemsModelTest, ALaunchAgentNamingOnlyItsProgramIsListed)
{
    testsupport::plantFile(testsupport::underRoot("/usr/local/bin/powerhelper"));
    jobplists::plant("program-only.plist", userAgents());
    load(StartupManager::launchAgents);
    EXPECT_EQ(names(model->launchAgents()), (std::vector<std::string>{"program-only.plist (off)"}));
    EXPECT_EQ(model->launchAgents()[0].name, "powerhelper");
    EXPECT_FALSE(model->launchAgents()[0].isInvalid);
}

TEST_F(StartupItemsModelTest, LoginItemsOfTheSessionAndTheUsersLaunchdWithSwitchedOffRecordsMergedIn)
{
    plantBundle("/Applications/Tool.app", "com.example.tool");
    plantBundle("/Applications/Session.app", "com.example.session");
    plantBundle("/Applications/Back.app", "com.example.back");
    setLaunchOnStartup(true, platform::FileURL::fromPath(host("/Applications/Session.app")));
    setLaunchOnStartup(true, platform::FileURL::fromPath(host("/Applications/Back.app")));
    const Dictionary loginJob{{"Label", "com.example.tool.login"}, {"Program", "com.example.tool"},
                              {"EnableTransactions", true}, {"OnDemand", true}};
    submitUserJob(loginJob);
    for (const auto& [label, change] : std::vector<std::pair<std::string, std::pair<std::string, platform::Value>>>{
             {"com.apple.hidden", {"Label", "com.apple.hidden"}},
             {"com.example.openssh", {"Label", "com.openssh.agent"}},
             {"com.example.notOnDemand", {"OnDemand", false}},
             {"com.example.noTransactions", {"EnableTransactions", platform::Value()}}}) {
        Dictionary job = loginJob;
        job["Label"] = label;
        if (change.second.isNull())
            job.erase(change.first);
        else
            job[change.first] = change.second;
        submitUserJob(job);
    }
    // Switched off earlier: an item gone from the session, and one that is back in it.
    addDisabledLoginItem({{"isEnable", "0"}, {"appUrlPath", host("/Applications/Off.app")}, {"isSMLoginItem", false}});
    addDisabledLoginItem({{"isEnable", "0"}, {"appUrlPath", host("/Applications/Back.app")}, {"isSMLoginItem", false}});

    load(StartupManager::loginItems);
    EXPECT_EQ(names(model->loginItems()), (std::vector<std::string>{"Session.app", "Back.app", "Tool.app", "Off.app (off)"}));
    const LoginItem& job = model->loginItems()[2];
    EXPECT_TRUE(job.isSMLoginItem);
    EXPECT_EQ(job.onDemand, 1);
    EXPECT_EQ(job.helperBundleIdentifier, "com.example.tool");
    ASSERT_EQ(disabledLoginItems().size(), 1u);
    EXPECT_EQ(disabledLoginItems()[0].at("appUrlPath"), host("/Applications/Off.app"));
    EXPECT_EQ(view.counts[StartupManager::loginItems], "4 ");
}

TEST_F(StartupItemsModelTest, AReloadWhileAListLoadsDoesNothing)
{
    model->startLoading(StartupManager::launchAgents);
    model->reloadStartupItems();
    EXPECT_EQ(view.loaderShown, 1);
    ASSERT_TRUE(waitUntil([&] { return !model->isLoading(); }));
    model->reloadStartupItems();
    EXPECT_EQ(view.loaderShown, 3);
    ASSERT_TRUE(waitUntil([&] { return view.loaderHidden == 3; }));
}

// The screen goes while a list loads and a removal runs: both end, the model's lists
// change, and nothing more is shown on the screen that went.
TEST_F(StartupItemsModelTest, WorkUnderWayEndsWithoutTheScreenThatWent)
{
    plantAgent(userAgents(), "a", true);
    load(StartupManager::launchAgents);
    model->changeLaunchAgent(0, [](LaunchAgent& agent) { agent.isSelected = true; });
    model->startLoading(StartupManager::loginItems);
    const RecordingView before = view;
    model->forgetView();

    removeSelected(StartupManager::launchAgents);
    ASSERT_TRUE(waitUntil([&] { return !model->isLoading(); }));
    EXPECT_TRUE(model->launchAgents().empty());
    EXPECT_EQ(view.reloads, before.reloads);
    EXPECT_EQ(view.loaderHidden, before.loaderHidden);
    EXPECT_EQ(view.selectedCounts, before.selectedCounts);
    EXPECT_EQ(view.counts, before.counts);
}

TEST_F(StartupItemsModelTest, ThreeSelectedLaunchAgentsWithAStopBeforeTheThird)
{
    for (const char* label : {"a", "b", "c", "d"})
        plantAgent(userAgents(), label, true);
    load(StartupManager::launchAgents);
    for (std::size_t i = 0; i < 3; ++i)
        model->changeLaunchAgent(i, [](LaunchAgent& agent) { agent.isSelected = true; });
    int handled = 0;
    model->pauseAfterEachRemoval = [&handled] {
        if (++handled == 2)
            isStartupItemsCleanAborted = true; // the user stops while the second is shown
    };

    removeSelected(StartupManager::launchAgents);
    for (const char* gone : {"a", "b"}) {
        EXPECT_FALSE(fs::exists(userAgents() + "/" + gone + ".plist")) << gone;
        EXPECT_FALSE(platform::SMJobCopyDictionary(LaunchdDomain::User, gone)) << gone;
    }
    EXPECT_TRUE(fs::exists(userAgents() + "/c.plist"));
    ASSERT_EQ(model->launchAgents().size(), 2u);
    EXPECT_EQ(model->launchAgents()[0].plistName, "c.plist");
    EXPECT_TRUE(model->launchAgents()[0].isSelected);
    EXPECT_EQ(model->launchAgents()[1].plistName, "d.plist");
    EXPECT_TRUE(waitUntil([] { return !isStartupItemsCleanAborted; })); // cleared once the run ends

    const auto progress = postedNamed("NotifyCleanProcess_StartupItemsBGX");
    ASSERT_EQ(progress.size(), 2u);
    EXPECT_EQ(*progress[1]->value<std::int64_t>("totalItems"), 3);
    EXPECT_EQ(*progress[1]->value<std::int64_t>("pObj"), 2);
    EXPECT_NEAR(*progress[1]->value<double>("percentage"), 200.0 / 3.0, 1e-9);
    EXPECT_EQ(*progress[1]->value<std::string>("path"), "/bin/sleep");

    ASSERT_GE(posted.size(), 2u);
    const Notification& update = posted[posted.size() - 2];
    EXPECT_EQ(update.name, "CleanViewUpdate_StartupItemsBGX");
    EXPECT_EQ(*update.value<CleanMenu>(menuKey), CleanMenu::result);
    const Notification& done = posted.back();
    ASSERT_TRUE(done.value<std::int64_t>("cleanedItems") && done.value<std::int64_t>("remainingItems")
                && done.value<std::int64_t>("pObj") && done.value<std::int64_t>("abortedIndex")
                && done.value<bool>("isLoginItems"));
    EXPECT_EQ(*done.value<std::int64_t>("cleanedItems"), 3);
    EXPECT_EQ(*done.value<std::int64_t>("remainingItems"), 2);
    EXPECT_EQ(*done.value<std::int64_t>("pObj"), 2);
    EXPECT_EQ(*done.value<std::int64_t>("abortedIndex"), 0);
    EXPECT_FALSE(*done.value<bool>("isLoginItems"));
    EXPECT_EQ(view.counts[StartupManager::launchAgents], "2 ");
}

TEST_F(StartupItemsModelTest, NothingSelectedRemovesNothingAndStillCompletes)
{
    plantAgent(userAgents(), "a", true);
    load(StartupManager::launchAgents);
    removeSelected(StartupManager::launchAgents);
    EXPECT_TRUE(postedNamed("NotifyCleanProcess_StartupItemsBGX").empty());
    EXPECT_EQ(model->launchAgents().size(), 1u);
    EXPECT_EQ(*posted.back().value<std::int64_t>("remainingItems"), 1);
    EXPECT_EQ(*posted.back().value<std::int64_t>("cleanedItems"), 0);
}

// The session's login items cannot be changed (their folder locked): the session
// item is not told as removed, and it stays listed.
TEST_F(StartupItemsModelTest, ASessionLoginItemWhoseListCannotBeChangedIsNotRemoved)
{
    plantBundle("/Applications/Session.app", "com.example.session");
    setLaunchOnStartup(true, platform::FileURL::fromPath(host("/Applications/Session.app")));
    load(StartupManager::loginItems);
    ASSERT_EQ(model->loginItems().size(), 1u);
    model->changeLoginItem(0, [](LoginItem& item) { item.isSelected = true; });
    testsupport::ImmutableFolder locked(
        fs::path(platform::SharedFileList::sessionLoginItemsPath()).parent_path());
    if (!locked.isSet())
        GTEST_SKIP() << "no immutable folders here";

    removeSelected(StartupManager::loginItems);
    locked.unlock();
    EXPECT_EQ(platform::SharedFileList::sessionLoginItems()->snapshot().size(), 1u);
    EXPECT_EQ(model->loginItems().size(), 1u);
    EXPECT_EQ(*posted.back().value<std::int64_t>("pObj"), 0) << "none removed";
    EXPECT_EQ(*posted.back().value<std::int64_t>("remainingItems"), 1);
}

TEST_F(StartupItemsModelTest, ALoginItemWhoseRemovalFailsStaysButLosesItsStoredRecord)
{
    plantBundle("/Applications/Tool.app", "com.example.tool");
    plantBundle("/Applications/Session.app", "com.example.session");
    setLaunchOnStartup(true, platform::FileURL::fromPath(host("/Applications/Session.app")));
    const Dictionary job{{"Label", "com.example.tool.login"},
                         {"Program", host("/Applications/Tool.app/Contents/MacOS/Tool")},
                         {"EnableTransactions", 1},
                         {"OnDemand", 1}};
    plantPlist(fs::path(userAgents()) / "com.example.tool.login.plist", job);
    submitUserJob(job);
    load(StartupManager::loginItems);
    // Taken off launchd behind the list's back, its plist left: launchd cannot remove it.
    ASSERT_TRUE(platform::SMJobRemove(platform::LaunchdDomain::User, "com.example.tool.login", nullptr, true, nullptr));
    ASSERT_EQ(model->loginItems().size(), 2u);
    const LoginItem failing = model->loginItems()[1];
    addDisabledLoginItem(failing.record());
    addDisabledLoginItem({{"isEnable", "0"}, {"appUrlPath", "/Applications/Other.app"}});
    for (std::size_t i = 0; i < 2; ++i)
        model->changeLoginItem(i, [](LoginItem& item) { item.isSelected = true; });

    testing::internal::CaptureStdout();
    removeSelected(StartupManager::loginItems);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Error Domain="), std::string::npos) << printed;

    EXPECT_TRUE(platform::SharedFileList::sessionLoginItems()->snapshot().empty());
    ASSERT_EQ(model->loginItems().size(), 1u);
    EXPECT_TRUE(model->loginItems()[0] == failing);
    ASSERT_EQ(disabledLoginItems().size(), 1u);
    EXPECT_EQ(disabledLoginItems()[0].at("appUrlPath"), "/Applications/Other.app");
    EXPECT_EQ(*posted.back().value<std::int64_t>("pObj"), 1);
    EXPECT_EQ(*posted.back().value<std::int64_t>("remainingItems"), 1);
    EXPECT_TRUE(*posted.back().value<bool>("isLoginItems"));
    EXPECT_EQ(view.counts[StartupManager::loginItems], "1 ");
}

} // namespace

// A job that is not loaded has nothing to unload: its plist and its stored record go
// all the same, in the user's folder and (authorised) in the global one, while a
// denied authorisation keeps the global one.
TEST_F(StartupItemsModelTest, SwitchedOffLaunchAgentsAreDeletedWithTheirRecords)
{
    plantAgent(userAgents(), "com.example.off");
    plantAgent(host("/Library/LaunchAgents"), "com.example.global");
    plantAgent(userAgents(), "com.example.loaded", true);
    for (const char* label : {"com.example.off", "com.example.global"}) {
        const std::string folder = std::string(label) == "com.example.off" ? userAgents() : host("/Library/LaunchAgents");
        addDisabledLaunchAgent({{"label", std::string(label)}, {"plistPath", folder + "/" + label + ".plist"}});
    }
    const auto deleteAll = [&] {
        load(StartupManager::launchAgents);
        for (std::size_t i = 0; i < model->launchAgents().size(); ++i)
            model->changeLaunchAgent(i, [](LaunchAgent& agent) { agent.isSelected = true; });
        posted.clear();
        removeSelected(StartupManager::launchAgents);
    };

    platform::AuthorizationAgent::setPolicy(platform::AuthorizationAnswer::Deny);
    deleteAll();
    EXPECT_EQ(names(model->launchAgents()), std::vector<std::string>{"com.example.global.plist (off)"});
    EXPECT_FALSE(fs::exists(userAgents() + "/com.example.off.plist"));
    EXPECT_FALSE(fs::exists(userAgents() + "/com.example.loaded.plist"));
    EXPECT_EQ(*posted.back().value<std::int64_t>("pObj"), 2);
    ASSERT_EQ(disabledLaunchAgents().size(), 1u);

    platform::AuthorizationAgent::setPolicy(platform::AuthorizationAnswer::Grant);
    deleteAll();
    EXPECT_TRUE(model->launchAgents().empty());
    EXPECT_FALSE(fs::exists(host("/Library/LaunchAgents/com.example.global.plist")));
    EXPECT_TRUE(disabledLaunchAgents().empty());
}
