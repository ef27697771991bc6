// The Overview's views: a header with the welcome and Start Scan Now, three status
// cards, and the system-information panel that slides over the right edge.
#include "Screens/Scan/OverviewViewController.h"

#include "Controls/FlatButton.h"
#include "Controls/FocusRing.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/ScreenStyle.h"
#include "Screens/Common/ScreenWidgets.h"

#include <QGraphicsDropShadowEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QVBoxLayout>

using namespace screenstyle;

namespace {

constexpr int panelWidth = 250;
constexpr int panelButtonSize = 40;
constexpr int panelMargin = 16;

QLabel* makeImageView(QWidget* parent, const char* name, int side)
{
    auto* view = new QLabel(parent);
    view->setObjectName(name);
    view->setFixedSize(side, side);
    view->setAlignment(Qt::AlignCenter);
    return view;
}

// One caption over a value, for the panel's rows.
QVBoxLayout* captionedRow(QLabel* caption, QWidget* value)
{
    auto* row = new QVBoxLayout;
    row->setSpacing(2);
    row->addWidget(caption);
    row->addWidget(value);
    return row;
}

} // namespace

void OverviewViewController::loadView()
{
    fillBackground(*this, screenColor);

    boxgradient = new QFrame(this);
    boxgradient->setObjectName("boxgradient");
    boxgradient->setFixedHeight(250);
    lblWelcomeToBastionGuardpoin = makeLabel(boxgradient, "lblWelcomeToBastionGuardpoin", 20, Qt::white, QFont::Bold);
    lblProtectYourSystemAgainst = makeLabel(boxgradient, "lblProtectYourSystemAgainst", 13, QColor(222, 230, 240));
    lblGiveYourPCAThroughScan = makeLabel(boxgradient, "lblGiveYourPCAThroughScan", 13, QColor(222, 230, 240));
    for (QLabel* text : {lblProtectYourSystemAgainst, lblGiveYourPCAThroughScan})
        text->setWordWrap(true);
    btnStartScanNow = new FlatButton(boxgradient);
    styleFilledButton(*btnStartScanNow, "btnStartScanNow", 190, 44);
    lblLastScanDate = makeLabel(boxgradient, "lblLastScanDate", 11, QColor(200, 210, 222));
    imgViewShield = makeImageView(boxgradient, "imgViewShield", 120);
    setImageNamed(*imgViewShield, "AppIcon");

    auto* welcome = new QVBoxLayout;
    welcome->setSpacing(8);
    welcome->addWidget(lblWelcomeToBastionGuardpoin);
    welcome->addWidget(lblProtectYourSystemAgainst);
    welcome->addWidget(lblGiveYourPCAThroughScan);
    welcome->addSpacing(10);
    auto* scanRow = new QHBoxLayout;
    scanRow->addWidget(btnStartScanNow);
    scanRow->addSpacing(14);
    scanRow->addWidget(lblLastScanDate, 1);
    welcome->addLayout(scanRow);
    auto* header = new QHBoxLayout(boxgradient);
    header->setContentsMargins(32, 28, 32, 28);
    header->addLayout(welcome, 1);
    header->addSpacing(20);
    header->addWidget(imgViewShield);

    auto* statusBox = screenstyle::makeCard(this, "boxStatus");
    lblActiveProtection = makeLabel(statusBox, "lblActiveProtection", 13, captionColor, QFont::Bold);
    imgViewActiveProtectionStatus = makeImageView(statusBox, "imgViewActiveProtectionStatus", 26);
    btnActiveProtectionValue = new QPushButton(statusBox);
    btnActiveProtectionValue->setObjectName("btnActiveProtectionValue");
    lblDatabaseStatus = makeLabel(statusBox, "lblDatabaseStatus", 13, captionColor, QFont::Bold);
    imgViewDefinationStatus = makeImageView(statusBox, "imgViewDefinationStatus", 26);
    btnDefinationStatusValue = new QPushButton(statusBox);
    btnDefinationStatusValue->setObjectName("btnDefinationStatusValue");
    lblDeceptorsCleaned = makeLabel(statusBox, "lblDeceptorsCleaned", 13, captionColor, QFont::Bold);
    lblTotalDeceptiveAppsRemoved = makeLabel(statusBox, "lblTotalDeceptiveAppsRemoved", 13, inkColor);
    for (QPushButton* status : {btnActiveProtectionValue, btnDefinationStatusValue}) {
        status->setFlat(true);
        status->setCursor(Qt::PointingHandCursor);
        status->setStyleSheet(
            "QPushButton { background: transparent; border: none; outline: none; text-align: left; padding: 0; }");
    }

    // One row a status: caption, icon, value; thin rules between the rows.
    const std::tuple<QLabel*, QLabel*, QWidget*> rows[] = {
        {lblActiveProtection, imgViewActiveProtectionStatus, btnActiveProtectionValue},
        {lblDatabaseStatus, imgViewDefinationStatus, btnDefinationStatusValue},
        {lblDeceptorsCleaned, nullptr, lblTotalDeceptiveAppsRemoved},
    };
    auto* statusGrid = new QGridLayout(statusBox);
    statusGrid->setContentsMargins(24, 6, 24, 6);
    statusGrid->setHorizontalSpacing(12);
    statusGrid->setVerticalSpacing(0);
    statusGrid->setColumnMinimumWidth(0, 160); // the values start early enough to end clear of the open panel
    statusGrid->setColumnMinimumWidth(1, 26);
    statusGrid->setColumnStretch(2, 1);
    int gridRow = 0;
    for (const auto& [caption, icon, value] : rows) {
        if (gridRow > 0) {
            auto* rule = new QFrame(statusBox);
            rule->setFixedHeight(1);
            rule->setStyleSheet(QString("background: %1;").arg(ruleColor.name()));
            statusGrid->addWidget(rule, gridRow++, 0, 1, 3);
        }
        statusGrid->setRowMinimumHeight(gridRow, 66);
        statusGrid->addWidget(caption, gridRow, 0);
        if (icon)
            statusGrid->addWidget(icon, gridRow, 1);
        statusGrid->addWidget(value, gridRow++, 2);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 28, 28 + panelButtonSize + 8, 28);
    layout->setSpacing(24);
    layout->addWidget(boxgradient);
    layout->addWidget(statusBox);
    layout->addStretch(1);

    boxsysteminfo = new QFrame(this);
    boxsysteminfo->setObjectName("boxsysteminfo");
    boxsysteminfo->setStyleSheet(
        QString("QFrame#boxsysteminfo { background: %1; border-radius: 5px; }").arg(panelColor.name()));
    lblAboutYourMac = makeLabel(boxsysteminfo, "lblAboutYourMac", 14, inkColor, QFont::Bold);
    imgview_macos = makeImageView(boxsysteminfo, "imgview_macos", 96);
    lblMacOS = makeLabel(boxsysteminfo, "lblMacOS", 11, captionColor, QFont::Bold);
    lblos = makeLabel(boxsysteminfo, "lblos", 13, inkColor, QFont::Bold);
    lblversion = makeLabel(boxsysteminfo, "lblversion", 12, inkColor);
    lblMemoryRam = makeLabel(boxsysteminfo, "lblMemoryRam", 11, captionColor, QFont::Bold);
    lblraminstalled = makeLabel(boxsysteminfo, "lblraminstalled", 12, inkColor);
    lblHardDrive = makeLabel(boxsysteminfo, "lblHardDrive", 11, captionColor, QFont::Bold);
    lblRemainingHarddrive = makeLabel(boxsysteminfo, "lblRemainingHarddrive", 12, inkColor);
    lblProcessor = makeLabel(boxsysteminfo, "lblProcessor", 11, captionColor, QFont::Bold);
    lblProcessorInfo = makeLabel(boxsysteminfo, "lblProcessorInfo", 12, inkColor);
    boxGraphic = new QFrame(boxsysteminfo);
    boxGraphic->setObjectName("boxGraphic");
    lblGraphics = makeLabel(boxGraphic, "lblGraphics", 11, captionColor, QFont::Bold);
    lblGrpahicsInfo = makeLabel(boxGraphic, "lblGrpahicsInfo", 12, inkColor);
    for (QLabel* value : {lblAboutYourMac, lblos, lblProcessorInfo, lblGrpahicsInfo})
        value->setWordWrap(true);
    auto* graphicsRow = captionedRow(lblGraphics, lblGrpahicsInfo);
    graphicsRow->setContentsMargins(0, 0, 0, 0);
    boxGraphic->setLayout(graphicsRow);

    auto* panel = new QVBoxLayout(boxsysteminfo);
    panel->setContentsMargins(panelMargin + 4, panelMargin + 4, panelMargin, panelMargin);
    panel->setSpacing(12);
    panel->addWidget(lblAboutYourMac);
    panel->addWidget(imgview_macos, 0, Qt::AlignHCenter);
    auto* systemRow = captionedRow(lblMacOS, lblos);
    systemRow->addWidget(lblversion);
    panel->addLayout(systemRow);
    panel->addLayout(captionedRow(lblMemoryRam, lblraminstalled));
    panel->addLayout(captionedRow(lblHardDrive, lblRemainingHarddrive));
    panel->addLayout(captionedRow(lblProcessor, lblProcessorInfo));
    panel->addWidget(boxGraphic);
    panel->addStretch(1);

    btnSystemInfo = new QPushButton(QString::fromUtf8("\u2139"), this);
    btnSystemInfo->setObjectName("btnSystemInfo");
    btnSystemInfo->setFixedSize(panelButtonSize, panelButtonSize);
    btnSystemInfo->setCursor(Qt::PointingHandCursor);
    btnSystemInfo->setProperty(controls::focusRingCornerProperty, -1); // round, as the button
    QFont infoFont = btnSystemInfo->font();
    infoFont.setPointSize(16);
    btnSystemInfo->setFont(infoFont);

    boxsysteminfo_trailing = std::make_unique<LayoutConstant>(-250.0, [this](double constant) {
        placeSystemInfoPanel(constant);
    });
    QObject::connect(btnStartScanNow, &QAbstractButton::clicked, this, [this] { clickedStartScanNow(); });
    QObject::connect(btnActiveProtectionValue, &QPushButton::clicked, this, [this] { clickedActiveProtectionStatus(); });
    QObject::connect(btnDefinationStatusValue, &QPushButton::clicked, this, [this] { clickedDatabaseStatus(); });
    QObject::connect(btnSystemInfo, &QPushButton::clicked, this, [this] { btnsystemInfoClicked(); });
    resize(808, 652);
}

void OverviewViewController::styleBoxes()
{
    boxgradient->setStyleSheet("QFrame#boxgradient { border-radius: 5px; background: qlineargradient("
                               "x1: 0, y1: 0, x2: 1, y2: 1, stop: 0 rgb(22, 32, 43), stop: 1 rgb(34, 98, 170)); }");
    auto* shadow = new QGraphicsDropShadowEffect(boxsysteminfo);
    shadow->setColor(QColor::fromRgbF(0, 0, 0, 0.7));
    shadow->setOffset(0, 0);
    shadow->setBlurRadius(10.0);
    boxsysteminfo->setGraphicsEffect(shadow);
    btnSystemInfo->setStyleSheet(QString("QPushButton { border-radius: 20px; background: %1; color: %2;"
                                         " border: 1px solid %3; outline: none; }")
                                     .arg(panelColor.name(), inkColor.name(), ruleColor.name()));
}

// The panel's trailing edge lies -constant beyond the view's: 250 out of sight when
// closed, on the view's edge when open. Its button rides on its leading edge at the
// foot, below the cards, so it never sits on them.
void OverviewViewController::placeSystemInfoPanel(double trailingConstant)
{
    const int left = width() - panelWidth - qRound(trailingConstant);
    boxsysteminfo->setGeometry(left, panelMargin, panelWidth, height() - 2 * panelMargin);
    boxsysteminfo->setVisible(trailingConstant > -panelWidth); // no shadow at the edge when closed
    btnSystemInfo->move(left - panelButtonSize - 8, height() - panelMargin - panelButtonSize);
    boxsysteminfo->raise();
    btnSystemInfo->raise();
}

void OverviewViewController::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeSystemInfoPanel(boxsysteminfo_trailing->constant());
}

void OverviewViewController::btnsystemInfoClicked()
{
    const double constant = boxsysteminfo_trailing->constant();
    if (constant != -250.0 && constant != 0.0)
        return;
    const QPoint panelFrom = boxsysteminfo->pos();
    const QPoint buttonFrom = btnSystemInfo->pos();
    const bool opening = constant == -250.0;
    boxsysteminfo_trailing->setConstant(opening ? 0.0 : -250.0);

    delete boxsysteminfo->findChild<QAbstractAnimation*>("SwitchToView1");
    auto* transition = new QParallelAnimationGroup(boxsysteminfo);
    transition->setObjectName("SwitchToView1");
    transition->setProperty("subtype", opening ? "fromRight" : "fromLeft");
    const std::pair<QWidget*, QPoint> moves[] = {{boxsysteminfo, panelFrom}, {btnSystemInfo, buttonFrom}};
    for (const auto& [view, from] : moves) {
        auto* push = new QPropertyAnimation(view, "pos", transition);
        push->setDuration(200);
        push->setEasingCurve(QEasingCurve::InOutQuad);
        push->setStartValue(from);
        push->setEndValue(view->pos());
        transition->addAnimation(push);
    }
    if (!opening) {
        boxsysteminfo->show(); // out of sight once the push has ended
        QObject::connect(transition, &QAbstractAnimation::finished, boxsysteminfo, [this] {
            placeSystemInfoPanel(boxsysteminfo_trailing->constant());
        });
    }
    transition->start();
}
