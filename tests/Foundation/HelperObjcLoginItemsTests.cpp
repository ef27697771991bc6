#include "Foundation/HelperObjc.h"

#include "Platform/LoginItems/FileURL.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

namespace {

using platform::SharedFileList;

class HelperObjcLoginItemsTest : public testsupport::PlatformRootTest {
protected:
    static void plant(const std::string& url)
    {
        auto list = SharedFileList::sessionLoginItems();
        const auto items = list->snapshot();
        ASSERT_TRUE(list->insertURL(url, items.empty() ? std::nullopt : std::optional(items.back())));
    }
};

TEST_F(HelperObjcLoginItemsTest, RemovesTheLastItemWithThePathAndKeepsTheEarlierOne)
{
    const auto app = testsupport::underRoot("/Applications/Tool.app");
    std::filesystem::create_directories(app);
    const auto url = platform::FileURL::fromPath(app.string()).absoluteString();
    plant(url);
    plant("file:///Other.app/");
    plant(url);
    const auto before = SharedFileList::sessionLoginItems()->snapshot();

    const auto removed = HelperObjc().itemRefInLoginItems(app.string());
    ASSERT_TRUE(removed);
    EXPECT_EQ(*removed, before[2]);
    EXPECT_EQ(SharedFileList::sessionLoginItems()->snapshot(), (std::vector{before[0], before[1]}));
}

TEST_F(HelperObjcLoginItemsTest, AnItemThatNoLongerResolvesIsFoundByTheURLInItsDescription)
{
    EXPECT_FALSE(HelperObjc().itemRefInLoginItems("/Gone.app"));
    plant("file:///Gone.app/");
    EXPECT_TRUE(HelperObjc().itemRefInLoginItems("/Gone.app"));
    EXPECT_TRUE(SharedFileList::sessionLoginItems()->snapshot().empty());
}

} // namespace
