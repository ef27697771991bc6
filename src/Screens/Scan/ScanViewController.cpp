#include "Screens/Scan/ScanViewController.h"

#include "Detection/Scan.h"
#include "Detection/SharedLists.h"
#include "Foundation/SharedState.h"
#include "Screens/Common/ScreenContainer.h"
#include "Screens/Common/ScreenStyle.h"

#include <QVBoxLayout>

ScanViewController::ScanViewController(ChildScreens childScreens, QWidget* parent)
    : QWidget(parent), childScreens_(std::move(childScreens))
{
    setObjectName("ScanViewController");
    screenstyle::fillBackground(*this, screenstyle::screenColor);
    containerView = new QWidget(this);
    containerView->setObjectName("containerView");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(containerView);

    auto& center = platform::NotificationCenter::defaultCenter();
    observers_.push_back(center.addObserver("ScanViewUpdateBGX", [this](const auto& n) { notificationSetView(n); }));
    observers_.push_back(center.addObserver("ScanViewFirstUpdateStepBGX", [this](const auto&) { updateFirstStep(); }));
    showChild(ScanMenu::scanprocess);
}

void ScanViewController::viewWillAppear()
{
    updateFirstStep();
}

QWidget* ScanViewController::mainControl()
{
    QWidget* child = containerView ? containerView->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    auto* steps = dynamic_cast<AppearingScreen*>(child);
    return steps ? steps->mainControl() : nullptr;
}

void ScanViewController::updateFirstStep()
{
    if (isScanResultsShown)
        return;
    if (!scanResults().empty()) {
        showChild(ScanMenu::scanresult);
    } else if (!isStartupItemsCleanStarted) {
        showChild(ScanMenu::scanprocess);
        Scan::shared().startScan();
    }
}

void ScanViewController::notificationSetView(const platform::Notification& notification)
{
    if (const ScanMenu* menu = notification.value<ScanMenu>(menuKey))
        showChild(*menu);
}

void ScanViewController::showChild(ScanMenu menu)
{
    QWidget& child = childScreens_(menu);
    if (!containerView)
        return;
    showScreen(*containerView, child);
    isScanResultsShown = menu == ScanMenu::cleanProcess;
}
