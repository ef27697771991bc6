#include "Platform/LoginItems/FileURL.h"

#include "TestRoot.h"

#include <gtest/gtest.h>

namespace {

using platform::FileURL;

class FileURLTest : public testsupport::PlatformRootTest {};

TEST_F(FileURLTest, PathsRoundTripWithEscapesAndFoldersGetATrailingSlash)
{
    const auto folder = testsupport::underRoot("/Applications/My Tool.app");
    std::filesystem::create_directories(folder);
    const auto url = FileURL::fromPath(folder.string());
    EXPECT_EQ(url.absoluteString(), "file://" + testsupport::underRoot("/Applications/My%20Tool.app/").string());
    EXPECT_EQ(url.path(), folder.string());
    EXPECT_EQ(url.lastPathComponent(), "My Tool.app");
    EXPECT_EQ(url.pathExtension(), "app");

    const auto file = FileURL::fromPath("/usr/local/bin/tool");
    EXPECT_EQ(file.absoluteString(), "file:///usr/local/bin/tool");
    EXPECT_EQ(file.pathExtension(), "");
    EXPECT_EQ(FileURL::parse(file.absoluteString()), file);
}

TEST_F(FileURLTest, ParsingTakesOnlyWellFormedFileURLs)
{
    struct Case {
        const char* text;
        const char* path; // null: no URL
    };
    const Case cases[] = {
        {"file:///Applications/Tool.app/", "/Applications/Tool.app"},
        {"file://localhost/tmp/a%20b", "/tmp/a b"},
        {"file:///", "/"},
        {"file:///tmp/a b", nullptr},
        {"file:///tmp/%zz", nullptr},
        {"file:///tmp/%2", nullptr},
        {"file://host/tmp", nullptr},
        {"http://example.org/", nullptr},
        {"file:relative", nullptr},
    };
    for (const auto& c : cases) {
        const auto url = FileURL::parse(c.text);
        ASSERT_EQ(url.has_value(), c.path != nullptr) << c.text;
        if (url) {
            EXPECT_EQ(url->path(), c.path) << c.text;
        }
    }
    EXPECT_NE(FileURL::parse("file:///A.app"), FileURL::parse("file:///A.app/"));
}

} // namespace
