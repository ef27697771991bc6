#include "Startup/LaunchOnStartup.h"

#include "StartupTestWorld.h"

#include <gtest/gtest.h>

namespace {

using platform::FileURL;
using platform::SharedFileList;
using startuptest::host;

class LaunchOnStartupTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        app = FileURL::fromPath(startuptest::plantBundle("/Applications/Bastion Guardpoint.app", "com.example.bg"));
    }

    static std::vector<std::string> listed()
    {
        std::vector<std::string> urls;
        for (const auto& item : SharedFileList::sessionLoginItems()->snapshot())
            urls.push_back(item.url);
        return urls;
    }

    static void plant(const std::string& url)
    {
        auto list = SharedFileList::sessionLoginItems();
        const auto items = list->snapshot();
        ASSERT_TRUE(list->insertURL(url, items.empty() ? std::nullopt : std::optional(items.back())));
    }

    FileURL app = FileURL::fromPath("/");
};

TEST_F(LaunchOnStartupTest, TheApplicationIsAddedOnceAtTheEndAndRemoved)
{
    EXPECT_TRUE(setLaunchOnStartup(true, app));
    EXPECT_EQ(listed(), std::vector<std::string>{app.absoluteString()});
    EXPECT_TRUE(setLaunchOnStartup(false, app));
    EXPECT_TRUE(listed().empty());

    for (const char* other : {"file:///One.app/", "file:///Two.app/", "file:///Three.app/"})
        plant(other);
    setLaunchOnStartup(true, app);
    setLaunchOnStartup(true, app);
    EXPECT_EQ(listed(), (std::vector<std::string>{"file:///One.app/", "file:///Two.app/", "file:///Three.app/",
                                                  app.absoluteString()}));
    setLaunchOnStartup(false, app);
    EXPECT_EQ(listed(), (std::vector<std::string>{"file:///One.app/", "file:///Two.app/", "file:///Three.app/"}));
}

TEST_F(LaunchOnStartupTest, LookUpComparesURLsExactly)
{
    const std::string withoutSlash = app.absoluteString().substr(0, app.absoluteString().size() - 1);
    plant(withoutSlash);
    setLaunchOnStartup(false, app);
    EXPECT_EQ(listed(), std::vector<std::string>{withoutSlash});
    EXPECT_FALSE(loginItemReference(app).item);
    EXPECT_EQ(loginItemReference(app).anchor->url, withoutSlash);
}

TEST_F(LaunchOnStartupTest, SnapshotsAppendAndItemsThatNoLongerResolveAreFoundByTheirDescription)
{
    plant(app.absoluteString());
    plant("file:///Gone.app/");
    plant("not a url");
    LaunchOnStartupList list;
    const auto once = list.sessionLoginItemURLs();
    ASSERT_EQ(once.size(), 2u);
    EXPECT_EQ(once[1].path(), "/Gone.app");
    EXPECT_EQ(list.sessionLoginItemURLs().size(), 4u);
    EXPECT_TRUE(loginItemReference(FileURL::parse("file:///Gone.app/").value()).item);
}

} // namespace
