#include "Detection/DatabaseManagerReader.h"
#include "Detection/FolderLookup.h"
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

TEST_F(MakePath, FolderLookupAnswersAsATestOfEachPath)
{
    namespace fs = std::filesystem;
    const auto folder = testsupport::homeFolder() / "Applications";
    fs::create_directories(folder / "Tool.app");
    testsupport::plantFile(folder / "notes.txt");
    fs::create_directory_symlink(folder / "Tool.app", folder / "Alias.app");
    fs::create_symlink(folder / "notes.txt", folder / "alias.txt");
    fs::create_symlink(folder / "gone", folder / "dangling");
    const std::vector<std::string> names{"Tool.app", "notes.txt", "Alias.app", "alias.txt", "dangling", "none",
                                         "Tool.app/", "../Applications/Tool.app", "./Tool.app"};
    FolderLookup folders;
    // Twice over: the first path of the folder is tested alone, the later ones in its listing.
    for (int round = 0; round < 2; ++round)
        for (const auto& name : names) {
            const std::string path = (folder / name).string();
            std::error_code error;
            EXPECT_EQ(folders.isFolder(path), fs::is_directory(path, error)) << path;
        }
    // A parent that cannot be listed.
    EXPECT_FALSE(folders.isFolder((folder / "Missing/Tool.app").string()));
    EXPECT_FALSE(folders.isFolder((folder / "Missing/Tool.app").string()));
}

} // namespace
