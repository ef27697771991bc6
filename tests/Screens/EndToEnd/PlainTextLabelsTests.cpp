#include "AppShellTest.h"

#include "App/AllViewControllers.h"
#include "App/AppDelegate.h"
#include "Controls/HyperlinkTextField.h"
#include "Screens/Manage/AboutVC.h"
#include "Screens/Manage/CleanProcessStartupItemsViewController.h"
#include "Screens/Manage/GeneralSettingsViewController.h"
#include "Screens/Manage/IgnoreListViewController.h"
#include "Screens/Manage/ProtectionViewController.h"
#include "Screens/Manage/SettingsViewController.h"
#include "Screens/Manage/StartupItemsViewController.h"
#include "Screens/Manage/StartupMangerViewController.h"
#include "Screens/Manage/UpdateSettingsViewController.h"
#include "Screens/Scan/CleanProcessViewController.h"
#include "Screens/Scan/OverviewViewController.h"
#include "Screens/Scan/ScanProcessViewController.h"
#include "Screens/Scan/ScanResultViewController.h"
#include "Screens/Scan/ScanViewController.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

using PlainTextLabels = AppShellTest;

// Every screen's labels may show a name from the definitions, a plist or a file
// name: none reads its text as markup. (Links are the program's own texts.)
TEST_F(PlainTextLabels, NoLabelOfAnyScreenReadsMarkup)
{
    AppDelegate::shared().applicationWillFinishLaunching();
    const std::vector<QWidget*> screens{
        &AllViewControllers::overviewViewController(),
        &AllViewControllers::scanViewController(),
        &AllViewControllers::protectionViewController(),
        &AllViewControllers::startupMangerViewController(),
        &AllViewControllers::settingsViewController(),
        &AllViewControllers::scanProcessViewController(),
        &AllViewControllers::scanResultViewController(),
        &AllViewControllers::cleanProcessViewController(),
        &AllViewControllers::startupItemsViewController(),
        &AllViewControllers::cleanProcessStartupItemsViewController(),
        &AllViewControllers::generalSettingsViewController(),
        &AllViewControllers::updateSettingsViewController(),
        &AllViewControllers::ignoreListViewController(),
        &AllViewControllers::about(),
    };
    int labels = 0;
    for (QWidget* screen : screens) {
        for (const QLabel* label : screen->findChildren<QLabel*>()) {
            if (label->text().isEmpty() || qobject_cast<const HyperlinkTextField*>(label))
                continue; // an image, or a link: the program's own text
            ++labels;
            EXPECT_EQ(label->textFormat(), Qt::PlainText)
                << screen->objectName().toStdString() << " / " << label->objectName().toStdString() << ": \""
                << label->text().toStdString() << "\"";
        }
    }
    EXPECT_GT(labels, 40);
}

} // namespace
