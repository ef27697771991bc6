#include "Platform/LoginItems/SharedFileList.h"

#include "Platform/LoginItems/FileURL.h"
#include "FilePermissionsObeyed.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using platform::FileURL;
using platform::SharedFileList;
using platform::SharedFileListItem;

class SharedFileListTest : public testsupport::PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        list = SharedFileList::sessionLoginItems();
    }

    std::unique_ptr<SharedFileList> list;

    std::vector<std::string> urls() const
    {
        std::vector<std::string> out;
        for (const auto& item : list->snapshot())
            out.push_back(item.url);
        return out;
    }
};

TEST_F(SharedFileListTest, InsertsAfterTheAnchorOrFirstAndKeepsItemsAcrossOpenings)
{
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->snapshot().empty());
    const auto a = list->insertURL("file:///A.app/", std::nullopt);
    const auto c = list->insertURL("file:///C.app/", a);
    list->insertURL("file:///B.app/", a);
    list->insertURL("file:///First.app/", std::nullopt);
    ASSERT_TRUE(a && c);
    EXPECT_EQ(urls(), (std::vector<std::string>{"file:///First.app/", "file:///A.app/", "file:///B.app/", "file:///C.app/"}));

    const auto items = SharedFileList::sessionLoginItems()->snapshot();
    EXPECT_EQ(items[1], *a);
    EXPECT_EQ(a->name, "A.app");
    EXPECT_TRUE(a->description.ends_with(" file:///A.app/"));
}

TEST_F(SharedFileListTest, RemovesTheGivenItemEvenWhenAnotherHasTheSameURL)
{
    const auto first = list->insertURL("file:///A.app/", std::nullopt);
    const auto second = list->insertURL("file:///A.app/", first);
    ASSERT_TRUE(list->remove(*second));
    ASSERT_EQ(list->snapshot().size(), 1u);
    EXPECT_EQ(list->snapshot().front(), *first);
    EXPECT_FALSE(list->remove(*second));
}

TEST_F(SharedFileListTest, ResolvesOnlyFileURLsWhoseFileExists)
{
    const auto app = testsupport::underRoot("/Applications/Tool.app");
    std::filesystem::create_directories(app);
    const auto present = list->insertURL(FileURL::fromPath(app.string()).absoluteString(), std::nullopt);
    const auto gone = list->insertURL("file:///nowhere/Gone.app/", present);
    const auto other = list->insertURL("http://example.org/", gone);
    EXPECT_EQ(list->resolvedURL(*present), present->url);
    EXPECT_FALSE(list->resolvedURL(*gone));
    EXPECT_FALSE(list->resolvedURL(*other));
}

TEST_F(SharedFileListTest, AMalformedFileReadsAsAnEmptyListAndIsReplacedOnTheNextChange)
{
    testsupport::plantFile(SharedFileList::sessionLoginItemsPath(), "not a plist");
    EXPECT_TRUE(list->snapshot().empty());
    ASSERT_TRUE(list->insertURL("file:///A.app/", std::nullopt));
    EXPECT_EQ(urls(), std::vector<std::string>{"file:///A.app/"});
}

TEST_F(SharedFileListTest, ConcurrentInsertionsAreAllKept)
{
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([i] {
            SharedFileList::sessionLoginItems()->insertURL("file:///App" + std::to_string(i) + ".app/", std::nullopt);
        });
    for (auto& thread : threads)
        thread.join();
    auto items = list->snapshot();
    ASSERT_EQ(items.size(), 8u);
    std::sort(items.begin(), items.end(), [](const auto& l, const auto& r) { return l.identifier < r.identifier; });
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i].identifier, static_cast<std::int64_t>(i + 1));
}

// A lock that cannot be taken (its file left to another user): no change is made,
// since it could write over another writer's.
TEST_F(SharedFileListTest, NoChangeWithoutTheLock)
{
    const auto kept = list->insertURL("file:///Kept.app/", std::nullopt);
    ASSERT_TRUE(kept);
    testsupport::UnopenableFile unopenable(SharedFileList::sessionLoginItemsPath() + ".lock");
    const testsupport::FilePermissionsObeyed obeyed;
    if (!obeyed.isSet())
        GTEST_SKIP() << "this process cannot give up its file access override";
    EXPECT_FALSE(list->insertURL("file:///New.app/", kept));
    EXPECT_FALSE(list->remove(*kept));
    EXPECT_EQ(urls(), std::vector<std::string>{"file:///Kept.app/"});
}

} // namespace
