#include "Screens/Manage/StartupManagerTableCellView.h"

#include "Controls/ToggleSwitch.h"
#include "Screens/Common/ElidedLabel.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Manage/ManageLook.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>

namespace {

constexpr int iconSide = 32;

QLabel* makeElidedText(QWidget* parent, const char* name, const QColor& colour)
{
    auto* label = new ElidedLabel(Qt::ElideRight, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPointSize(12);
    label->setFont(font);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred); // shares the row with the fixed columns
    StartupManagerTableCellView::setTextColour(*label, colour);
    return label;
}

} // namespace

StartupManagerTableCellView::StartupManagerTableCellView(QWidget* parent) : QWidget(parent)
{
    setObjectName("StartupManager");
    setFixedHeight(rowHeight);
    btnSelect = new QCheckBox(this);
    btnSelect->setObjectName("btnSelect");
    btnSelect->setCursor(Qt::PointingHandCursor);
    imgViewIcon = new QLabel(this);
    imgViewIcon->setObjectName("imgViewIcon");
    imgViewIcon->setFixedSize(iconSide, iconSide);
    lblName = makeElidedText(this, "lblName", manageLook::headlineColor());
    lblCompanyName = makeElidedText(this, "lblCompanyName", manageLook::bodyColor());
    lblCompanyName->setFixedWidth(publisherWidth);
    btnToggle = new ToggleSwitch(this);
    btnToggle->setObjectName("btnToggle");
    btnToggle->setFixedSize(44, 24);
    imgViewAlert = new QLabel(this);
    imgViewAlert->setObjectName("imgViewAlert");
    imgViewAlert->setFixedSize(24, 24);
    setImageNamed(*imgViewAlert, "exclamationM");
    lblEnableDisable = makeElidedText(this, "lblEnableDisable", Qt::white);

    auto* status = new QHBoxLayout;
    status->setSpacing(10);
    status->addWidget(btnToggle);
    status->addWidget(imgViewAlert);
    status->addWidget(lblEnableDisable, 1);
    auto* statusColumn = new QWidget(this);
    statusColumn->setFixedWidth(statusWidth);
    statusColumn->setLayout(status);
    status->setContentsMargins(0, 0, 0, 0);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 0, 16, 0);
    layout->setSpacing(12);
    layout->addWidget(btnSelect);
    layout->addWidget(imgViewIcon);
    layout->addWidget(lblName, 1);
    layout->addWidget(lblCompanyName);
    layout->addWidget(statusColumn);
    prepareForReuse();
}

void StartupManagerTableCellView::setTextColour(QLabel& label, const QColor& colour)
{
    label.setStyleSheet(QString("color: %1;").arg(colour.name())); // holds inside the table's style sheet
}

void StartupManagerTableCellView::prepareForReuse()
{
    imgViewIcon->clear();
    lblName->clear();
    lblCompanyName->clear();
    lblEnableDisable->clear();
    imgViewAlert->hide();
    btnSelect->show();
}
