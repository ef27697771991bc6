#include "Screens/Manage/SettingsViewController.h"

#include "Foundation/PresentationSlots.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ScreenContainer.h"
#include "Screens/Common/TabBox.h"
#include "Screens/Manage/ManageLook.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct TabItem {
    SettingsMenu menu;
    const char* name; // outlet names: box<name>, boxVerticalLine<name>, lbl<name>, btn<name>
    const char* textKey;
    void (SettingsViewController::*clicked)();
};

const TabItem tabItems[] = {
    {SettingsMenu::general, "GeneralSettings", "IDS_BGX_47", &SettingsViewController::clickedGeneralSettings},
    {SettingsMenu::update, "UpdateSettings", "IDS_BGX_48", &SettingsViewController::clickedUpdateSettings},
    {SettingsMenu::ignoreList, "IgnoreList", "IDS_BGX_49", &SettingsViewController::clickedIgnoreList},
};

QFrame* makeBox(QWidget* parent, const QString& name, const QColor& colour)
{
    auto* box = new QFrame(parent);
    box->setObjectName(name);
    manageLook::fillBackground(*box, colour);
    return box;
}

} // namespace

const QColor SettingsViewController::tabColor = QColor::fromRgbF(43 / 255.0, 43 / 255.0, 43 / 255.0, 1.0);
const QColor SettingsViewController::selectedTabColor = QColor::fromRgbF(0.2, 0.2, 0.2, 1.0);

SettingsViewController::SettingsViewController(TabScreens screens, QWidget* parent)
    : QWidget(parent), screens_(std::move(screens))
{
    setObjectName("SettingsViewController");
    loadView();
    viewDidLoad();
}

void SettingsViewController::loadView()
{
    auto* tabColumn = makeBox(this, "boxTabs", tabColor);
    tabColumn->setFixedWidth(180);
    auto* tabLayout = new QVBoxLayout(tabColumn);
    tabLayout->setContentsMargins(0, 24, 0, 0);
    tabLayout->setSpacing(1);
    for (const TabItem& item : tabItems) {
        const QString name = item.name;
        Tab& each = tabs_[static_cast<std::size_t>(item.menu)];
        each.verticalLine = makeBox(tabColumn, "boxVerticalLine" + name, sidebarLineColor());
        each.verticalLine->setFixedWidth(4);
        QSizePolicy keepsPlace = each.verticalLine->sizePolicy();
        keepsPlace.setRetainSizeWhenHidden(true); // captions stay aligned whichever tab is marked
        each.verticalLine->setSizePolicy(keepsPlace);
        each.label = screenstyle::makeLabel(
            tabColumn, "lbl" + name, 13, manageLook::headlineColor(), QFont::Normal, screenstyle::LabelWrap::words);
        auto* row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(each.verticalLine);
        row->addSpacing(20);
        row->addWidget(each.label, 1);
        const TabBox tab = makeTabBox(tabColumn, "box" + name, "btn" + name, row);
        each.box = tab.box;
        each.button = tab.button;
        each.box->setFixedHeight(48);
        manageLook::fillBackground(*each.box, tabColor);
        connect(each.button, &QPushButton::clicked, this, [this, clicked = item.clicked] { (this->*clicked)(); });
        tabLayout->addWidget(each.box);
    }
    tabLayout->addStretch(1);

    containerView = makeBox(this, "containerView", manageLook::screenBackground());
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabColumn);
    layout->addWidget(containerView, 1);
}

void SettingsViewController::viewDidLoad()
{
    observer_ = platform::NotificationCenter::defaultCenter().addObserver(
        "SettingViewUpdateBGX", [this](const platform::Notification& n) { notificationSetView(n); });
    showSettingsTab(SettingsMenu::general);
    for (const TabItem& item : tabItems)
        tab(item.menu).label->setText(screenText(item.textKey));
}

void SettingsViewController::viewWillAppear()
{
    for (QWidget* shown : containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (auto* steps = dynamic_cast<AppearingScreen*>(shown))
            steps->viewWillAppear();
}

void SettingsViewController::notificationSetView(const platform::Notification& notification)
{
    if (const SettingsMenu* menu = notification.value<SettingsMenu>(menuKey))
        showSettingsTab(*menu);
}

void SettingsViewController::showSettingsTab(SettingsMenu menu)
{
    for (const Tab& each : tabs_) {
        manageLook::fillBackground(*each.box, tabColor);
        each.verticalLine->hide();
        setTabSelected(*each.button, false);
    }
    if (!containerView)
        return;
    showScreen(*containerView, screens_(menu)); // a tab chosen again runs its appear steps again
    const Tab& chosen = tab(menu);
    manageLook::fillBackground(*chosen.box, selectedTabColor);
    chosen.verticalLine->show();
    setTabSelected(*chosen.button, true);
}
