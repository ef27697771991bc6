#include "Agent/CrashAlert.h"

#include "Agent/AlertLabels.h"
#include "Agent/AlertNotifications.h"
#include "Agent/AlertStyle.h"
#include "Agent/ApplicationHandOver.h"
#include "Agent/CrashSnooze.h"
#include "Agent/TextMatches.h"
#include "Controls/AgentNotificationNames.h"
#include "Controls/FlatButton.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Platform/LoginItems/FileURL.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include <chrono>

namespace {

constexpr int windowWidth = 440;
constexpr const char* supportPhoneNumber = "+1 (800) 555-0142";

} // namespace

using namespace alertstyle;

std::vector<QString> snoozeOptions()
{
    return {screenText("IDS_BGX_147"), "30 " + screenText("IDS_BGX_215"), "1 " + screenText("IDS_BGX_216"),
            "12 " + screenText("IDS_BGX_217"), "24 " + screenText("IDS_BGX_217")};
}

int shownSnoozeChoice()
{
    platform::UserDefaults* suite = appGroupDefaults();
    if (!suite)
        return 0;
    const std::int64_t stored = suite->integer(SettingsKey::snoozeFor).value_or(0);
    const auto count = static_cast<std::int64_t>(snoozeOptions().size());
    return stored >= 0 && stored < count ? static_cast<int>(stored) : 0;
}

std::optional<std::string> crashedApplicationName(const std::string& reportPath)
{
    const auto found = matches(".+?(?=_[0-9]{4}-)", platform::lastPathComponent(reportPath));
    return found.empty() ? std::nullopt : std::optional<std::string>(found.front());
}

CrashesViewController::CrashesViewController()
    : AlertWindow(windowWidth), lblAttention(heading()), lblTitle(message()), lblSubTitle(subMessage()),
      lblProductName(&productNameLabel()), btnClose(&closeButton())
{
    makeScanAndCall();
    makeSnooze();
    lblAttention->setText(screenText("IDS_BGX_58"));
    lblTitle->clear();
    lblTitle->hide();
    lblSubTitle->setText(screenText("IDS_BGX_207"));
    btnScanNow->setText(screenText("IDS_BGX_208"));
    fitToTitle(*btnScanNow);
    lblYouMayAlsoCall->setText(screenText("IDS_BGX_209"));
    lblSnoozeFor->setText(screenText("IDS_BGX_213"));
    refit();
    observer_ = platform::NotificationCenter::defaultCenter().addObserver(
        AlertNotification::newCrashReport,
        [this](const platform::Notification& notification) { notificationUpdateUI(notification); });
}

void CrashesViewController::makeScanAndCall()
{
    QBoxLayout& row = addButtonRow();
    auto* call = new QVBoxLayout;
    call->setSpacing(2);
    lblYouMayAlsoCall = makeLabel(this, 11, mutedColor);
    lblYouMayAlsoCall->setWordWrap(true);
    lblPhoneNumber = makeLabel(this, 13, textColor, true);
    lblPhoneNumber->setText(supportPhoneNumber);
    lblPhoneNumber->setTextInteractionFlags(Qt::TextSelectableByMouse);
    call->addWidget(lblYouMayAlsoCall);
    call->addWidget(lblPhoneNumber);
    btnScanNow = makeActionButton(this, accentColor);
    connect(btnScanNow, &FlatButton::clicked, this, [this] { clickedScanNow(); });
    setMainButton(*btnScanNow);
    row.addLayout(call, 1);
    row.addWidget(btnScanNow, 0, Qt::AlignVCenter);
}

void CrashesViewController::makeSnooze()
{
    QFrame* panel = addPanel();
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(16, 8, 12, 8);
    row->setSpacing(10);
    lblSnoozeFor = makeLabel(panel, 11, mutedColor);
    comboBoxSnoozeFor = new QComboBox(panel);
    comboBoxSnoozeFor->setMinimumWidth(130);
    connect(comboBoxSnoozeFor, &QComboBox::activated, this, [this](int index) { clickedSnoozeFor(index); });
    row->addWidget(lblSnoozeFor, 1);
    row->addWidget(comboBoxSnoozeFor);
}

void CrashesViewController::showEvent(QShowEvent* event)
{
    AlertWindow::showEvent(event);
    if (event->spontaneous())
        return;
    (void)isCrashAlertSnoozed();
    comboBoxSnoozeFor->clear();
    for (const QString& option : snoozeOptions())
        comboBoxSnoozeFor->addItem(option);
    comboBoxSnoozeFor->setCurrentIndex(shownSnoozeChoice());
}

void CrashesViewController::notificationUpdateUI(const platform::Notification& notification)
{
    const auto* report = notification.value<std::string>(AlertKey::crashReport);
    if (!report)
        return;
    path_ = *report;
    if (const auto name = crashedApplicationName(*report)) {
        setWrappedText(*lblTitle, QString::fromStdString(*name) + " " + screenText("IDS_BGX_206"), messageLineWidth());
        lblTitle->show();
        refit();
    }
}

void CrashesViewController::clickedSnoozeFor(int index)
{
    platform::UserDefaults* suite = appGroupDefaults();
    if (index < 0 || !suite)
        return;
    suite->setInteger(SettingsKey::snoozeFor, index);
    suite->setObject(SettingsKey::snoozeForDate, platform::Value(std::chrono::system_clock::now()));
}

void CrashesViewController::clickedScanNow()
{
    handOverToApplication(SettingsKey::clickedCrashesDateAGSQ, observeAGSQCrashReportNotificationName);
    close();
}

void CrashesViewController::closeEvent(QCloseEvent* event)
{
    path_.reset();
    AlertWindow::closeEvent(event);
}
