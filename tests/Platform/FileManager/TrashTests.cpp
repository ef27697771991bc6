#include "Platform/FileManager/FileManager.h"

#include "Platform/Root/PlatformRoot.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace {

// A bound socket named `name` in `folder` (the child's working folder from then
// on: a socket's address holds a short path), left in place once it is closed.
bool bindSocket(const fs::path& folder, const std::string& name)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    name.copy(address.sun_path, sizeof(address.sun_path) - 1);
    const bool bound = fd >= 0 && ::chdir(folder.c_str()) == 0 &&
                       ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

// Plants Qlorvex.app in ~/Downloads, with a file, a link, a FIFO and a bound
// socket, and moves it to the Trash: what is wrong after, empty when nothing is.
std::string moveABundleOfSpecialFilesAcross(const fs::path& trash)
{
    const fs::path bundle = testsupport::homeFolder() / "Downloads/Qlorvex.app";
    testsupport::plantFile(bundle / "Contents/Info.plist", "plist");
    fs::create_directories(bundle / "Contents/Resources");
    fs::create_directory_symlink("Resources", bundle / "Contents/Linked");
    if (::mkfifo((bundle / "Contents/Resources/pipe").c_str(), 0640) != 0 ||
        !bindSocket(bundle / "Contents/Resources", "socket"))
        return "the special files could not be made";
    FileError error;
    if (!FileManager::defaultManager().trashItem(bundle.string(), nullptr, &error))
        return error.description;
    const fs::path moved = trash / "Qlorvex.app/Contents";
    if (fs::exists(fs::symlink_status(bundle)))
        return "the bundle is still in Downloads";
    if (contentsOf(moved / "Info.plist") != "plist" || fs::read_symlink(moved / "Linked") != "Resources")
        return "the file or the link was not copied as it was";
    const auto pipe = fs::symlink_status(moved / "Resources/pipe");
    if (pipe.type() != fs::file_type::fifo || (pipe.permissions() & fs::perms::all) != fs::perms(0640))
        return "the FIFO was not made anew";
    if (fs::exists(fs::symlink_status(moved / "Resources/socket")))
        return "the socket was copied";
    return {};
}

} // namespace

// ~/Downloads on a file system of its own (a tmpfs in a mount namespace of a child
// process): a bundle holding a FIFO and a bound socket is copied to the Trash, the
// FIFO made anew as a FIFO, the socket left out, and removed from Downloads.
TEST_F(TrashTest, ABundleOfSpecialFilesIsMovedAcrossFileSystems)
{
    const fs::path downloads = testsupport::homeFolder() / "Downloads";
    fs::create_directories(downloads);
    fs::create_directories(trash());
    int report[2];
    ASSERT_EQ(::pipe2(report, O_CLOEXEC), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(report[0]);
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("bgx-test", downloads.c_str(), "tmpfs", 0, nullptr) != 0)
            ::_exit(77);
        const std::string wrong = moveABundleOfSpecialFilesAcross(trash());
        const bool written = ::write(report[1], wrong.data(), wrong.size()) == static_cast<ssize_t>(wrong.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(report[1]);
    std::string wrong;
    char buffer[512];
    for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;)
        wrong.append(buffer, static_cast<std::size_t>(got));
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no mount namespace can be had here";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(wrong, "");
    EXPECT_FALSE(fs::exists(fs::symlink_status(downloads / "Qlorvex.app"))) << "nothing was left under the mount";
}
