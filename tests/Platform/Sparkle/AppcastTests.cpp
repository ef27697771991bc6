#include "Platform/Sparkle/Appcast.h"

#include <gtest/gtest.h>

namespace {

struct VersionCase {
    const char* left;
    const char* right;
    int order;
};

TEST(CompareVersions, OrdersPieceByPiece)
{
    const VersionCase cases[] = {
        {"1.0", "1.0", 0},    {"1.1", "1.0", 1},   {"1.9", "1.10", -1}, {"1.0.1", "1.0", 1},
        {"2", "10", -1},      {"1.0b1", "1.0", -1}, {"1.0b2", "1.0b1", 1}, {"01.2", "1.2", 0},
        {"", "1.0", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::compareVersions(c.left, c.right), c.order) << c.left << " vs " << c.right;
}

TEST(NewestAppcastItem, TakesTheHighestVersionWhereverItStands)
{
    const std::string feed = R"(<?xml version="1.0"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Releases</title>
  <item><title>1.2</title><enclosure url="http://host/a.zip" sparkle:version="1.2"/></item>
  <item><title>1.10</title><sparkle:version>1.10</sparkle:version>
        <sparkle:shortVersionString>1.10 final</sparkle:shortVersionString>
        <enclosure url="http://host/b.zip"/></item>
  <item><title>no file</title><enclosure sparkle:version="9.0"/></item>
</channel></rss>)";
    const auto newest = platform::newestAppcastItem(feed);
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->versionString, "1.10");
    EXPECT_EQ(newest->displayVersionString, "1.10 final");
    EXPECT_EQ(newest->fileURL, "http://host/b.zip");
    EXPECT_EQ(newest->title, "1.10");
}

TEST(NewestAppcastItem, NothingFromAnEmptyOrBrokenFeed)
{
    EXPECT_FALSE(platform::newestAppcastItem("<rss><channel></channel></rss>"));
    EXPECT_FALSE(platform::newestAppcastItem("<rss><channel><item>"));
    EXPECT_FALSE(platform::newestAppcastItem("not xml"));
}

// Only an appcast with no newer release means no update; any other text is no answer.
TEST(Appcast, OnlyAWellFormedRssTextIsAnAppcast)
{
    EXPECT_TRUE(platform::isAppcast("<rss><channel></channel></rss>"));
    EXPECT_TRUE(platform::isAppcast("<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><item/></channel></rss>"));
    for (const char* text : {"", "not xml", "<html><body>502 Bad Gateway</body></html>", "<rss><channel><item>"})
        EXPECT_FALSE(platform::isAppcast(text)) << text;
}

} // namespace
