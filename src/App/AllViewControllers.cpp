#include "App/AllViewControllers.h"

#include "App/InitialWindowController.h"
#include "App/Storyboard.h"
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

#include <QPointer>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// Every window and screen the factory has made, in the order made.
std::vector<QPointer<QWidget>>& madeControllers()
{
    static std::vector<QPointer<QWidget>> made;
    return made;
}

// The cache slot's controller, made from the storyboard when the slot is empty; a
// scene of another class stops the process.
template <class Controller>
Controller& cached(QPointer<Controller>& slot, const char* storyboard, const char* identifier)
{
    if (!slot) {
        QObject* made = Storyboard::storyboardWithName(storyboard).instantiateControllerWithIdentifier(identifier);
        slot = dynamic_cast<Controller*>(made);
        if (!slot)
            std::abort();
        madeControllers().emplace_back(slot.data());
    }
    return *slot;
}

template <class Controller>
Controller& fromMain(const char* identifier)
{
    static QPointer<Controller> slot;
    return cached(slot, "Main", identifier);
}

QPointer<InitialWindowController> initialWindowSlot;
QPointer<AboutVC> aboutSlot;

} // namespace

InitialWindowController& AllViewControllers::initialWindowController()
{
    return cached(initialWindowSlot, "Main", "InitialWindowController");
}

bool AllViewControllers::hasInitialWindowController()
{
    return initialWindowSlot;
}

OverviewViewController& AllViewControllers::overviewViewController()
{
    return fromMain<OverviewViewController>("OverviewViewController");
}

ScanViewController& AllViewControllers::scanViewController()
{
    return fromMain<ScanViewController>("ScanViewController");
}

ProtectionViewController& AllViewControllers::protectionViewController()
{
    return fromMain<ProtectionViewController>("ProtectionViewController");
}

StartupMangerViewController& AllViewControllers::startupMangerViewController()
{
    return fromMain<StartupMangerViewController>("StartupMangerViewController");
}

SettingsViewController& AllViewControllers::settingsViewController()
{
    return fromMain<SettingsViewController>("SettingsViewController");
}

ScanProcessViewController& AllViewControllers::scanProcessViewController()
{
    return fromMain<ScanProcessViewController>("ScanProcessViewController");
}

ScanResultViewController& AllViewControllers::scanResultViewController()
{
    return fromMain<ScanResultViewController>("ScanResultViewController");
}

CleanProcessViewController& AllViewControllers::cleanProcessViewController()
{
    return fromMain<CleanProcessViewController>("CleanProcessViewController");
}

StartupItemsViewController& AllViewControllers::startupItemsViewController()
{
    return fromMain<StartupItemsViewController>("StartupItemsViewController");
}

CleanProcessStartupItemsViewController& AllViewControllers::cleanProcessStartupItemsViewController()
{
    return fromMain<CleanProcessStartupItemsViewController>("CleanProcessStartupItemsViewController");
}

GeneralSettingsViewController& AllViewControllers::generalSettingsViewController()
{
    return fromMain<GeneralSettingsViewController>("GeneralSettingsViewController");
}

UpdateSettingsViewController& AllViewControllers::updateSettingsViewController()
{
    return fromMain<UpdateSettingsViewController>("UpdateSettingsViewController");
}

IgnoreListViewController& AllViewControllers::ignoreListViewController()
{
    return fromMain<IgnoreListViewController>("IgnoreListViewController");
}

AboutVC& AllViewControllers::about()
{
    return cached(aboutSlot, "Nags", "About");
}

void AllViewControllers::releaseAbout()
{
    if (aboutSlot)
        aboutSlot->deleteLater();
    aboutSlot = nullptr;
}

void AllViewControllers::releaseAll()
{
    // A window takes the screen it shows with it; that screen's pointer empties, so
    // nothing is deleted twice.
    std::vector<QPointer<QWidget>> made = std::exchange(madeControllers(), {});
    for (auto each = made.rbegin(); each != made.rend(); ++each)
        delete each->data();
}
