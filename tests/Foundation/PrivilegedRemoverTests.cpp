#include "PrivilegedRemove.h"

#include "TestRoot.h"

#include <unistd.h>

#include <gtest/gtest.h>

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
        EXPECT_EQ(privileged::moveToTrash(trashRequest()), std::errc::too_many_symbolic_link_levels);
        EXPECT_EQ(privileged::removeForGood(removeRequest()), std::errc::too_many_symbolic_link_levels);
        EXPECT_EQ(outsideBefore(), before);
        EXPECT_TRUE(fs::is_empty(trash()));
        fs::remove(folder);
        fs::rename(folder.string() + ".real", folder);
        EXPECT_TRUE(fs::exists(item / "Contents/Info.plist"));
    }
    std::string trashedName;
    EXPECT_FALSE(privileged::moveToTrash(trashRequest(), &trashedName));
    EXPECT_EQ(trashedName, "Tool.app");
    EXPECT_EQ(testsupport::readFileText(trash() / "Tool.app/Contents/Info.plist"), "found");
}

TEST_F(PrivilegedRemover, TheTrashMustBeARealFolderOfTheUsers)
{
    const auto moved = fs::path(outside / "Trash");
    fs::create_directories(moved);
    fs::remove(trash());
    fs::create_directory_symlink(moved, trash());
    EXPECT_EQ(privileged::moveToTrash(trashRequest()), std::errc::too_many_symbolic_link_levels);
    EXPECT_TRUE(fs::is_empty(moved));

    fs::remove(trash());
    testsupport::plantFile(trash());
    EXPECT_EQ(privileged::moveToTrash(trashRequest()), std::errc::not_a_directory);

    fs::remove(trash());
    fs::create_directory(trash());
    auto someoneElses = trashRequest();
    someoneElses.owner = ::getuid() + 1;
    EXPECT_EQ(privileged::moveToTrash(someoneElses), std::errc::operation_not_permitted);
    EXPECT_TRUE(fs::is_empty(trash()));
    EXPECT_TRUE(fs::exists(item / "Contents/Info.plist"));
}

TEST_F(PrivilegedRemover, NothingInTheTrashIsReplaced)
{
    testsupport::plantFile(trash() / "Tool.app", "earlier");
    testsupport::plantFile(trash() / "Tool 2.app/Contents/Info.plist", "earlier 2");
    std::string trashedName;
    EXPECT_FALSE(privileged::moveToTrash(trashRequest(), &trashedName));
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

    EXPECT_FALSE(privileged::removeForGood(removeRequest()));
    EXPECT_FALSE(fs::exists(fs::symlink_status(item)));
    EXPECT_FALSE(privileged::removeForGood({Request::Action::remove, linkItem.string(), {}, 0}));
    EXPECT_FALSE(fs::exists(fs::symlink_status(linkItem)));
    EXPECT_EQ(testsupport::readFileText(victim), "keep");
    EXPECT_EQ(privileged::removeForGood(removeRequest()), std::errc::no_such_file_or_directory);
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
