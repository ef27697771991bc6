#include "Platform/Files/AtomicFile.h"
#include "Platform/Files/FileRead.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using platform::readWholeFile;
using platform::writeFileAtomically;

class AtomicFileTest : public testsupport::PlatformRootTest {
protected:
    fs::path folder = testsupport::homeFolder() / "Documents";

    std::string contents(const fs::path& path)
    {
        std::vector<std::uint8_t> bytes;
        EXPECT_TRUE(readWholeFile(path.string(), bytes));
        return std::string(bytes.begin(), bytes.end());
    }

    std::size_t entriesInFolder() { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); }
};

TEST_F(AtomicFileTest, ReplacesTheFileAndLeavesNoTemporary)
{
    const auto path = folder / "settings.plist";
    ASSERT_TRUE(writeFileAtomically(path.string(), std::string("first")));
    ASSERT_TRUE(writeFileAtomically(path.string(), std::vector<std::uint8_t>{'s', 'e', 'c', '\0', 'd'}));
    EXPECT_EQ(contents(path), std::string("sec\0d", 5));
    EXPECT_EQ(entriesInFolder(), 1u);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::others_write, fs::perms::none);
    EXPECT_NE(fs::status(path).permissions() & fs::perms::owner_read, fs::perms::none);
}

TEST_F(AtomicFileTest, FailedRenameLeavesTheOldFolderAndNoTemporary)
{
    // A folder stands where the file goes: the rename fails after the temporary was written.
    const auto path = folder / "taken";
    testsupport::plantFile(path / "inside", "old");
    EXPECT_FALSE(writeFileAtomically(path.string(), std::string("new")));
    EXPECT_EQ(contents(path / "inside"), "old");
    EXPECT_EQ(entriesInFolder(), 1u);
}

TEST_F(AtomicFileTest, FailedWriteLeavesTheOldFileAndNoTemporary)
{
    // A file-size limit makes the write of the temporary file fail half-way.
    const auto path = testsupport::plantFile(folder / "kept.txt", "old");
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedSignal = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeFileAtomically(path.string(), std::string(4096, 'n'));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, savedSignal);
    EXPECT_FALSE(written);
    EXPECT_EQ(contents(path), "old");
    EXPECT_EQ(entriesInFolder(), 1u);
}

TEST_F(AtomicFileTest, MissingFolderFails)
{
    EXPECT_FALSE(writeFileAtomically((folder / "no/such/file").string(), std::string("x")));
}

TEST_F(AtomicFileTest, ReadWholeFileRefusesMissingFilesAndFolders)
{
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(readWholeFile((folder / "missing").string(), bytes));
    EXPECT_FALSE(readWholeFile(folder.string(), bytes));
    testsupport::plantFile(folder / "empty", "");
    EXPECT_TRUE(readWholeFile((folder / "empty").string(), bytes));
    EXPECT_TRUE(bytes.empty());
}

} // namespace
