#include "ScanScreenTest.h"

#include "Foundation/IndexVocabularies.h"
#include "Screens/Scan/ScanViewController.h"

#include <gtest/gtest.h>

namespace {

class ScanContainer : public ScanScreenTest {
protected:
    void SetUp() override
    {
        ScanScreenTest::SetUp();
        host(container);
    }

    // The children belong to the test, not to the container that shows one of them.
    ~ScanContainer() override
    {
        for (QWidget* child : {&progress, &results, &clean})
            child->setParent(nullptr);
    }

    QWidget* shownChild() const
    {
        const auto shown = container.containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        return shown.size() == 1 ? shown.front() : nullptr;
    }

    void post(platform::UserInfo userInfo)
    {
        platform::NotificationCenter::defaultCenter().post("ScanViewUpdateBGX", std::move(userInfo));
    }

    QWidget progress;
    QWidget results;
    QWidget clean;
    ScanViewController container{[this](ScanMenu menu) -> QWidget& {
        switch (menu) {
        case ScanMenu::scanresult:
            return results;
        case ScanMenu::cleanProcess:
            return clean;
        case ScanMenu::scanprocess:
            break;
        }
        return progress;
    }};
    widgettest::NotificationRecorder scanStarts{"MenuSelectionBGX"};
};

TEST_F(ScanContainer, StartsOnProgressAndSwitchesOnlyOnATypedMenuValue)
{
    EXPECT_EQ(shownChild(), &progress);
    const platform::UserInfo ignored[] = {
        {}, {{"menu", 1}}, {{"menu", std::int64_t{1}}}, {{"menu", Menu::scan}}, {{"other", ScanMenu::scanresult}}};
    for (const auto& userInfo : ignored)
        post(userInfo);
    EXPECT_EQ(shownChild(), &progress);

    post({{menuKey, ScanMenu::scanresult}});
    EXPECT_EQ(shownChild(), &results);
    EXPECT_EQ(results.geometry(), container.containerView->rect());
    post({{menuKey, ScanMenu::cleanProcess}});
    EXPECT_EQ(shownChild(), &clean);
    EXPECT_TRUE(isScanResultsShown);
    post({{menuKey, ScanMenu::scanprocess}});
    EXPECT_EQ(shownChild(), &progress);
    EXPECT_FALSE(isScanResultsShown);
}

TEST_F(ScanContainer, ArrivingWithoutResultsShowsProgressAndStartsOneScan)
{
    post({{menuKey, ScanMenu::scanresult}});
    container.viewWillAppear();
    platform::NotificationCenter::defaultCenter().post("ScanViewFirstUpdateStepBGX");
    EXPECT_EQ(shownChild(), &progress);
    EXPECT_EQ(scanStarts.received().size(), 1u) << "the second first step finds the scan running";
    EXPECT_TRUE(Scan::shared().isScanRunning);
}

TEST_F(ScanContainer, ArrivingWithResultsShowsThemWithoutAScan)
{
    scanResults().replace({ScanResult{}});
    container.updateFirstStep();
    EXPECT_EQ(shownChild(), &results);
    EXPECT_TRUE(scanStarts.received().empty());
}

TEST_F(ScanContainer, ArrivingDuringACleanOrAStartupItemsConfirmationChangesNothing)
{
    post({{menuKey, ScanMenu::cleanProcess}});
    scanResults().replace({ScanResult{}});
    container.updateFirstStep();
    EXPECT_EQ(shownChild(), &clean) << "the clean progress stays";

    post({{menuKey, ScanMenu::scanresult}});
    scanResults().clear();
    isStartupItemsCleanStarted = true;
    container.updateFirstStep();
    EXPECT_EQ(shownChild(), &results);
    EXPECT_TRUE(scanStarts.received().empty());
}

} // namespace
