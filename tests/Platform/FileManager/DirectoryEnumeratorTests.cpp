#include "Platform/FileManager/DirectoryEnumerator.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <map>

namespace fs = std::filesystem;

namespace {

using platform::DirectoryEnumerator;
using platform::FileType;

class DirectoryEnumeratorTest : public testsupport::PlatformRootTest {};

// Every entry with its type; folders named "*.skip" are not entered.
std::map<std::string, FileType> enumerate(const fs::path& folder)
{
    std::map<std::string, FileType> seen;
    auto enumerator = DirectoryEnumerator::make(folder.string());
    while (const std::string* entry = enumerator->nextObject()) {
        seen[*entry] = enumerator->fileType();
        if (entry->ends_with(".skip"))
            enumerator->skipDescendants();
    }
    return seen;
}

TEST_F(DirectoryEnumeratorTest, RelativeEntriesHiddenIncludedLinksNotFollowed)
{
    const auto root = testsupport::homeFolder() / "Documents";
    testsupport::plantFile(root / "a/b/c.txt");
    testsupport::plantFile(root / ".hidden");
    testsupport::plantFile(root / "Pack.skip/inside");
    fs::create_symlink(root / "a", root / "link");
    const std::map<std::string, FileType> expected{
        {"a", FileType::Directory},        {"a/b", FileType::Directory},     {"a/b/c.txt", FileType::Regular},
        {".hidden", FileType::Regular},    {"Pack.skip", FileType::Directory}, {"link", FileType::SymbolicLink}};
    EXPECT_EQ(enumerate(root), expected);
}

TEST_F(DirectoryEnumeratorTest, ParentsComeBeforeTheirEntries)
{
    const auto root = testsupport::homeFolder() / "Desktop";
    testsupport::plantFile(root / "x/y/z");
    auto enumerator = DirectoryEnumerator::make(root.string());
    std::vector<std::string> order;
    while (const std::string* entry = enumerator->nextObject())
        order.push_back(*entry);
    EXPECT_EQ(order, (std::vector<std::string>{"x", "x/y", "x/y/z"}));
}

TEST_F(DirectoryEnumeratorTest, MissingFolderGivesNoEnumerator)
{
    EXPECT_EQ(DirectoryEnumerator::make((testsupport::homeFolder() / "Nowhere").string()), nullptr);
    const fs::path file = testsupport::plantFile(testsupport::homeFolder() / "file");
    EXPECT_EQ(DirectoryEnumerator::make(file.string()), nullptr);
    for (const auto& [opened, flags] : {std::pair{file, O_RDONLY}, std::pair{file.parent_path(), O_PATH}})
        EXPECT_EQ(DirectoryEnumerator::make(platform::Descriptor(::open(opened.c_str(), flags | O_CLOEXEC))), nullptr)
            << opened << " opened with flags " << flags << " is no folder open for reading";
}

// A folder removed once it was opened holds nothing more: it is listed empty.
TEST_F(DirectoryEnumeratorTest, AFolderRemovedSinceItWasOpenedIsListedEmpty)
{
    const auto folder = testsupport::homeFolder() / "Gone";
    fs::create_directories(folder);
    platform::Descriptor opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    fs::remove(folder);
    const auto enumerator = DirectoryEnumerator::make(std::move(opened));
    ASSERT_NE(enumerator, nullptr);
    EXPECT_EQ(enumerator->nextObject(), nullptr);
}

// Folders whose names fill many reads of the kernel's entries, one inside another:
// every entry is listed once.
TEST_F(DirectoryEnumeratorTest, FoldersOfManyEntriesAreListedWhole)
{
    const auto root = testsupport::homeFolder() / "Downloads";
    std::map<std::string, FileType> expected;
    for (const std::string folder : {"", "inner/"}) {
        for (int index = 0; index < 1500; ++index) {
            const std::string name = folder + "a file with a name long enough to fill batches " + std::to_string(index);
            testsupport::plantFile(root / name);
            expected[name] = FileType::Regular;
        }
    }
    expected["inner"] = FileType::Directory;
    EXPECT_EQ(enumerate(root), expected);
}

} // namespace
