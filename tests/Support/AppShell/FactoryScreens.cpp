#include "FactoryScreens.h"

#include "App/AllViewControllers.h"
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

std::vector<QWidget*> everyFactoryScreen()
{
    return {
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
}
