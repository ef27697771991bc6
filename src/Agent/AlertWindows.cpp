#include "Agent/AlertWindows.h"

#include "Agent/AgentStoryboard.h"
#include "Agent/AlertNotifications.h"
#include "Platform/Dispatch/Dispatch.h"

namespace {

struct KindScene {
    const char* identifier;
    const char* notification;
};

KindScene sceneOf(AlertKind kind)
{
    switch (kind) {
    case AlertKind::startupItem:
        return {AgentStoryboard::startupItemsWindowController, AlertNotification::newStartupItem};
    case AlertKind::download:
        return {AgentStoryboard::downloadProtectionWindowController, AlertNotification::newDownloadedItem};
    case AlertKind::crash:
        break;
    }
    return {AgentStoryboard::crashesWindowController, AlertNotification::newCrashReport};
}

} // namespace

QWidget* AlertWindows::windowController(AlertKind kind)
{
    auto& window = windows_[static_cast<std::size_t>(kind)];
    if (!window)
        window = AgentStoryboard::instantiateControllerWithIdentifier(sceneOf(kind).identifier);
    return window.get();
}

void AlertWindows::showAlert(AlertKind kind, platform::UserInfo userInfo)
{
    QWidget* window = windowController(kind);
    if (!window)
        return;
    // On top, but the keyboard stays where the user types (the window shows
    // without activating; a click activates it).
    window->show();
    window->raise();
    platform::NotificationCenter::defaultCenter().post(sceneOf(kind).notification, std::move(userInfo));
}

void raiseAlertOnMainQueue(std::weak_ptr<AlertWindows> windows, AlertKind kind, platform::UserInfo userInfo)
{
    platform::dispatch::asyncMain([windows = std::move(windows), kind, userInfo = std::move(userInfo)]() mutable {
        if (const auto alive = windows.lock())
            alive->showAlert(kind, std::move(userInfo));
    });
}
