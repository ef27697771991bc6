#include "PrivilegedRemove.h"

#include "Platform/FileManager/FileManager.h"
#include "Platform/Files/FolderDescriptors.h"
#include "Platform/Files/TreeRemoval.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Tools/ToolProcess.h"

#include "TestRoot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace fs = std::filesystem;
using privileged::Request;

namespace {

// A found bundle three folders below the user's Downloads, the user's Trash, and a
// folder outside both that a planted link would lead to.
class PrivilegedRemover : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        item = testsupport::plantFile(downloads() / "Deep/Evil/Tool.app/Contents/Info.plist", "found").parent_path()
                   .parent_path();
        outside = testsupport::underRoot("/private/etc/profile.d");
        fs::create_directories(outside);
    }

    static fs::path downloads() { return testsupport::homeFolder() / "Downloads"; }
    static fs::path trash() { return testsupport::homeFolder() / ".Trash"; }

    Request trashRequest() const { return {Request::Action::moveToTrash, item.string(), trash().string(), ::getuid()}; }
    Request removeRequest() const { return {Request::Action::remove, item.string(), {}, 0}; }

    // Puts a link in place of `folder`, to a copy of it outside with a bundle of the
    // same name in the same place.
    void swapForLink(const fs::path& folder)
    {
        const auto copy = outside / folder.filename();
        testsupport::plantFile(copy / fs::relative(item, folder) / "Contents/Info.plist", "outside");
        fs::rename(folder, folder.string() + ".real");
        fs::create_directory_symlink(copy, folder);
    }

    fs::path item;
    fs::path outside;
};

TEST_F(PrivilegedRemover, ALinkSwappedInAtAnyStepFailsBothStepsAndTouchesNothing)
{
    const auto outsideBefore = [&] { return testsupport::folderTree(outside); };
    for (const fs::path& folder : {downloads(), downloads() / "Deep", downloads() / "Deep/Evil"}) {
        SCOPED_TRACE(folder.string());
        ASSERT_NO_FATAL_FAILURE(swapForLink(folder));
        const auto before = outsideBefore();
        EXPECT_EQ(privileged::perform(trashRequest()), std::errc::too_many_symbolic_link_levels);
        EXPECT_EQ(privileged::perform(removeRequest()), std::errc::too_many_symbolic_link_levels);
        EXPECT_EQ(outsideBefore(), before);
        EXPECT_TRUE(fs::is_empty(trash()));
        fs::remove(folder);
        fs::rename(folder.string() + ".real", folder);
        EXPECT_TRUE(fs::exists(item / "Contents/Info.plist"));
    }
    std::string trashedName;
    EXPECT_FALSE(platform::moveIntoTrash(item.string(), trash().string(), ::getuid(), &trashedName));
    EXPECT_EQ(trashedName, "Tool.app");
    EXPECT_EQ(testsupport::readFileText(trash() / "Tool.app/Contents/Info.plist"), "found");
}

TEST_F(PrivilegedRemover, TheTrashMustBeARealFolderOfTheUsers)
{
    const auto moved = fs::path(outside / "Trash");
    fs::create_directories(moved);
    fs::remove(trash());
    fs::create_directory_symlink(moved, trash());
    EXPECT_EQ(privileged::perform(trashRequest()), std::errc::too_many_symbolic_link_levels);
    EXPECT_TRUE(fs::is_empty(moved));

    fs::remove(trash());
    testsupport::plantFile(trash());
    EXPECT_EQ(privileged::perform(trashRequest()), std::errc::not_a_directory);

    fs::remove(trash());
    fs::create_directory(trash());
    auto someoneElses = trashRequest();
    someoneElses.owner = ::getuid() + 1;
    EXPECT_EQ(privileged::perform(someoneElses), std::errc::operation_not_permitted);
    EXPECT_TRUE(fs::is_empty(trash()));
    EXPECT_TRUE(fs::exists(item / "Contents/Info.plist"));
}

TEST_F(PrivilegedRemover, NothingInTheTrashIsReplaced)
{
    testsupport::plantFile(trash() / "Tool.app", "earlier");
    testsupport::plantFile(trash() / "Tool 2.app/Contents/Info.plist", "earlier 2");
    std::string trashedName;
    EXPECT_FALSE(platform::moveIntoTrash(item.string(), trash().string(), ::getuid(), &trashedName));
    EXPECT_EQ(trashedName, "Tool 3.app");
    EXPECT_EQ(testsupport::readFileText(trash() / "Tool.app"), "earlier");
    EXPECT_EQ(testsupport::readFileText(trash() / "Tool 2.app/Contents/Info.plist"), "earlier 2");
    EXPECT_EQ(testsupport::readFileText(trash() / "Tool 3.app/Contents/Info.plist"), "found");
}

TEST_F(PrivilegedRemover, RemovalTakesLinksInsideTheItemNotWhatTheyLeadTo)
{
    const auto victim = testsupport::plantFile(outside / "victim/keep", "keep");
    fs::create_directory_symlink(victim.parent_path(), item / "Contents/Folder link");
    fs::create_symlink(victim, item / "Contents/File link");
    const auto linkItem = downloads() / "Link.app";
    fs::create_directory_symlink(victim.parent_path(), linkItem);

    EXPECT_FALSE(privileged::perform(removeRequest()));
    EXPECT_FALSE(fs::exists(fs::symlink_status(item)));
    EXPECT_FALSE(privileged::perform({Request::Action::remove, linkItem.string(), {}, 0}));
    EXPECT_FALSE(fs::exists(fs::symlink_status(linkItem)));
    EXPECT_EQ(testsupport::readFileText(victim), "keep");
    EXPECT_EQ(privileged::perform(removeRequest()), std::errc::no_such_file_or_directory);
}


// The tool as the elevation tool runs it, through a shell command that may prepare
// its world first ("$@" is the tool and its arguments): what it printed, and its
// exit status.
struct ToolRun {
    std::string printed;
    int status = -1;
};
ToolRun runTool(const std::string& script, const std::vector<std::string>& arguments)
{
    std::vector<std::string> shellArguments{"-c", script, "sh",
                                            platform::resolveToolPath(platform::kPrivilegedRemoveTool)};
    shellArguments.insert(shellArguments.end(), arguments.begin(), arguments.end());
    auto tool = platform::ToolProcess::launch("/bin/sh", shellArguments, platform::ToolProcess::Capture::OutputAndError);
    if (!tool)
        return {};
    ToolRun run{tool->readOutputToEnd(), 0};
    run.status = tool->waitForExit();
    return run;
}

// A chain of `depth` folders named "d" below `top`, made on descriptors (its path is
// far longer than a path may be).
void plantDeepChain(const fs::path& top, int depth)
{
    fs::create_directories(top);
    platform::Descriptor folder(::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (int level = 0; level < depth && folder; ++level) {
        ASSERT_EQ(::mkdirat(folder.get(), "d", 0755), 0) << "level " << level;
        folder = platform::Descriptor(::openat(folder.get(), "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    ASSERT_TRUE(folder);
    ASSERT_EQ(::close(::openat(folder.get(), "file", O_WRONLY | O_CREAT | O_CLOEXEC, 0644)), 0);
}

// A tree far deeper than the descriptors the tool may open: removed whole.
TEST_F(PrivilegedRemover, ATreeDeeperThanTheDescriptorLimitIsRemovedWhole)
{
    ASSERT_NO_FATAL_FAILURE(plantDeepChain(item / "Contents/Deep", 3000));
    const auto run = runTool("ulimit -n 16 && exec \"$@\"", {"remove", item.string()});
    EXPECT_EQ(run.status, 0) << run.printed;
    EXPECT_EQ(run.printed, "");
    EXPECT_FALSE(fs::exists(fs::symlink_status(item)));
    if (fs::exists(fs::symlink_status(item))) {
        ASSERT_FALSE(platform::removeForGood(item.string()));
    }
}

// Another process empties parts of the tree while the walk goes: what vanished
// counts as removed, and the walk goes on to the end.
TEST_F(PrivilegedRemover, EntriesThatVanishMidWalkCountAsRemoved)
{
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        for (int folder = 0; folder < 40; ++folder)
            for (int file = 0; file < 25; ++file)
                testsupport::plantFile(item / "Contents" / std::to_string(folder) / "sub/deeper" / std::to_string(file));
        // The other process takes the folders in the order the walk meets them (the
        // listing's, from its end), so the two meet inside the same folders.
        std::vector<fs::path> folders;
        for (const auto& entry : fs::directory_iterator(item / "Contents"))
            folders.push_back(entry.path());
        std::atomic<bool> started{false};
        std::thread other([&] {
            started = true;
            for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
                std::error_code ignored;
                fs::remove_all(*folder, ignored);
            }
        });
        while (!started)
            std::this_thread::yield();
        EXPECT_FALSE(platform::removeForGood(item.string()));
        other.join();
        EXPECT_FALSE(fs::exists(fs::symlink_status(item)));
        testsupport::plantFile(item / "Contents/Info.plist", "found");
    }
}

// Another process keeps creating files in a folder of the item, 100 microseconds
// apart, until the folder is gone: the walk lists it again for the names that
// arrived and removes the item whole.
TEST_F(PrivilegedRemover, AFolderWrittenToWhileItIsRemovedIsRemovedWhole)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        for (int file = 0; file < 300; ++file)
            testsupport::plantFile(item / "Contents/Resources" / std::to_string(file));
        const fs::path cache = item / "Contents/Resources/cache";
        fs::create_directories(cache);
        std::atomic<int> written{0};
        std::atomic<bool> removed{false};
        std::thread writer([&] {
            for (int n = 0; !removed; ++n) {
                const int fd = ::open((cache / std::to_string(n)).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
                if (fd < 0)
                    return; // the folder is gone
                ::close(fd);
                ++written;
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
        });
        while (written < 200)
            std::this_thread::yield();
        const std::error_code error = platform::removeForGood(item.string());
        removed = true;
        writer.join();
        EXPECT_FALSE(error) << error.message();
        EXPECT_FALSE(fs::exists(fs::symlink_status(item)));
        testsupport::plantFile(item / "Contents/Info.plist", "found");
    }
}

// In a mount namespace of its own, a tmpfs is mounted on the item, then inside it:
// neither file system loses a file, and the tool says why.
TEST_F(PrivilegedRemover, ItNeverRemovesAcrossAMountPointTheItemIncluded)
{
    const fs::path inner = item / "Contents/Mounted";
    fs::create_directories(inner);
    const std::string inNamespace = // $1 the tool, $2 where to mount, $3 what to remove
        "unshare --mount --propagation private sh -c '"
        "mount -t tmpfs bgx-test \"$2\" || exit 77; echo kept > \"$2/file\"; "
        "\"$1\" remove \"$3\"; echo \"status $?\"; cat \"$2/file\"' sh \"$@\"";
    for (const fs::path& mounted : {item, inner}) {
        SCOPED_TRACE(mounted.string());
        const auto run = runTool(inNamespace, {mounted.string(), item.string()});
        if (run.status == 77 || run.printed.find("unshare") != std::string::npos)
            GTEST_SKIP() << "no mount namespace here: " << run.printed;
        EXPECT_NE(run.printed.find("could not be removed: Another file system is mounted there\nstatus 1\nkept\n"),
                  std::string::npos)
            << run.printed;
        EXPECT_TRUE(fs::exists(inner)) << "nothing of the item was removed around the mount";
    }
}

TEST(PrivilegedRemoverArguments, HostileArgumentsMakeNoRequest)
{
    const std::string uid = std::to_string(::getuid());
    const std::vector<std::vector<std::string>> refused{
        {},
        {"remove"},
        {"remove", "Downloads/Tool.app"},
        {"remove", "/"},
        {"remove", "/Users/joe/Downloads/../../../etc"},
        {"remove", "/Users/joe/./Tool.app"},
        {"remove", "/Users/joe//Tool.app"},
        {"remove", "/Users/joe/Tool.app/"},
        {"remove", ""},
        {"remove", "/Users/joe/Tool.app", "/extra"},
        {"trash", "/Users/joe/Tool.app", "/Users/joe/.Trash"},
        {"trash", "/Users/joe/Tool.app", "/Users/joe/../root", uid},
        {"trash", "/Users/joe/Tool.app", ".Trash", uid},
        {"trash", "/Users/joe/Tool.app", "/Users/joe/.Trash", "-1"},
        {"trash", "/Users/joe/Tool.app", "/Users/joe/.Trash", "501x"},
        {"trash", "/Users/joe/Tool.app", "/Users/joe/.Trash", "4294967295"},
        {"trash", "/Users/joe/Tool.app", "/Users/joe/.Trash", "99999999999999999999"},
        {"trash", "/Users/joe/Tool.app", "/Users/joe/.Trash", ""},
        {"move", "/Users/joe/Tool.app", "/etc"},
    };
    for (const auto& arguments : refused) {
        std::string shown;
        for (const auto& argument : arguments)
            shown += "[" + argument + "]";
        EXPECT_TRUE(std::holds_alternative<std::string>(privileged::parseRequest(arguments))) << shown;
    }
    const std::vector<std::string> asked{"trash", "/Users/joe/Tool.app", "/Users/joe/.Trash", "501"};
    EXPECT_TRUE(std::holds_alternative<std::string>(privileged::parseRequest(asked, "502")))
        << "the Trash of another user than the one who asked";
    const auto parsed = privileged::parseRequest(asked, "501");
    ASSERT_TRUE(std::holds_alternative<Request>(parsed));
    const auto& request = std::get<Request>(parsed);
    EXPECT_EQ(request.action, Request::Action::moveToTrash);
    EXPECT_EQ(request.item, "/Users/joe/Tool.app");
    EXPECT_EQ(request.trash, "/Users/joe/.Trash");
    EXPECT_EQ(request.owner, 501u);
    EXPECT_TRUE(std::holds_alternative<Request>(privileged::parseRequest({"remove", "/Applications/-rf Tool.app"})));
}

} // namespace
