#include "Detection/DatabaseManagerReader.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class MakePath : public testsupport::PlatformRootTest {};

TEST_F(MakePath, NothingGivesNothing)
{
    const Path path = makePath(std::nullopt);
    EXPECT_FALSE(path.path);
    EXPECT_FALSE(path.subPaths);
}

TEST_F(MakePath, FileOrMissingPathHasNoSubPaths)
{
    const auto file = testsupport::plantFile(testsupport::homeFolder() / "Documents/a.txt").string();
    const auto missing = (testsupport::homeFolder() / "Documents/none").string();
    for (const auto& fullPath : {file, missing}) {
        const Path path = makePath(fullPath);
        EXPECT_EQ(path.path, fullPath);
        EXPECT_FALSE(path.subPaths) << fullPath;
    }
}

TEST_F(MakePath, FolderListsTheRegularFilesBelowIt)
{
    const auto folder = testsupport::homeFolder() / "Library/Application Support/Qlorvex";
    std::filesystem::create_directories(folder);
    EXPECT_EQ(makePath(folder.string()).subPaths, std::vector<std::string>{});

    testsupport::plantFile(folder / "a.txt");
    testsupport::plantFile(folder / ".hidden");
    testsupport::plantFile(folder / "d/e.txt");
    auto subPaths = makePath(folder.string()).subPaths.value_or(std::vector<std::string>{});
    std::sort(subPaths.begin(), subPaths.end());
    EXPECT_EQ(subPaths, (std::vector<std::string>{(folder / "a.txt").string(), (folder / "d/e.txt").string()}));
}

} // namespace
