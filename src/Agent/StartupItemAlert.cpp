#include "Agent/StartupItemAlert.h"

#include "Agent/AlertNotifications.h"
#include "Agent/AlertStyle.h"
#include "Agent/ApplicationHandOver.h"
#include "Controls/AgentNotificationNames.h"
#include "Controls/FlatButton.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Platform/LoginItems/FileURL.h"

#include <QFrame>
#include <QVBoxLayout>

namespace {

constexpr int windowWidth = 440;

} // namespace

using namespace alertstyle;

ViewControllerRT::ViewControllerRT()
    : QueuedAlertWindow(windowWidth), btnClose(&closeButton()), lblAttention(heading()), lblMessage(message()),
      lblSubMessage(subMessage()), lblAppName(&productNameLabel())
{
    QFrame* panel = addPanel();
    auto* lines = new QVBoxLayout(panel);
    lines->setContentsMargins(16, 12, 16, 12);
    lines->setSpacing(4);
    lblNewStartupItem = makeLabel(panel, 11, mutedColor);
    lblNewStartupItem->setWordWrap(true);
    lblStartupItem = new ElidingLabel(panel);
    styleLabel(*lblStartupItem, 13, textColor, true);
    lines->addWidget(lblNewStartupItem);
    lines->addWidget(lblStartupItem);

    QBoxLayout& buttons = addButtonRow();
    btnManageNow = makeActionButton(this, accentColor);
    connect(btnManageNow, &FlatButton::clicked, this, [this] { clickedManageNow(); });
    setMainButton(*btnManageNow);
    buttons.addStretch(1);
    buttons.addWidget(btnManageNow);

    btnManageNow->setText(screenText("IDS_BGX_189"));
    fitToTitle(*btnManageNow);
    lblAttention->setText(screenText("IDS_BGX_58"));
    lblMessage->setText(screenText("IDS_BGX_190"));
    lblSubMessage->setText(screenText("IDS_BGX_191"));
    lblNewStartupItem->setText(screenText("IDS_BGX_192"));
    refit();
    observer_ = platform::NotificationCenter::defaultCenter().addObserver(
        AlertNotification::newStartupItem,
        [this](const platform::Notification& notification) { notificationUpdateUI(notification); });
}

void ViewControllerRT::notificationUpdateUI(const platform::Notification& notification)
{
    const std::string* item = notification.value<std::string>(AlertKey::newStartupItem);
    const std::string* type = notification.value<std::string>(AlertKey::startupType);
    if (!item || !type)
        return;
    offer({*item, *type});
}

void ViewControllerRT::showItem(const NewStartupItem& item)
{
    lblNewStartupItem->setText(screenText("IDS_BGX_192") + " (" + QString::fromStdString(item.startupType) + "):");
    lblStartupItem->setText(QString::fromStdString(platform::lastPathComponent(item.item)));
    refit();
}

void ViewControllerRT::clickedManageNow()
{
    handOverToApplication(SettingsKey::clickedManageAppDateAGSQ, observeAGSQNotificationName);
    close();
}
