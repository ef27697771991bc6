#include "App/Storyboard.h"

#include "App/AllViewControllers.h"
#include "App/InitialWindowController.h"
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

#include <cstdio>
#include <cstdlib>

namespace {

template <class Controller>
Storyboard::Scene scene()
{
    return [] { return new Controller; };
}

// The scan container's children: the factory's kept screens.
QWidget& scanChild(ScanMenu menu)
{
    switch (menu) {
    case ScanMenu::scanresult:
        return AllViewControllers::scanResultViewController();
    case ScanMenu::cleanProcess:
        return AllViewControllers::cleanProcessViewController();
    case ScanMenu::scanprocess:
        break;
    }
    return AllViewControllers::scanProcessViewController();
}

// The settings container's tabs show the factory's screens.
QWidget& settingsTabScreen(SettingsMenu menu)
{
    switch (menu) {
    case SettingsMenu::update:
        return AllViewControllers::updateSettingsViewController();
    case SettingsMenu::ignoreList:
        return AllViewControllers::ignoreListViewController();
    default:
        return AllViewControllers::generalSettingsViewController();
    }
}

// The startup manager's children, and the lists its clean screen counts.
QWidget& startupManagerChild(StartupItemsState state)
{
    if (state == StartupItemsState::cleanStartupItems)
        return AllViewControllers::cleanProcessStartupItemsViewController();
    return AllViewControllers::startupItemsViewController();
}

const StartupItemsModel& startupItemsModel()
{
    return AllViewControllers::startupItemsViewController().model();
}

[[noreturn]] void stop(const char* what, const std::string& name)
{
    std::fprintf(stderr, "%s %s\n", what, name.c_str());
    std::abort();
}

} // namespace

const Storyboard& Storyboard::storyboardWithName(const std::string& name)
{
    static const Storyboard main({
        {"InitialWindowController", scene<InitialWindowController>()},
        {"OverviewViewController", scene<OverviewViewController>()},
        {"ScanViewController", [] { return new ScanViewController(scanChild); }},
        {"ProtectionViewController", scene<ProtectionViewController>()},
        {"StartupMangerViewController", [] { return new StartupMangerViewController(startupManagerChild); }},
        {"SettingsViewController", [] { return new SettingsViewController(settingsTabScreen); }},
        {"ScanProcessViewController", scene<ScanProcessViewController>()},
        {"ScanResultViewController", scene<ScanResultViewController>()},
        {"CleanProcessViewController", scene<CleanProcessViewController>()},
        {"StartupItemsViewController", scene<StartupItemsViewController>()},
        {"CleanProcessStartupItemsViewController",
         [] { return new CleanProcessStartupItemsViewController(startupItemsModel); }},
        {"GeneralSettingsViewController", scene<GeneralSettingsViewController>()},
        {"UpdateSettingsViewController", scene<UpdateSettingsViewController>()},
        {"IgnoreListViewController", scene<IgnoreListViewController>()},
    });
    static const Storyboard nags({{"About", scene<AboutVC>()}});
    if (name == "Main")
        return main;
    if (name == "Nags")
        return nags;
    stop("no storyboard named", name);
}

QObject* Storyboard::instantiateControllerWithIdentifier(const std::string& identifier) const
{
    const auto found = scenes_.find(identifier);
    if (found == scenes_.end())
        stop("no scene with identifier", identifier);
    return found->second();
}
