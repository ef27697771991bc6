#include "Platform/FileManager/FileManager.h"

#include "Platform/Root/PlatformRoot.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace {

using platform::FileError;
using platform::FileManager;

class TrashTest : public testsupport::PlatformRootTest {
protected:
    fs::path trash() const { return platform::userTrashPath(); }
};

std::string contentsOf(const fs::path& path)
{
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST_F(TrashTest, TrashIsTheUsersDotTrashUnderTheRoot)
{
    EXPECT_EQ(fs::path(platform::userTrashPath()), testsupport::homeFolder() / ".Trash");
}

TEST_F(TrashTest, TakenNamesGetNewUniqueNamesAndNothingIsReplaced)
{
    const auto downloads = testsupport::homeFolder() / "Downloads";
    std::vector<std::string> landed;
    for (const char* contents : {"first", "second", "third"}) {
        testsupport::plantFile(downloads / "Setup.app/Contents/Info.plist", contents);
        std::string resulting;
        ASSERT_TRUE(FileManager::defaultManager().trashItem((downloads / "Setup.app").string(), &resulting, nullptr));
        EXPECT_FALSE(fs::exists(downloads / "Setup.app"));
        landed.push_back(resulting);
    }
    EXPECT_EQ(landed, (std::vector<std::string>{(trash() / "Setup.app").string(), (trash() / "Setup 2.app").string(),
                                                (trash() / "Setup 3.app").string()}));
    EXPECT_EQ(contentsOf(trash() / "Setup.app/Contents/Info.plist"), "first");
    EXPECT_EQ(contentsOf(trash() / "Setup 3.app/Contents/Info.plist"), "third");
}

TEST_F(TrashTest, HiddenNamesAndTrailingSlashes)
{
    const auto folder = testsupport::homeFolder() / "Desktop/.hidden";
    testsupport::plantFile(folder / "file", "one");
    testsupport::plantFile(trash() / ".hidden", "kept");
    std::string resulting;
    ASSERT_TRUE(FileManager::defaultManager().trashItem(folder.string() + "/", &resulting, nullptr));
    EXPECT_EQ(resulting, (trash() / ".hidden 2").string());
    EXPECT_EQ(contentsOf(trash() / ".hidden"), "kept");
    EXPECT_EQ(contentsOf(trash() / ".hidden 2/file"), "one");
}

TEST_F(TrashTest, TrashMadeWhenMissingAndFailuresDescribed)
{
    fs::remove_all(trash());
    const auto file = testsupport::plantFile(testsupport::homeFolder() / "Documents/a.txt");
    ASSERT_TRUE(FileManager::defaultManager().trashItem(file.string(), nullptr, nullptr));
    EXPECT_TRUE(fs::exists(trash() / "a.txt"));

    FileError error;
    EXPECT_FALSE(FileManager::defaultManager().trashItem(file.string(), nullptr, &error));
    EXPECT_NE(error.description.find(file.string()), std::string::npos);
    EXPECT_FALSE(FileManager::defaultManager().trashItem("/", nullptr, &error));
}

TEST_F(TrashTest, RemoveItemTakesFoldersWholeAndLinksNotTheirTargets)
{
    const auto home = testsupport::homeFolder();
    testsupport::plantFile(home / "Documents/Folder/deep/file");
    const auto target = testsupport::plantFile(home / "Desktop/target");
    fs::create_symlink(target, home / "Documents/link");
    EXPECT_TRUE(FileManager::defaultManager().removeItem((home / "Documents/Folder").string(), nullptr));
    EXPECT_TRUE(FileManager::defaultManager().removeItem((home / "Documents/link").string(), nullptr));
    EXPECT_FALSE(fs::exists(home / "Documents/Folder"));
    EXPECT_TRUE(fs::exists(target));
    FileError error;
    EXPECT_FALSE(FileManager::defaultManager().removeItem((home / "Documents/Folder").string(), &error));
    EXPECT_FALSE(error.description.empty());
}

// With the user's own rights an item is reached through the links the user made
// on its path (a Downloads kept on another disk), never through the item itself.
TEST_F(TrashTest, AnItemInALinkedFolderIsRemovedAndALinkedItemIsRemovedAsALink)
{
    const auto home = testsupport::homeFolder();
    const fs::path disk = platform::hostPath("/Volumes/Data/Downloads");
    fs::create_directories(disk);
    fs::remove_all(home / "Downloads");
    fs::create_directory_symlink(disk, home / "Downloads");
    testsupport::plantFile(disk / "Setup.app/Contents/Info.plist");
    testsupport::plantFile(disk / "Installer.dmg");
    const auto target = testsupport::plantFile(disk / "kept/target");
    fs::create_directory_symlink(disk / "kept", disk / "Linked.app");

    std::string resulting;
    ASSERT_TRUE(FileManager::defaultManager().trashItem((home / "Downloads/Setup.app").string(), &resulting, nullptr));
    EXPECT_EQ(resulting, (trash() / "Setup.app").string());
    ASSERT_TRUE(FileManager::defaultManager().removeItem((home / "Downloads/Installer.dmg").string(), nullptr));
    ASSERT_TRUE(FileManager::defaultManager().removeItem((home / "Downloads/Linked.app/").string(), nullptr));
    EXPECT_FALSE(fs::exists(disk / "Setup.app"));
    EXPECT_FALSE(fs::exists(disk / "Installer.dmg"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(disk / "Linked.app")));
    EXPECT_TRUE(fs::exists(target));
}

TEST_F(TrashTest, ExistenceFollowsLinks)
{
    const auto home = testsupport::homeFolder();
    fs::create_symlink(home / "Desktop/nowhere", home / "Documents/dangling");
    EXPECT_FALSE(FileManager::defaultManager().fileExists((home / "Documents/dangling").string()));
    EXPECT_TRUE(FileManager::defaultManager().fileExists((home / "Documents").string()));
    EXPECT_FALSE(FileManager::defaultManager().fileExists(""));
}

// A Trash that is not a real folder of the home takes nothing: the item stays where it
// is and whatever the link points to is left alone.
TEST_F(TrashTest, ATrashThatIsALinkOrNoFolderTakesNothing)
{
    const auto home = testsupport::homeFolder();
    const fs::path outside = testsupport::platformRootFolder().parent_path() /
                             (testsupport::platformRootFolder().filename().string() + "-outside");
    fs::create_directories(outside);
    struct Case {
        const char* name;
        std::function<void()> makeTrash;
    };
    const Case cases[] = {
        {"link outside the root", [&] { fs::create_directory_symlink(outside, trash()); }},
        {"link inside the home", [&] { fs::create_directory_symlink(home / "Desktop", trash()); }},
        {"dangling link", [&] { fs::create_symlink(outside / "none", trash()); }},
        {"file", [&] { testsupport::plantFile(trash()); }},
    };
    const auto item = home / "Downloads/Setup.app";
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        fs::remove_all(trash());
        each.makeTrash();
        testsupport::plantFile(item / "Contents/Info.plist");
        FileError error;
        EXPECT_FALSE(FileManager::defaultManager().trashItem(item.string(), nullptr, &error));
        EXPECT_NE(error.description.find("could not be moved to the Trash"), std::string::npos) << error.description;
        EXPECT_TRUE(fs::exists(item / "Contents/Info.plist"));
        EXPECT_TRUE(fs::is_empty(outside));
        EXPECT_FALSE(fs::exists(home / "Desktop/Setup.app"));
    }
    fs::remove_all(trash());
    fs::remove_all(outside);
}

} // namespace
