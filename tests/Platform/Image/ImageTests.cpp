#include "Platform/Image/Image.h"

#include "Platform/Values/PropertyList.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace fs = std::filesystem;
using platform::Image;

namespace {

class ImageTest : public testsupport::PlatformRootTest {
protected:
    fs::path plantPng(const fs::path& path, int width, int height)
    {
        fs::create_directories(path.parent_path());
        QImage bitmap(width, height, QImage::Format_RGB32);
        bitmap.fill(Qt::red);
        EXPECT_TRUE(bitmap.save(QString::fromStdString(path.string()), "PNG"));
        return path;
    }
};

TEST_F(ImageTest, ThumbnailScalesDownOnlyAndKeepsTheAspect)
{
    const auto picture = plantPng(testsupport::homeFolder() / "wide.png", 400, 200);
    const struct {
        double maxPixelSize;
        int width;
        int height;
    } cases[] = {{100, 100, 50}, {1000, 400, 200}, {400, 400, 200}};
    for (const auto& sizeCase : cases) {
        const auto thumbnail = Image::thumbnail(picture.string(), sizeCase.maxPixelSize);
        ASSERT_TRUE(thumbnail) << sizeCase.maxPixelSize;
        EXPECT_EQ(thumbnail->width(), sizeCase.width);
        EXPECT_EQ(thumbnail->height(), sizeCase.height);
    }
    const auto text = testsupport::plantFile(testsupport::homeFolder() / "notes.txt", "no image");
    EXPECT_FALSE(Image::thumbnail(text.string(), 100));
    EXPECT_FALSE(Image::load(text.string()));
}

TEST_F(ImageTest, ApplicationIconComesFromTheBundleOrIsGeneric)
{
    const auto app = testsupport::underRoot("/Applications/Tool.app");
    plantPng(app / "Contents" / "Resources" / "AppIcon.png", 32, 32);
    ASSERT_TRUE(platform::writePropertyListFile((app / "Contents" / "Info.plist").string(),
                                                platform::Dictionary{{"CFBundleIconFile", "AppIcon.png"}}));
    const auto own = Image::iconForFile(app.string());
    ASSERT_TRUE(own);
    EXPECT_EQ(own->width(), 32);

    const auto bare = testsupport::underRoot("/Applications/Bare.app");
    fs::create_directories(bare / "Contents");
    const auto generic = Image::iconForFile(bare.string());
    ASSERT_TRUE(generic);
    EXPECT_EQ(generic->bitmap(), Image::genericApplicationIcon().bitmap());
}

TEST_F(ImageTest, FoldersAndFilesGetGenericIconsAndMissingItemsNone)
{
    const auto file = testsupport::plantFile(testsupport::homeFolder() / "a.txt");
    const auto fileIcon = Image::iconForFile(file.string());
    const auto folderIcon = Image::iconForFile(testsupport::homeFolder().string());
    ASSERT_TRUE(fileIcon && folderIcon);
    EXPECT_FALSE(fileIcon->isEmpty());
    EXPECT_NE(fileIcon->bitmap(), folderIcon->bitmap());
    EXPECT_FALSE(Image::iconForFile((testsupport::homeFolder() / "absent").string()));
}

// Folders are never read as images: a bundle without an icon file and a plain
// folder get their generic icons without a word, as often as they are asked for.
// An entry that is no regular file is skipped with one line, once.
TEST_F(ImageTest, IconsOfFoldersAreNeverReadAndAFifoIsToldOnce)
{
    const auto bare = testsupport::underRoot("/Applications/Bastion Guardpoint.app");
    fs::create_directories(bare / "Contents/MacOS");
    const auto fifo = testsupport::homeFolder() / "Downloads/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    testing::internal::CaptureStdout();
    for (int poll = 0; poll < 3; ++poll) {
        const auto application = Image::iconForFile(bare.string());
        const auto folder = Image::iconForFile(testsupport::homeFolder().string());
        const auto entry = Image::iconForFile(fifo.string());
        ASSERT_TRUE(application && folder && entry);
        EXPECT_EQ(application->bitmap(), Image::genericApplicationIcon().bitmap());
        EXPECT_FALSE(folder->isEmpty() || entry->isEmpty());
        EXPECT_FALSE(Image::thumbnail(bare.string(), 150)) << "a found bundle has no thumbnail";
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Unreadable file skipped: \"" + fifo.string() + "\" is not a regular file\n");
}

// Thousands of items with the generic icon hold one drawing, not one each.
TEST_F(ImageTest, GenericIconsShareOneDrawingAKind)
{
    const Image first = Image::genericApplicationIcon();
    const Image second = Image::genericApplicationIcon();
    EXPECT_EQ(first.bitmap().constBits(), second.bitmap().constBits());
    const auto folder = Image::iconForFile(testsupport::homeFolder().string());
    ASSERT_TRUE(folder);
    EXPECT_NE(folder->bitmap().constBits(), first.bitmap().constBits());
}

// A deferred image is drawn when first used, once for all its copies; one drawn
// as nothing is empty.
TEST_F(ImageTest, ADeferredImageIsDrawnOnFirstUseOnceForEveryCopy)
{
    int drawings = 0;
    const Image deferred = Image::deferred([&]() -> std::optional<Image> {
        ++drawings;
        return Image::genericApplicationIcon();
    });
    const Image copy = deferred;
    EXPECT_EQ(drawings, 0);
    EXPECT_FALSE(copy.isEmpty());
    EXPECT_EQ(deferred.bitmap().constBits(), Image::genericApplicationIcon().bitmap().constBits());
    EXPECT_EQ(drawings, 1);

    EXPECT_TRUE(Image::deferred([] { return std::optional<Image>(); }).isEmpty());
}

} // namespace
