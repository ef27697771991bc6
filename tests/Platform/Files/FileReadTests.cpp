#include "Platform/Files/FileRead.h"
#include "Platform/Values/PropertyList.h"

#include "HostileEntries.h"
#include "TestRoot.h"

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;
using platform::readWholeFile;
using testing::HasSubstr;

class FileReadTest : public testsupport::PlatformRootTest {
protected:
    fs::path folder = testsupport::homeFolder() / "Library/LaunchAgents";
};

TEST_F(FileReadTest, AFifoASocketALinkToADeviceAndAHugePlistAreSkippedWithOneLineEach)
{
    const testsupport::HostileEntries hostile(folder, "hostile");
    for (const auto& [path, refusal] : hostile.entries()) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(platform::readPropertyListFile(path.string())) << path;
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(output, "Unreadable file skipped: \"" + path.string() + "\" " + refusal + "\n");
    }
}

// A watched entry read again and again is told once; another one put at its path is
// told again.
TEST_F(FileReadTest, AnEntryReadAgainIsToldOnceAndANewOneAtItsPathAgain)
{
    const fs::path fifo = folder / "told.plist";
    const std::string line = "Unreadable file skipped: \"" + fifo.string() + "\" is not a regular file\n";
    std::vector<std::uint8_t> bytes;
    for (int replacement = 0; replacement < 2; ++replacement) {
        fs::remove(fifo);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(readWholeFile(fifo.string(), bytes));
        EXPECT_FALSE(readWholeFile(fifo.string(), bytes));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), line) << "entry " << replacement;
    }
}

TEST_F(FileReadTest, RegularFilesAndLinksToThemAreReadUpToTheLimit)
{
    testsupport::plantFile(folder / "ten.txt", "0123456789");
    fs::create_symlink(folder / "ten.txt", folder / "link.txt");
    std::vector<std::uint8_t> bytes;
    for (const char* name : {"ten.txt", "link.txt"}) {
        EXPECT_TRUE(readWholeFile((folder / name).string(), bytes, 10)) << name;
        EXPECT_EQ(bytes.size(), 10u) << name;
    }
    testing::internal::CaptureStdout();
    EXPECT_FALSE(readWholeFile((folder / "ten.txt").string(), bytes, 9));
    EXPECT_THAT(testing::internal::GetCapturedStdout(), HasSubstr("is larger than 9 bytes"));
    EXPECT_TRUE(bytes.empty());
    // What /proc tells as empty is read to its end.
    EXPECT_THAT(platform::readTextFile("/proc/self/status").value_or(""), HasSubstr("Umask:"));
}

TEST_F(FileReadTest, AMissingFileIsRefusedSilently)
{
    std::vector<std::uint8_t> bytes;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(readWholeFile((folder / "missing.plist").string(), bytes));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// Another process's atomic replaces, one after another while the file is read: each
// read gets a whole file, the old one or the new, and no line is printed.
TEST_F(FileReadTest, AFileReplacedAgainAndAgainWhileItIsReadIsReadWholeEachTime)
{
    const fs::path file = testsupport::plantFile(folder / "record.plist", "first");
    std::atomic<bool> reading = true;
    std::thread replacer([&] {
        for (int round = 0; reading; ++round) {
            const fs::path next = testsupport::plantFile(folder / ".record.next", "round " + std::to_string(round));
            fs::rename(next, file);
        }
    });
    testing::internal::CaptureStdout();
    int wholeReads = 0;
    std::vector<std::uint8_t> bytes;
    for (int read = 0; read < 1000; ++read)
        wholeReads += readWholeFile(file.string(), bytes) && !bytes.empty();
    reading = false;
    replacer.join();
    EXPECT_EQ(wholeReads, 1000);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

} // namespace
