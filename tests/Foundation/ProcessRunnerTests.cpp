#include "Foundation/ProcessRunner.h"

#include "Platform/Dispatch/Dispatch.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

// Whether a process this one started has not been reaped yet.
bool hasUnreapedChildren()
{
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream children(task.path() / "children");
        std::string pid;
        if (children >> pid)
            return true;
    }
    return false;
}

TEST(RunTask, ReturnsOutputAndStatus)
{
    const auto result = runTask("/bin/sh", {"-c", "printf 'out'; exit 3"});
    EXPECT_EQ(result.output, "out");
    EXPECT_EQ(result.status, 3);
}

TEST(RunTask, CapturesStandardErrorWithOutput)
{
    const auto result = runTask("/bin/sh", {"-c", "printf 'a'; printf 'b' >&2; printf 'c'"});
    EXPECT_EQ(result.output, "abc");
    EXPECT_EQ(result.status, 0);
}

TEST(RunTask, OutputThatIsNotUtf8IsAbsent)
{
    const auto result = runTask("/bin/sh", {"-c", "printf '\\377'"});
    EXPECT_FALSE(result.output);
    EXPECT_EQ(result.status, 0);
}

TEST(RunTask, ToolThatCannotStartFailsWithoutOutput)
{
    for (const char* path : {"/nonexistent/tool", "/etc/hostname", "/tmp"}) {
        const auto result = runTask(path, {});
        EXPECT_FALSE(result.output) << path;
        EXPECT_EQ(result.status, toolNotStartedStatus) << path;
        EXPECT_FALSE(runTaskReturningOutput(path, {})) << path;
    }
}

TEST(RunTaskReturningOutput, LeavesStandardErrorOut)
{
    EXPECT_EQ(runTaskReturningOutput("/bin/sh", {"-c", "printf 'only error' >&2"}), "");
    EXPECT_EQ(runTaskReturningOutput("/bin/sh", {"-c", "printf 'out'; printf 'err' >&2; exit 4"}), "out");
}

TEST(RunTaskReturningOutput, ReturnsWhenTheOutputClosesAndReapsTheChild)
{
    // The child closes its output and lingers; the call returns before it ends.
    EXPECT_EQ(runTaskReturningOutput("/bin/sh", {"-c", "printf done; exec >&-; sleep 0.3"}), "done");
    EXPECT_TRUE(platform::dispatch::runMainLoopUntil([] { return !hasUnreapedChildren(); }, std::chrono::seconds(10)));
}

class UnzipFile : public testsupport::PlatformRootTest {};

TEST_F(UnzipFile, ExtractsOverwritingExistingFiles)
{
    const auto folder = testsupport::homeFolder() / "dl";
    testsupport::plantFile(folder / "bgx.db", "new database");
    ASSERT_EQ(runTask("/bin/sh", {"-c", "cd '" + folder.string() + "' && zip -q updateddatabase.zip bgx.db"}).status, 0);
    testsupport::plantFile(folder / "bgx.db", "old");

    EXPECT_TRUE(unzipFile((folder / "updateddatabase.zip").string(), folder.string()));

    std::ifstream extracted(folder / "bgx.db");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(extracted), {}), "new database");
}

TEST_F(UnzipFile, BrokenArchiveFails)
{
    const auto zip = testsupport::plantFile(testsupport::homeFolder() / "broken.zip", "not a zip");
    EXPECT_FALSE(unzipFile(zip.string(), testsupport::homeFolder().string()));
    EXPECT_FALSE(std::filesystem::exists(testsupport::homeFolder() / "bgx.db"));
}

class UnzipMember : public testsupport::PlatformRootTest {
protected:
    // An archive of bgx.db (`databaseBytes` long) and a note beside it.
    std::filesystem::path plantArchive(std::size_t databaseBytes)
    {
        testsupport::plantFile(source / "bgx.db", std::string(databaseBytes, '\0'));
        testsupport::plantFile(source / "note.txt", "beside");
        EXPECT_EQ(runTask("/bin/sh", {"-c", "cd '" + source.string() + "' && zip -q archive.zip bgx.db note.txt"}).status, 0);
        return source / "archive.zip";
    }

    const std::filesystem::path source = testsupport::homeFolder() / "source";
    const std::filesystem::path target = testsupport::homeFolder() / "dl";
};

TEST_F(UnzipMember, ExtractsThatMemberOnly)
{
    std::filesystem::create_directories(target);
    EXPECT_TRUE(unzipMember(plantArchive(1000).string(), "bgx.db", target.string(), 4096));
    EXPECT_EQ(std::filesystem::file_size(target / "bgx.db"), 1000u);
    EXPECT_FALSE(std::filesystem::exists(target / "note.txt"));
}

// The limit holds on what is written, not on what the archive lists.
TEST_F(UnzipMember, AFileGrowingPastTheLimitEndsTheToolAndFails)
{
    std::filesystem::create_directories(target);
    constexpr std::uint64_t limit = 64 * 1024;
    EXPECT_FALSE(unzipMember(plantArchive(1024 * 1024).string(), "bgx.db", target.string(), limit));
    std::error_code error;
    const auto written = std::filesystem::file_size(target / "bgx.db", error);
    EXPECT_TRUE(error || written <= limit);
}

} // namespace
