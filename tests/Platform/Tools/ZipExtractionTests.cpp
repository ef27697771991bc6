#include "Platform/Tools/ZipExtraction.h"
#include "Platform/Tools/ZipListing.h"

#include "LyingZip.h"
#include "TestRoot.h"
#include "WithTerminal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t limit = 64 * 1024;

// Archives of files of zeros, made in the root, and the folder they unpack into.
class ZipExtraction : public testsupport::PlatformRootTest {
protected:
    // An archive of the named files, each `size` bytes long.
    fs::path archiveOf(const std::vector<std::string>& names, std::size_t size)
    {
        std::string command = "cd '" + source.string() + "' && zip -q archive.zip";
        for (const auto& name : names) {
            testsupport::plantFile(source / name, std::string(size, '\0'));
            command += " '" + name + "'";
        }
        fs::remove(source / "archive.zip");
        EXPECT_EQ(std::system(command.c_str()), 0);
        return source / "archive.zip";
    }

    const fs::path source = testsupport::platformRootFolder() / "source";
    const fs::path target = testsupport::platformRootFolder() / "unpacked";
};

TEST_F(ZipExtraction, UnpacksWhatFitsTheLimitInAll)
{
    EXPECT_EQ(platform::unzipWithinLimit(archiveOf({"a", "b"}, limit / 2).string(), {}, target.string(), limit),
              platform::UnzipResult::Unpacked);
    EXPECT_EQ(fs::file_size(target / "a") + fs::file_size(target / "b"), limit);

    // Only the members named count.
    fs::remove_all(target);
    EXPECT_EQ(platform::unzipWithinLimit(archiveOf({"a", "b"}, limit).string(), {"b"}, target.string(), limit),
              platform::UnzipResult::Unpacked);
    EXPECT_EQ(fs::file_size(target / "b"), limit);
    EXPECT_FALSE(fs::exists(target / "a"));
}

// Nothing is written when the archive unpacks to more, whatever its listing says.
TEST_F(ZipExtraction, AnArchiveOverTheLimitWritesNothing)
{
    struct Case {
        const char* name;
        std::vector<std::string> members;
        std::size_t eachSize;
        bool lies;
    };
    const Case cases[] = {
        {"files each within the limit, together over it", {"a", "b", "c"}, limit / 2, false},
        {"one file over the limit", {"a"}, 16 * limit, false},
        {"one file over the limit whose listing says 1000 bytes", {"a"}, 16 * limit, true},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        const fs::path archive = archiveOf(each.members, each.eachSize);
        if (each.lies) {
            std::string bytes = testsupport::readFileText(archive);
            testsupport::claimUnpackedSize(bytes, each.members.front(), 1000);
            testsupport::plantFile(archive, bytes);
            ASSERT_EQ(platform::listedTotals(archive.string()).value_or(platform::ZipListingTotals{}).unpackedSize, 1000u);
        }
        EXPECT_EQ(platform::unzipWithinLimit(archive.string(), {}, target.string(), limit),
                  platform::UnzipResult::TooLarge);
        EXPECT_FALSE(fs::exists(target));
    }
}

TEST_F(ZipExtraction, WhatIsNoArchiveFails)
{
    const fs::path text = testsupport::plantFile(source / "text.zip", "not an archive");
    EXPECT_EQ(platform::unzipWithinLimit(text.string(), {}, target.string(), limit), platform::UnzipResult::Failed);
    EXPECT_EQ(platform::unzipWithinLimit(archiveOf({"a"}, 10).string(), {"absent"}, target.string(), limit),
              platform::UnzipResult::Failed);
}

// Started from a terminal, unzip still never asks for a password there: an
// encrypted member fails the unpack at once, with nothing written.
TEST_F(ZipExtraction, AnEncryptedMemberFailsWithoutWaitingOnTheTerminal)
{
    testsupport::plantFile(source / "bgx.db", "definitions");
    const std::string command = "cd '" + source.string() + "' && zip -q -P secret locked.zip bgx.db";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string archive = (source / "locked.zip").string();
    const auto answer = testsupport::answerWithTerminal(
        [&] {
            return platform::unzipWithinLimit(archive, {}, target.string(), limit) == platform::UnzipResult::Failed &&
                   platform::unzipWithinLimit(archive, {"bgx.db"}, target.string(), limit) ==
                       platform::UnzipResult::Failed &&
                   !fs::exists(target);
        },
        std::chrono::seconds(20));
    ASSERT_TRUE(answer) << "unzip waited on the terminal";
    EXPECT_TRUE(*answer);
}

} // namespace
