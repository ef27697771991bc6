#include "Foundation/FileUtilities.h"

#include "Platform/Values/PropertyList.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The folder at `path` listed as a read of the records lists it: opened first.
std::optional<std::vector<std::string>> listed(const fs::path& path)
{
    return listFilesRecursively(path.string(), platform::Descriptor(::open(path.c_str(), O_RDONLY | O_DIRECTORY)));
}

class FileUtilities : public testsupport::PlatformRootTest {
protected:
    void plantApplication(const std::string& platformPath, const std::string& identifier)
    {
        const auto app = testsupport::underRoot(platformPath);
        fs::create_directories(app / "Contents");
        ASSERT_TRUE(platform::writePropertyListFile((app / "Contents" / "Info.plist").string(),
                                                    platform::Dictionary{{"CFBundleIdentifier", identifier}}));
    }
};

TEST_F(FileUtilities, ListingSkipsHiddenEntriesPackagesLinksAndPhotoLibraries)
{
    const auto root = testsupport::homeFolder() / "Scan";
    for (const char* file : {"a.txt", ".b", "c.app/Contents/MacOS/c", "d/e.txt", "d/.hidden/f.txt", ".g/h.txt",
                             "Pictures/PHOTO Booth Library/p.jpg", "Pictures/photo booth library.txt",
                             "Pictures/x.photoslibrary/y.jpg", "Pictures/Kit.bundle/z"})
        testsupport::plantFile(root / file);
    fs::create_symlink(root / "a.txt", root / "link.txt");
    fs::create_directory_symlink(root / "d", root / "linked-folder");

    auto files = listed(root);
    ASSERT_TRUE(files);
    std::sort(files->begin(), files->end());
    EXPECT_EQ(*files, (std::vector<std::string>{(root / "Pictures/photo booth library.txt").string(),
                                                (root / "a.txt").string(), (root / "d/e.txt").string()}));
}

TEST_F(FileUtilities, ListingOfAFolderThatCannotBeListedIsNull)
{
    EXPECT_FALSE(listed(testsupport::homeFolder() / "absent"));
    const auto file = testsupport::plantFile(testsupport::homeFolder() / "file");
    EXPECT_FALSE(listed(file));
    const auto empty = listed(testsupport::homeFolder() / "Desktop");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(ApplicationBundlePath, IsTheAppEndingWithOrWithoutTrailingSeparators)
{
    for (const char* path : {"/Applications/Qlorvex.app", "/Applications/Qlorvex.app/", "/Applications/Qlorvex.app//"})
        EXPECT_TRUE(isApplicationBundlePath(path)) << path;
    for (const char* path : {"/Applications/Qlorvex.apps", "/Applications/Qlorvex.app/Contents", "/", ""})
        EXPECT_FALSE(isApplicationBundlePath(path)) << path;
}

TEST(PlainAbsolutePath, IsAnAbsolutePathOfNamesOnly)
{
    for (const char* plain : {"/a", "/Users/x/Library/Application Support/Qlorvex", "/a/.hidden", "/a/..b", "/a/b."})
        EXPECT_TRUE(isPlainAbsolutePath(plain)) << plain;
    for (const char* other : {"", "/", "a/b", "/a/", "//a", "/a//b", "/a/./b", "/a/.", "/a/../b", "/.."})
        EXPECT_FALSE(isPlainAbsolutePath(other)) << other;
}

TEST_F(FileUtilities, ApplicationInstalledOnlyAtTheTopLevelWithTheExactIdentifier)
{
    plantApplication("/Applications/Tool.app", "com.example.Tool");
    plantApplication("/Applications/Utilities/Deep.app", "com.example.Deep");
    plantApplication("/Applications/.Hidden.app", "com.example.Hidden");
    EXPECT_TRUE(isApplicationInstalled("com.example.Tool"));
    EXPECT_FALSE(isApplicationInstalled("com.example.tool"));
    EXPECT_FALSE(isApplicationInstalled("com.example.Deep"));
    EXPECT_FALSE(isApplicationInstalled("com.example.Hidden"));
    fs::remove_all(testsupport::underRoot("/Applications"));
    EXPECT_FALSE(isApplicationInstalled("com.example.Tool"));
}

TEST_F(FileUtilities, IconOfAnUnreadableItemIsGenericForApplicationsOnly)
{
    const auto missingApp = getFileIcon((testsupport::homeFolder() / "Gone.app").string());
    ASSERT_TRUE(missingApp);
    EXPECT_EQ(missingApp->bitmap(), platform::Image::genericApplicationIcon().bitmap());
    EXPECT_FALSE(getFileIcon((testsupport::homeFolder() / "Gone.APP").string()));
    EXPECT_FALSE(getFileIcon((testsupport::homeFolder() / "gone.txt").string()));

    const auto file = testsupport::plantFile(testsupport::homeFolder() / "here.txt");
    const auto icon = getFileIcon(file.string());
    ASSERT_TRUE(icon);
    EXPECT_FALSE(icon->isEmpty());
}

} // namespace
