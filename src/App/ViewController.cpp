#include "App/ViewController.h"

#include "App/AllViewControllers.h"
#include "App/BusyState.h"
#include "Controls/CustomAnimator.h"
#include "Controls/FocusRing.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ScreenContainer.h"
#include "Screens/Manage/AboutVC.h"
#include "Screens/Manage/ProtectionViewController.h"
#include "Screens/Manage/SettingsViewController.h"
#include "Screens/Manage/StartupMangerViewController.h"
#include "Screens/Scan/OverviewViewController.h"
#include "Screens/Scan/ScanViewController.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLayout>
#include <QVBoxLayout>

namespace {

struct SidebarItem {
    Menu menu;
    const char* name;    // outlet names: box<name>, box<name>Line, lbl<name>, btn<name>
    const char* textKey; // its label's text
    void (ViewController::*clicked)();
    QWidget& (*screen)();
};

template <class Screen, Screen& (*accessor)()>
QWidget& screenOf()
{
    return accessor();
}

const SidebarItem sidebarItems[] = {
    {Menu::overview, "Overview", "IDS_BGX_3", &ViewController::clickedOverviewMenu,
     screenOf<OverviewViewController, &AllViewControllers::overviewViewController>},
    {Menu::scan, "Scan", "IDS_BGX_4", &ViewController::clickedScanMenu,
     screenOf<ScanViewController, &AllViewControllers::scanViewController>},
    {Menu::protection, "Protection", "IDS_BGX_5", &ViewController::clickedProtectionMenu,
     screenOf<ProtectionViewController, &AllViewControllers::protectionViewController>},
    {Menu::startupManager, "StartupManager", "IDS_BGX_6", &ViewController::clickedStartupManagerMenu,
     screenOf<StartupMangerViewController, &AllViewControllers::startupMangerViewController>},
    {Menu::settings, "Settings", "IDS_BGX_7", &ViewController::clickedSettingsMenu,
     screenOf<SettingsViewController, &AllViewControllers::settingsViewController>},
};

constexpr QSize viewSize(1008, 720);
const QColor systemGrayColor(142, 142, 147);
const QColor chromeColor(22, 32, 43);
const QColor sidebarColor(30, 42, 55);
const QColor containerColor(244, 246, 248);

QFrame* makeBox(const QString& name, const QColor& fill, QWidget* parent)
{
    auto* box = new QFrame(parent);
    box->setObjectName(name);
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, fill);
    box->setPalette(palette);
    return box;
}

void setTextColor(QLabel& label, const QColor& colour)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

} // namespace

void LayoutConstraint::setConstant(double constant)
{
    constant_ = constant;
    const QMargins margins = layout_.contentsMargins();
    layout_.setContentsMargins(margins.left(), margins.top(), margins.right(), qRound(constant));
}

ViewController::ViewController(QWidget* parent) : QWidget(parent)
{
    loadView();
    viewDidLoad();
}

void ViewController::loadView()
{
    resize(viewSize); // the scene's frame, which the shared animator takes as its rectangle
    boxHeader = makeBox("boxHeader", chromeColor, this);
    boxHeader->setFixedHeight(44);
    lblTitle = new QLabel(boxHeader);
    lblTitle->setObjectName("lblTitle");
    lblTitle->setFont(QFont(lblTitle->font().family(), 15, QFont::DemiBold));
    setTextColor(*lblTitle, Qt::white);
    (new QHBoxLayout(boxHeader))->addWidget(lblTitle);
    boxHeader->layout()->setContentsMargins(20, 0, 20, 0);

    boxMenu = makeBox("boxMenu", sidebarColor, this);
    boxMenu->setFixedWidth(200);
    auto* menuLayout = new QVBoxLayout(boxMenu);
    menuLayout->setContentsMargins(0, 12, 0, 0);
    menuLayout->setSpacing(0);
    for (const SidebarItem& item : sidebarItems) {
        const QString name = item.name;
        SidebarEntry& entry = entries_[static_cast<std::size_t>(item.menu)];
        entry.box = makeBox("box" + name, sidebarColor, boxMenu);
        entry.box->setFixedHeight(52);
        auto* row = new QWidget(entry.box);
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        entry.line = makeBox("box" + name + "Line", sidebarLineColor(), row);
        entry.line->setFixedWidth(4);
        QSizePolicy keepsPlace = entry.line->sizePolicy();
        keepsPlace.setRetainSizeWhenHidden(true); // labels stay aligned whichever entry is marked
        entry.line->setSizePolicy(keepsPlace);
        entry.label = new QLabel(row);
        entry.label->setObjectName("lbl" + name);
        entry.label->setFont(QFont(entry.label->font().family(), 12));
        rowLayout->addWidget(entry.line);
        rowLayout->addSpacing(18);
        rowLayout->addWidget(entry.label, 1);
        entry.button = new QPushButton(entry.box);
        entry.button->setObjectName("btn" + name);
        entry.button->setFlat(true);
        entry.button->setCursor(Qt::PointingHandCursor);
        entry.button->setStyleSheet(controls::overlayButtonStyle()); // the ring: 3.4:1 on the sidebar
        entry.button->setFocusPolicy(Qt::TabFocus);
        entry.button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding); // the whole entry
        QObject::connect(entry.button, &QPushButton::clicked, this, [this, clicked = item.clicked] { (this->*clicked)(); });
        auto* boxLayout = new QGridLayout(entry.box);
        boxLayout->setContentsMargins(0, 0, 0, 0);
        boxLayout->addWidget(row, 0, 0);
        boxLayout->addWidget(entry.button, 0, 0);
        entry.bottomConstant = std::make_unique<LayoutConstraint>(*boxLayout);
        menuLayout->addWidget(entry.box);
    }
    menuLayout->addStretch(1);

    containerView = makeBox("containerView", containerColor, this);
    boxFooter = makeBox("boxFooter", chromeColor, this);
    boxFooter->setFixedHeight(24);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(boxMenu);
    middle->addWidget(containerView, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(boxHeader);
    layout->addLayout(middle, 1);
    layout->addWidget(boxFooter);
}

void ViewController::viewDidLoad()
{
    languageTable() = readBundlePlist("English");
    paragraphStyle().alignment = Qt::AlignHCenter;
    sharedAnimator() = new CustomAnimator(0.5, geometry(), this);
    selectMenu(Menu::overview);
    auto& center = platform::NotificationCenter::defaultCenter();
    observers_.push_back(center.addObserver("MenuSelectionBGX", [this](const auto& n) { notifyMenuSelection(n); }));
    observers_.push_back(center.addObserver("AboutWindowBGX", [this](const auto&) { aboutWindow(); }));
    lblTitle->setText(QString::fromStdString(localizedText("IDS_BGX_1")));
    for (const SidebarItem& item : sidebarItems) {
        const QString text = QString::fromStdString(localizedText(item.textKey));
        entry(item.menu).label->setText(text);
        entry(item.menu).button->setAccessibleName(text); // the button lies over its label
    }
    setFixedSize(viewSize);
}

void ViewController::selectMenuItemIfIdle(Menu menu)
{
    if (!isScanOrCleanBusy())
        selectMenu(menu);
}

void ViewController::selectMenu(Menu menu)
{
    for (const SidebarItem& item : sidebarItems) {
        const SidebarEntry& each = entry(item.menu);
        const bool chosen = item.menu == menu;
        each.line->setVisible(chosen);
        setTextColor(*each.label, chosen ? QColor(Qt::white) : systemGrayColor);
        each.bottomConstant->setConstant(chosen ? 0.0 : 1.0);
    }
    if (!containerView)
        return;
    showScreen(*containerView, sidebarItems[static_cast<std::size_t>(menu)].screen());
    if (menu == Menu::scan)
        platform::NotificationCenter::defaultCenter().post("ScanViewFirstUpdateStepBGX");
}

void ViewController::notifyMenuSelection(const platform::Notification& notification)
{
    if (const Menu* menu = notification.value<Menu>(menuKey))
        selectMenu(*menu);
}

void ViewController::aboutWindow()
{
    if (CustomAnimator* animator = sharedAnimator()) {
        AboutVC& about = AllViewControllers::about();
        about.released = AllViewControllers::releaseAbout;
        animator->animatePresentation(about, *this);
    }
}
