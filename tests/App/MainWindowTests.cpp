#include "AppShellTest.h"

#include "App/AllViewControllers.h"
#include "Foundation/IndexVocabularies.h"
#include "App/InitialWindowController.h"
#include "App/ViewController.h"
#include "Controls/CustomAnimator.h"
#include "Detection/Scan.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/TextTable.h"
#include "Foundation/SharedState.h"
#include "Screens/Manage/AboutVC.h"
#include "Screens/Manage/StartupMangerViewController.h"
#include "Screens/Scan/OverviewViewController.h"
#include "Screens/Scan/ScanViewController.h"

#include "TestAnew.h"
#include "WidgetTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr Menu allMenus[] = {Menu::overview, Menu::scan, Menu::protection, Menu::startupManager, Menu::settings};

// Each test's launch makes the main window anew; the tests of the state a process
// starts with (its text table, paragraph style, flags) run in a process of their own.
class MainWindow : public AppShellTest {
protected:
    void SetUp() override
    {
        AppShellTest::SetUp();
        window = &AllViewControllers::initialWindowController();
        content = &window->contentViewController();
        scanSteps = platform::NotificationCenter::defaultCenter().addObserver(
            "ScanViewFirstUpdateStepBGX", [this](const platform::Notification&) { ++scanStepPosts; });
    }
    void TearDown() override
    {
        isCleanInProgress = false;
        AppShellTest::TearDown();
    }

    // The one entry drawn as selected, and its screen filling the container.
    void expectSelected(Menu menu, QWidget& screen)
    {
        for (const Menu each : allMenus) {
            const SidebarEntry& entry = content->entry(each);
            const bool chosen = each == menu;
            EXPECT_EQ(entry.line->isVisibleTo(content), chosen);
            EXPECT_EQ(entry.label->palette().color(QPalette::WindowText), chosen ? QColor(Qt::white) : QColor(142, 142, 147));
            EXPECT_EQ(entry.bottomConstant->constant(), chosen ? 0.0 : 1.0);
        }
        EXPECT_EQ(screen.parentWidget(), content->containerView.data());
        EXPECT_EQ(content->containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 1);
    }

    InitialWindowController* window = nullptr;
    ViewController* content = nullptr;
    int scanStepPosts = 0;
    platform::ObservationToken scanSteps;
};

// Calls `placed` when the watched screen is put into a container.
class PlacementSpy : public QObject {
public:
    PlacementSpy(QWidget& screen, std::function<void()> placed) : placed_(std::move(placed))
    {
        screen.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ParentChange)
            placed_();
        return false;
    }

private:
    std::function<void()> placed_;
};

TEST_F(AppShellTest, TheParagraphStyleIsCentredBeforeTheFirstScreenIsShown)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    paragraphStyle().alignment = Qt::AlignLeft;
    std::optional<Qt::Alignment> alignmentWhenPlaced;
    PlacementSpy spy(AllViewControllers::overviewViewController(), [&] {
        if (!alignmentWhenPlaced)
            alignmentWhenPlaced = paragraphStyle().alignment;
    });
    AllViewControllers::initialWindowController();
    ASSERT_TRUE(alignmentWhenPlaced);
    EXPECT_EQ(*alignmentWhenPlaced, Qt::AlignHCenter);
}

TEST_F(MainWindow, LoadsOnTheOverviewWithItsTexts)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    expectSelected(Menu::overview, AllViewControllers::overviewViewController());
    EXPECT_EQ(content->lblTitle->text(), "Bastion Guardpoint");
    EXPECT_EQ(content->entry(Menu::startupManager).label->text(), "Startup Manager");
    EXPECT_EQ(content->size(), QSize(1008, 720));
    EXPECT_EQ(sharedAnimator()->rect.size(), QSize(1008, 720)) << "presentations start as wide as the content";
    EXPECT_EQ(localizedText("IDS_BGX_44"), "item") << "the word of a count of one";
    EXPECT_EQ(localizedText("IDS_BGX_43"), "items");
}

TEST_F(MainWindow, SidebarClicksAreIgnoredWhileACleanIsInProgress)
{
    content->entry(Menu::startupManager).button->click();
    expectSelected(Menu::startupManager, AllViewControllers::startupMangerViewController());
    isCleanInProgress = true;
    content->entry(Menu::scan).button->click();
    expectSelected(Menu::startupManager, AllViewControllers::startupMangerViewController());
    EXPECT_EQ(scanStepPosts, 0);
}

TEST_F(MainWindow, MenuSelectionTakesOnlyAMenuValueAndSkipsTheGuard)
{
    if (!testsupport::inProcessOfItsOwn())
        return;
    isCleanInProgress = true;
    Scan::shared().isScanRunning = true; // the scan container starts no scan of its own
    auto& center = platform::NotificationCenter::defaultCenter();
    center.post("MenuSelectionBGX", {{menuKey, 1}}); // a bare number
    center.post("MenuSelectionBGX");
    expectSelected(Menu::overview, AllViewControllers::overviewViewController());
    center.post("MenuSelectionBGX", {{menuKey, Menu::scan}});
    center.post("MenuSelectionBGX", {{menuKey, Menu::scan}});
    expectSelected(Menu::scan, AllViewControllers::scanViewController());
    EXPECT_EQ(scanStepPosts, 2) << "each showing of the scan container asks it to update";
    Scan::shared().isScanRunning = false;
}

TEST_F(MainWindow, FactoryKeepsScreensAndRenewsAboutAfterItCloses)
{
    EXPECT_EQ(&AllViewControllers::scanViewController(), &AllViewControllers::scanViewController());
    EXPECT_EQ(&AllViewControllers::initialWindowController(), window);
    AboutVC* first = &AllViewControllers::about();
    EXPECT_EQ(&AllViewControllers::about(), first);
    AllViewControllers::releaseAbout();
    EXPECT_NE(&AllViewControllers::about(), first);
}

TEST_F(MainWindow, ClosingTheWindowOnlyHidesIt)
{
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(AllViewControllers::hasInitialWindowController());
}

// The sidebar to a keyboard user: each entry is named by its label and wears the
// whole focus ring (3:1 or more against the sidebar), at the window's edge too, while
// it has the keyboard.
TEST_F(MainWindow, SidebarEntriesAreNamedAndMarkedWhileFocused)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const std::pair<Menu, const char*> names[] = {{Menu::overview, "Overview"}, {Menu::scan, "Scan"},
        {Menu::protection, "Protection"}, {Menu::startupManager, "Startup Manager"}, {Menu::settings, "Settings"}};
    for (const auto& [menu, name] : names)
        EXPECT_EQ(QAccessible::queryAccessibleInterface(content->entry(menu).button)->text(QAccessible::Name), name);

    QPushButton& scan = *content->entry(Menu::scan).button;
    content->entry(Menu::overview).button->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(widgettest::focusRingAbove(scan).shown());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &scan);
    const widgettest::FocusRingSample ring = widgettest::focusRingAbove(scan);
    EXPECT_TRUE(ring.shown()) << ring.band.name().toStdString() << ", " << ring.contrast() << ":1";
    const widgettest::FocusRingSample left = widgettest::focusRingLeftOf(scan);
    EXPECT_TRUE(left.shown()) << "at the window's edge: " << left.band.name().toStdString() << ", " << left.contrast()
                              << ":1";
    widgettest::saveGrab(*content->window(), "main-window-sidebar-scan-focused");
}

TEST_F(MainWindow, GrabsToPNG)
{
    window->show();
    const QPixmap picture = window->grab();
    EXPECT_GE(picture.width(), 1008);
    EXPECT_GE(picture.height(), 720);
    const auto path = std::filesystem::path(BG_APP_BUNDLE).parent_path() / "app-main-window.png";
    EXPECT_TRUE(picture.save(QString::fromStdString(path.string()), "PNG"));
}

} // namespace
