#include "Platform/Tools/ZipListing.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

using ZipListing = testsupport::PlatformRootTest;

TEST_F(ZipListing, CountsTheMembersAndSumsTheListedSizesAndGivesNothingForWhatIsNoArchive)
{
    const fs::path folder = testsupport::platformRootFolder() / "zips";
    testsupport::plantFile(folder / "a", "12345");
    testsupport::plantFile(folder / "sub" / "b", "1234567");
    ASSERT_EQ(std::system(("cd '" + folder.string() + "' && zip -q -r two.zip a sub").c_str()), 0);
    const auto listed = platform::listedTotals((folder / "two.zip").string());
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->members, 3u) << "a, sub/ and sub/b";
    EXPECT_EQ(listed->unpackedSize, 12u);

    testsupport::plantFile(folder / "text.zip", "not an archive");
    testsupport::plantFile(folder / "empty.zip", "");
    for (const char* name : {"text.zip", "empty.zip", "absent.zip"})
        EXPECT_FALSE(platform::listedTotals((folder / name).string())) << name;
}

} // namespace
