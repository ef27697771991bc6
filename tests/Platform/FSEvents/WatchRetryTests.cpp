#include "Platform/FSEvents/WatchTree.h"

#include "FullWatchTable.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;
using namespace platform::fsevents;

namespace {

class WatchRetryTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        fd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        ASSERT_GE(fd, 0);
    }
    void TearDown() override
    {
        close(fd);
        PlatformRootTest::TearDown();
    }

    int fd = -1;
    testsupport::FullWatchTable table;
};

// While the limit holds, a retry asks for the topmost folder left out (and the few
// folders the root's path needs), not for every folder of the tree; once it lifts,
// the whole tree is watched and what it holds reported once.
TEST_F(WatchRetryTest, ARetryCostsTheSameWhateverTheNumberOfFoldersLeftOut)
{
    const fs::path root = testsupport::homeFolder() / "Documents";
    for (int top = 0; top < 30; ++top)
        for (int below = 0; below < 10; ++below)
            fs::create_directories(root / ("t" + std::to_string(top)) / ("b" + std::to_string(below)));
    testsupport::plantFile(root / "t7" / "b3" / "Setup.dmg");
    WatchTree tree(fd);
    tree.addRoots({root.string()});
    const int foldersOnThePath = static_cast<int>(std::distance(root.begin(), root.end())) - 1;
    table.takeWatchesAskedFor();
    for (int round = 0; round < 3; ++round) {
        EXPECT_TRUE(tree.retryUnwatched().empty());
        EXPECT_LE(table.takeWatchesAskedFor(), 1 + foldersOnThePath) << "round " << round;
        EXPECT_TRUE(tree.hasUnwatched());
    }

    table.lift();
    const auto arrived = tree.retryUnwatched();
    EXPECT_FALSE(tree.hasUnwatched());
    EXPECT_EQ(arrived.size(), 30u * 10u + 30u + 1u);
    const auto file = std::ranges::find_if(arrived, [&](const Event& event) { return event.path.ends_with("Setup.dmg"); });
    ASSERT_NE(file, arrived.end());
    EXPECT_EQ(file->flags, kItemCreated | kItemRenamed | kItemIsFile);
    EXPECT_TRUE(tree.retryUnwatched().empty()) << "reported once";
}

} // namespace
