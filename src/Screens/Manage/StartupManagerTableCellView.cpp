#include "Screens/Manage/StartupManagerTableCellView.h"

#include "Controls/ToggleSwitch.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ElidedLabel.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/PlainToolTip.h"
#include "Screens/Manage/ManageLook.h"
#include "Startup/LaunchAgent.h"
#include "Startup/LoginItem.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>

namespace {

constexpr int iconSide = 32;
const QColor switchGreen = QColor::fromRgbF(0, 176 / 255.0, 80 / 255.0, 1.0);

// What tells two items of the same name apart: the label and where the item lives.
QString toolTipOf(const std::optional<std::string>& label, const std::optional<std::string>& path,
                  const std::optional<std::string>& failure = std::nullopt)
{
    QStringList lines;
    for (const auto& line : {label, path, failure})
        if (line && !line->empty())
            lines << QString::fromStdString(*line);
    return lines.join('\n');
}

QString toolTipOf(const LoginItem& item)
{
    return toolTipOf(item.label, item.appUrl ? std::optional(item.appUrl->path()) : item.program);
}

QString toolTipOf(const LaunchAgent& agent)
{
    return toolTipOf(agent.label(), agent.plistPath, agent.removalFailure);
}

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

void StartupManagerTableCellView::fill(const LoginItem& item, int row)
{
    show(item, row, !item.isSMLoginItem);
}

void StartupManagerTableCellView::fill(const LaunchAgent& agent, int row)
{
    show(agent, row, true);
}

void StartupManagerTableCellView::showEnabled(bool on)
{
    lblEnableDisable->setText(screenText(on ? "IDS_BGX_23" : "IDS_BGX_24"));
}

template <class Record>
void StartupManagerTableCellView::show(const Record& item, int row, bool switchable)
{
    const QString unknown = screenText("IDS_BGX_45");
    btnSelect->setProperty("tag", row);
    lblName->setText(item.name ? QString::fromStdString(*item.name) : unknown);
    lblCompanyName->setText(item.company ? QString::fromStdString(*item.company) : unknown);
    btnSelect->setAccessibleName(lblName->text());
    btnToggle->setAccessibleName(lblName->text());
    setToolTip(plainToolTip(toolTipOf(item)));
    btnToggle->statetag = switchable ? row : ToggleSwitch::ignoresClicksTag;
    btnToggle->setFillColor(switchable ? switchGreen : QColor(Qt::lightGray));
    setTextColour(*lblEnableDisable, switchable ? QColor(Qt::white) : QColor(Qt::lightGray));
    btnSelect->setChecked(item.isSelected);
    btnToggle->setVisible(!item.isInvalid);
    imgViewAlert->setVisible(item.isInvalid);
    if (item.isInvalid) {
        lblEnableDisable->setText(screenText("IDS_BGX_46"));
    } else {
        btnToggle->setIsOn(item.isEnable);
        btnToggle->finishAnimations();
        showEnabled(item.isEnable);
    }
    if (item.icon && !item.icon->isEmpty())
        imgViewIcon->setPixmap(QPixmap::fromImage(
            item.icon->bitmap().scaled(imgViewIcon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}
