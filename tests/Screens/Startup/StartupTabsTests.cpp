#include "ManageScreenTest.h"
#include "Platform/Launchd/LaunchdTestFixture.h"
#include "Screens/Manage/StartupItemsViewController.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using StartupTabs = testsupport::LaunchdTest;

// The two lists' tabs to a screen reader: page tabs named by their captions, the one
// shown selected; a tab the keyboard reaches wears the focus ring.
TEST_F(StartupTabs, EachTabIsNamedByItsCaptionAndSaysWhetherItIsSelected)
{
    managetest::withEnglish([] {
        StartupItemsViewController list;
        managetest::showInWindow(list);
        list.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
        ASSERT_TRUE(managetest::waitFor([&] { return !list.model().isLoading(); }));
        const auto expectSelected = [&](QPushButton* selected) {
            for (const auto& [tab, caption] : {std::pair{list.btnLoginItem, "Login Items"},
                                               std::pair{list.btnLaunchAgents, "Launch Agents"}}) {
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(tab);
                ASSERT_NE(face, nullptr);
                EXPECT_EQ(face->role(), QAccessible::PageTab);
                EXPECT_EQ(face->text(QAccessible::Name), caption);
                EXPECT_TRUE(face->state().selectable);
                EXPECT_EQ(face->state().selected, tab == selected) << caption;
            }
        };
        expectSelected(list.btnLoginItem);
        QAccessible::queryAccessibleInterface(list.btnLaunchAgents)
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        expectSelected(list.btnLaunchAgents);

        list.btnLaunchAgents->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(list.btnLaunchAgents, Qt::Key_Backtab);
        ASSERT_EQ(QApplication::focusWidget(), list.btnLoginItem);
        const widgettest::FocusRingSample ring = widgettest::focusRingAbove(*list.btnLoginItem);
        EXPECT_TRUE(ring.shown()) << ring.band.name().toStdString() << ", " << ring.contrast() << ":1";
        widgettest::saveGrab(list, "StartupItems-login-items-tab-focused");
    });
}

} // namespace
