#include "Platform/Workspace/Workspace.h"

#include "Platform/Workspace/ApplicationRegister.h"

#include "Platform/Dispatch/Dispatch.h"
#include "PlantedApplication.h"
#include "RootProcesses.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

using platform::ApplicationActivationPolicy;
using platform::Workspace;

class WorkspaceTest : public testsupport::PlatformRootTest {};

std::vector<platform::RunningApplication> copiesOf(const std::string& bundleIdentifier)
{
    return testsupport::runningCopiesOf(bundleIdentifier);
}

TEST_F(WorkspaceTest, FilePackagesAreBundleFoldersOnly)
{
    const auto root = testsupport::underRoot("/Applications");
    fs::create_directories(root / "Tool.app/Contents");
    fs::create_directories(root / "Plugin.bundle");
    fs::create_directories(root / "Folder");
    testsupport::plantFile(root / "Notes.app");
    struct Case {
        const char* name;
        bool package;
    };
    for (const auto& [name, package] : {Case{"Tool.app", true}, Case{"Tool.app/", true}, Case{"Plugin.bundle", true},
                                        Case{"Folder", false}, Case{"Notes.app", false}, Case{"Missing.app", false}})
        EXPECT_EQ(Workspace::shared().isFilePackage((root / name).string()), package) << name;
}

TEST_F(WorkspaceTest, ListsRunningBundlesWithIdentifierAndPolicyOldestFirst)
{
    const auto apps = testsupport::underRoot("/Applications");
    const auto regular = testsupport::plantApplication(apps / "Regular.app", {{"CFBundleIdentifier", "test.ws.regular"}});
    const auto agent = testsupport::plantApplication(apps / "Agent.app",
                                                     {{"CFBundleIdentifier", "test.ws.agent"}, {"LSUIElement", true}});
    const auto daemon = testsupport::plantApplication(
        apps / "Daemon.app", {{"CFBundleIdentifier", "test.ws.daemon"}, {"LSBackgroundOnly", "1"}});
    testsupport::RunningCopy first(regular), second(regular), agentCopy(agent), daemonCopy(daemon);
    ASSERT_TRUE(first.started() && second.started() && agentCopy.started() && daemonCopy.started());

    const auto regulars = copiesOf("test.ws.regular");
    ASSERT_EQ(regulars.size(), 2u);
    EXPECT_EQ(regulars[0].processIdentifier, first.pid());
    EXPECT_EQ(regulars[1].processIdentifier, second.pid());
    EXPECT_EQ(regulars[0].bundlePath, regular.string());
    EXPECT_EQ(regulars[0].activationPolicy, ApplicationActivationPolicy::Regular);
    ASSERT_EQ(copiesOf("test.ws.agent").size(), 1u);
    EXPECT_EQ(copiesOf("test.ws.agent")[0].activationPolicy, ApplicationActivationPolicy::Accessory);
    ASSERT_EQ(copiesOf("test.ws.daemon").size(), 1u);
    EXPECT_EQ(copiesOf("test.ws.daemon")[0].activationPolicy, ApplicationActivationPolicy::Prohibited);
}

// A tool of the bundle, beside its executable (as the launchd supervisor the agent's
// bundle carries), runs no copy of the application.
TEST_F(WorkspaceTest, AToolBesideTheBundlesExecutableIsNoRunningApplication)
{
    const auto agent = testsupport::plantApplication(testsupport::underRoot("/Applications/Helper.app"),
                                                     {{"CFBundleIdentifier", "test.ws.helper"}, {"LSUIElement", true}});
    fs::copy_file("/bin/sleep", agent / "Contents/MacOS/supervisor");
    auto tool = platform::ToolProcess::launch((agent / "Contents/MacOS/supervisor").string(), {"60"},
                                              platform::ToolProcess::Capture::Nothing);
    ASSERT_TRUE(tool);
    testsupport::waitForExec(tool->pid());
    testsupport::RunningCopy copy(agent);
    ASSERT_TRUE(copy.started());
    const auto copies = copiesOf("test.ws.helper");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].processIdentifier, copy.pid());
    ::kill(tool->pid(), SIGKILL);
}

TEST_F(WorkspaceTest, ApplicationsRunningOutsideThePlatformRootAreNotListed)
{
    // A sibling of the root stands for another machine, such as another test's root.
    const fs::path elsewhere = testsupport::platformRootFolder().string() + "-elsewhere";
    const auto outside = testsupport::plantApplication(elsewhere / "Applications/Twin.app",
                                                       {{"CFBundleIdentifier", "test.ws.twin"}});
    const auto inside = testsupport::plantApplication(testsupport::underRoot("/Applications/Twin.app"),
                                                      {{"CFBundleIdentifier", "test.ws.twin"}});
    {
        testsupport::RunningCopy outsideCopy(outside), insideCopy(inside);
        ASSERT_TRUE(outsideCopy.started() && insideCopy.started());
        const auto twins = copiesOf("test.ws.twin");
        ASSERT_EQ(twins.size(), 1u);
        EXPECT_EQ(twins[0].processIdentifier, insideCopy.pid());
    }
    fs::remove_all(elsewhere);
}

TEST_F(WorkspaceTest, ForceTerminateKillsTheCopy)
{
    const auto bundle = testsupport::plantApplication(testsupport::underRoot("/Applications/Victim.app"),
                                                      {{"CFBundleIdentifier", "test.ws.victim"}});
    testsupport::RunningCopy copy(bundle);
    ASSERT_TRUE(copy.started());
    const auto running = copiesOf("test.ws.victim");
    ASSERT_EQ(running.size(), 1u);
    EXPECT_TRUE(running[0].forceTerminate());
    EXPECT_EQ(copy.waitForExit(), SIGKILL);
    EXPECT_TRUE(copiesOf("test.ws.victim").empty());
    EXPECT_FALSE(platform::RunningApplication{}.forceTerminate());
}

TEST_F(WorkspaceTest, IconIsTheBundleIconResourceElseTheItem)
{
    const auto apps = testsupport::underRoot("/Applications");
    const auto withIcon = testsupport::plantApplication(apps / "Icon.app", {{"CFBundleIconFile", "AppIcon"}});
    testsupport::plantFile(withIcon / "Contents/Resources/AppIcon.icns");
    const auto withPicture = testsupport::plantApplication(apps / "Picture.app", {{"CFBundleIconFile", "AppIcon"}});
    testsupport::plantFile(withPicture / "Contents/Resources/AppIcon.png");
    const auto without = testsupport::plantApplication(apps / "Plain.app", {});
    const auto file = testsupport::plantFile(apps / "readme.txt");
    EXPECT_EQ(Workspace::shared().iconForFile(withIcon.string()), (withIcon / "Contents/Resources/AppIcon.icns").string());
    EXPECT_EQ(Workspace::shared().iconForFile(withPicture.string()), (withPicture / "Contents/Resources/AppIcon.png").string())
        << "the product's own bundles ship a PNG under a name without a type";
    EXPECT_EQ(Workspace::shared().iconForFile(without.string()), without.string());
    EXPECT_EQ(Workspace::shared().iconForFile(file.string()), file.string());
}

TEST_F(WorkspaceTest, LaunchesByBundleIdentifierThroughOpen)
{
    // An application whose executable leaves a mark and ends.
    const auto bundle = testsupport::underRoot("/Applications/Marker.app");
    const auto mark = testsupport::platformRootFolder() / "launched";
    testsupport::plantApplication(bundle, {{"CFBundleIdentifier", "test.ws.marker"}});
    testsupport::plantFile(bundle / "Contents/MacOS/Marker", "#!/bin/sh\ntouch '" + mark.string() + "'\n");
    fs::permissions(bundle / "Contents/MacOS/Marker", fs::perms::owner_all);
    const auto other = testsupport::plantApplication(testsupport::homeFolder() / "Applications/Other.app",
                                                     {{"CFBundleIdentifier", "test.ws.other"}});

    EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.marker"), bundle.string());
    EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.other"), other.string());
    EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.nowhere"), std::nullopt);
    EXPECT_FALSE(Workspace::shared().launchApplication("test.ws.nowhere"));
    ASSERT_TRUE(Workspace::shared().launchApplication("test.ws.marker"));
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([&] { return fs::exists(mark); }, std::chrono::seconds(20)));
}

// An application kept in a subfolder of an Applications folder is found there; one
// kept anywhere else is found once a launch has registered it, while it is still
// there with that identifier.
TEST_F(WorkspaceTest, FindsAnApplicationInASubfolderOrWhereItWasRegistered)
{
    const auto inUtilities = testsupport::plantApplication(testsupport::underRoot("/Applications/Utilities/Tool.app"),
                                                           {{"CFBundleIdentifier", "test.ws.utility"}});
    const auto deep = testsupport::plantApplication(
        testsupport::homeFolder() / "Applications/Work/Kept/Tools/Deep.app", {{"CFBundleIdentifier", "test.ws.deep"}});
    const auto kept = testsupport::plantApplication(testsupport::homeFolder() / "Desktop/Kept.app",
                                                    {{"CFBundleIdentifier", "test.ws.kept"}});
    EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.utility"), inUtilities.string());
    EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.deep"), deep.string());
    EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.kept"), std::nullopt) << "not registered yet";

    ASSERT_TRUE(platform::registerApplication(kept.string()));
    EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.kept"), kept.string());
    const auto moved = testsupport::homeFolder() / "Desktop/Moved.app";
    fs::rename(kept, moved);
    EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.kept"), std::nullopt) << "gone from where it was";
    ASSERT_TRUE(platform::registerApplication(moved.string()));
    EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.kept"), moved.string());
    EXPECT_FALSE(platform::registerApplication(testsupport::homeFolder().string())) << "no application bundle";
}

// The register is the user's file: entries that name no bundle of that identifier
// are passed over, and a file that is no property list changes nothing.
TEST_F(WorkspaceTest, RegisteredEntriesThatNameNoSuchBundleArePassedOver)
{
    const auto other = testsupport::plantApplication(testsupport::homeFolder() / "Desktop/Other.app",
                                                     {{"CFBundleIdentifier", "test.ws.other"}});
    const auto file = testsupport::plantFile(testsupport::homeFolder() / "Desktop/File.app");
    const auto registerFile =
        testsupport::homeFolder() / "Library/Preferences/com.apple.LaunchServices/RegisteredApplications.plist";
    fs::create_directories(registerFile.parent_path());
    for (const auto& [name, entry] : std::vector<std::pair<std::string, platform::Value>>{
             {"another identifier's bundle", other.string()},
             {"a file named as a bundle", file.string()},
             {"a relative path", "Desktop/Other.app"},
             {"no text", platform::Value(12)},
         }) {
        ASSERT_TRUE(platform::writePropertyListFile(registerFile.string(),
                                                    platform::Dictionary{{"test.ws.wanted", entry}}));
        EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.wanted"), std::nullopt) << name;
    }
    testsupport::plantFile(registerFile, "not a property list");
    EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.other"), std::nullopt);
    ASSERT_TRUE(platform::registerApplication(other.string()));
    EXPECT_EQ(Workspace::shared().urlForApplication("test.ws.other"), other.string());
}

} // namespace
