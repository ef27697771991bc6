#include "Screens/Manage/ProtectionViewController.h"

#include "Controls/ToggleSwitch.h"
#include "Foundation/ProtectionSwitch.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Screens/Manage/ManageLook.h"
#include "Screens/Manage/UnsavedSettingSheet.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const QString activeProtectionId = "ActiveProtection";
const QString startupProtectionId = "StartupProtection";
const QColor switchOnColor(0, 104, 218);

void showCaption(QLabel& caption, bool on)
{
    caption.setText(screenText(on ? "IDS_BGX_23" : "IDS_BGX_24"));
}

ToggleSwitch* makeSwitch(QWidget* parent, const QString& name)
{
    auto* toggle = new ToggleSwitch(parent);
    toggle->setObjectName(name);
    toggle->setFixedSize(56, 30);
    toggle->setFillColor(switchOnColor);
    toggle->setOutlineColor(QColor(110, 110, 110));
    toggle->setBackColor(manageLook::panelBackground());
    return toggle;
}

// Screen readers name a switch by its card's title and describe it by the card's text.
void nameSwitch(ToggleSwitch& toggle, const QLabel& title, const QLabel& description)
{
    toggle.setAccessibleName(title.text());
    toggle.setAccessibleDescription(description.text());
}

// One card: the switch's name and description on the left, the switch and its state
// caption on the right.
QWidget* makeCard(QWidget* parent, QLabel* name, QLabel* description, ToggleSwitch* toggle, QLabel* caption)
{
    auto* card = new QWidget(parent);
    manageLook::fillBackground(*card, manageLook::panelBackground());
    auto* grid = new QGridLayout(card);
    grid->setContentsMargins(24, 20, 24, 20);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(6);
    grid->addWidget(name, 0, 0);
    grid->addWidget(description, 1, 0);
    grid->addWidget(toggle, 0, 1, Qt::AlignHCenter | Qt::AlignVCenter);
    grid->addWidget(caption, 1, 1, Qt::AlignHCenter | Qt::AlignTop);
    grid->setColumnStretch(0, 1);
    for (QWidget* moved : {static_cast<QWidget*>(name), static_cast<QWidget*>(description),
                           static_cast<QWidget*>(toggle), static_cast<QWidget*>(caption)})
        moved->setParent(card);
    return card;
}

} // namespace

ProtectionViewController::ProtectionViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("ProtectionViewController");
    loadView();
    viewDidLoad();
}

void ProtectionViewController::loadView()
{
    using namespace manageLook;
    fillBackground(*this, screenBackground());
    lblTitleRealTimeProtection = screenstyle::makeLabel(
        this, "lblTitleRealTimeProtection", 20, headlineColor(), QFont::Bold, screenstyle::LabelWrap::words);
    lblSubTitleRealTimeProtection = screenstyle::makeLabel(
        this, "lblSubTitleRealTimeProtection", 12, bodyColor(), QFont::Normal, screenstyle::LabelWrap::words);
    lblActiveProtection = screenstyle::makeLabel(
        this, "lblActiveProtection", 15, headlineColor(), QFont::Bold, screenstyle::LabelWrap::words);
    lblRealTimeProtectionAgainst = screenstyle::makeLabel(
        this, "lblRealTimeProtectionAgainst", 12, bodyColor(), QFont::Normal, screenstyle::LabelWrap::words);
    lblStartupProtection = screenstyle::makeLabel(
        this, "lblStartupProtection", 15, headlineColor(), QFont::Bold, screenstyle::LabelWrap::words);
    lblInstantlyPreventApplications = screenstyle::makeLabel(
        this, "lblInstantlyPreventApplications", 12, bodyColor(), QFont::Normal, screenstyle::LabelWrap::words);
    lblEnableDisableActiveProtection = screenstyle::makeLabel(
        this, "lblEnableDisableActiveProtection", 12, bodyColor(), QFont::Normal, screenstyle::LabelWrap::words);
    lblEnableDisableStartupProtection = screenstyle::makeLabel(
        this, "lblEnableDisableStartupProtection", 12, bodyColor(), QFont::Normal, screenstyle::LabelWrap::words);
    btnActiveProtection = makeSwitch(this, "btnActiveProtection");
    btnStartupProtection = makeSwitch(this, "btnStartupProtection");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 36, 40, 36);
    layout->setSpacing(8);
    layout->addWidget(lblTitleRealTimeProtection);
    layout->addWidget(lblSubTitleRealTimeProtection);
    layout->addSpacing(20);
    layout->addWidget(makeCard(this, lblActiveProtection, lblRealTimeProtectionAgainst, btnActiveProtection,
                               lblEnableDisableActiveProtection));
    layout->addSpacing(12);
    layout->addWidget(makeCard(this, lblStartupProtection, lblInstantlyPreventApplications, btnStartupProtection,
                               lblEnableDisableStartupProtection));
    layout->addStretch(1);
}

void ProtectionViewController::viewDidLoad()
{
    toggleObserver_ = platform::NotificationCenter::defaultCenter().addObserver(
        toggleProtectionNotificationName, [this](const platform::Notification& n) { btnToggleClicked(n); });
    btnActiveProtection->toggleId = activeProtectionId;
    btnStartupProtection->toggleId = startupProtectionId;
    btnActiveProtection->statetag = ToggleSwitch::protectionTag;
    btnStartupProtection->statetag = ToggleSwitch::protectionTag;
    lblTitleRealTimeProtection->setText(screenText("IDS_BGX_27"));
    lblSubTitleRealTimeProtection->setText(screenText("IDS_BGX_28"));
    lblActiveProtection->setText(screenText("IDS_BGX_14"));
    lblRealTimeProtectionAgainst->setText(screenText("IDS_BGX_29"));
    lblStartupProtection->setText(screenText("IDS_BGX_30"));
    lblInstantlyPreventApplications->setText(screenText("IDS_BGX_31"));
    nameSwitch(*btnActiveProtection, *lblActiveProtection, *lblRealTimeProtectionAgainst);
    nameSwitch(*btnStartupProtection, *lblStartupProtection, *lblInstantlyPreventApplications);
    for (const ProtectionSwitch& each : switches()) // the state before any stored one is read
        showCaption(*each.caption, each.toggle->isOn());
}

void ProtectionViewController::viewWillAppear()
{
    stateUpdateRealTimeProtection();
}

// Read as the agent reads them.
void ProtectionViewController::stateUpdateRealTimeProtection()
{
    if (!appGroupDefaults())
        return;
    for (const ProtectionSwitch& each : switches())
        showState(each, !isSwitchedOff(each.key));
}

void ProtectionViewController::btnToggleClicked(const platform::Notification& notification)
{
    const bool* isOn = notification.value<bool>("isOn");
    const std::string* toggleId = notification.value<std::string>("toggleId");
    if (!isOn || !toggleId)
        return;
    for (const ProtectionSwitch& each : switches()) {
        if (each.toggle->toggleId.toStdString() != *toggleId)
            continue;
        platform::UserDefaults* suite = appGroupDefaults();
        if (suite && suite->setBool(each.key, *isOn)) {
            showCaption(*each.caption, *isOn);
            return;
        }
        // Not stored: the switch shows what the agent goes by.
        showState(each, suite ? !isSwitchedOff(each.key) : !*isOn);
        showUnsavedSettingSheet(*this);
        return;
    }
}

void ProtectionViewController::showState(const ProtectionSwitch& shown, bool on)
{
    shown.toggle->setIsOn(on);
    shown.toggle->updateToggleState();
    showCaption(*shown.caption, on);
}

std::array<ProtectionViewController::ProtectionSwitch, 2> ProtectionViewController::switches() const
{
    return {{{btnActiveProtection, lblEnableDisableActiveProtection, SettingsKey::isActiveProtectionEnabled},
             {btnStartupProtection, lblEnableDisableStartupProtection, SettingsKey::isStartupProtectionEnabled}}};
}
