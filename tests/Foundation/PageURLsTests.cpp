#include "Foundation/PageURLs.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

TEST(PageURLs, ProductPagesAreHttpWithTheirPaths)
{
    const std::vector<std::pair<const std::optional<QUrl>&, QString>> cases = {
        {privacyPolicyURL(), "/mac-zorazevivud/privacypolicy.html"},
        {eulaURL(), "/mac-zorazevivud/eula.html"},
        {uninstallInstructionsURL(), "/mac-zorazevivud/uninstallinstructions.html"},
    };
    for (const auto& [url, path] : cases) {
        ASSERT_TRUE(url) << path.toStdString();
        EXPECT_EQ(url->scheme(), "http");
        EXPECT_EQ(url->path(), path);
    }
    for (const auto* social : {&facebookPageURL(), &twitterPageURL()}) {
        ASSERT_TRUE(*social);
        EXPECT_EQ((*social)->scheme(), "https");
    }
}

TEST(PageURLs, PromotionPagesStartWithTheLandingPageAndCarryTheCampaign)
{
    const auto& pages = promotionPageURLs();
    ASSERT_TRUE(pages.front());
    EXPECT_EQ(pages.front()->path(), "/lpaff");
    for (const auto& page : pages) {
        ASSERT_TRUE(page);
        EXPECT_EQ(page->scheme(), "http");
        EXPECT_EQ(page->query(), "utm_source=bgx&utm_campaign=bgx_build");
    }
}
