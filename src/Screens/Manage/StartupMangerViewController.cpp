#include "Screens/Manage/StartupMangerViewController.h"

#include "Foundation/SharedState.h"
#include "Screens/Common/ScreenContainer.h"

#include <QVBoxLayout>

StartupMangerViewController::StartupMangerViewController(ChildScreens childScreens, QWidget* parent)
    : QWidget(parent), childScreens_(std::move(childScreens))
{
    setObjectName("StartupMangerViewController");
    containerView = new QWidget(this);
    containerView->setObjectName("containerView");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(containerView);
    observers_.push_back(platform::NotificationCenter::defaultCenter().addObserver(
        "StartupItemsViewUpdateBGX", [this](const auto& notification) { notificationSetView(notification); }));
    showChild(StartupItemsState::viewStartupItems);
}

void StartupMangerViewController::notificationSetView(const platform::Notification& notification)
{
    if (const auto* state = notification.value<StartupItemsState>(menuKey))
        showChild(*state);
}

void StartupMangerViewController::showChild(StartupItemsState state)
{
    QWidget& child = childScreens_(state);
    if (!containerView)
        return;
    showScreen(*containerView, child);
    isScanResultsShown = false;
}
