#include "Screens/Common/AlertBox.h"

#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/ScreenStyle.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

constexpr int iconSide = 48;

// The product's own picture for the style: its shield for information, the attention
// badge otherwise; none when the bundle has no such picture.
void showIcon(QMessageBox& box, AlertStyle style)
{
    const QPixmap picture = imageNamed(style == AlertStyle::informational ? "AppIcon" : "exclamationM.png");
    if (!picture.isNull())
        box.setIconPixmap(picture.scaled(iconSide, iconSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// The screens' dark panel with light texts, and their two kinds of buttons: the default
// filled with the accent, the others outlined in it. Wide enough that the texts need not
// wrap into a narrow column.
QString sheetStyle()
{
    using namespace screenstyle;
    return QStringLiteral(
               "QMessageBox { background: %1; }"
               " QLabel#qt_msgbox_label { color: %2; font-weight: bold; min-width: 320px; }"
               " QLabel#qt_msgbox_informativelabel { color: %3; min-width: 320px; }"
               " QPushButton { background: transparent; color: %4; border: 1.5px solid %4; border-radius: 13px;"
               " padding: 5px 20px; min-width: 56px; font-weight: bold; }"
               " QPushButton:pressed { background: %5; }"
               " QPushButton:default { background: %4; color: white; }"
               " QPushButton:default:pressed { background: %6; }")
        .arg(panelColor.name(), inkColor.name(), captionColor.name(), accentColor.name(),
             accentColor.darker(300).name(), accentColor.darker(112).name());
}

} // namespace

QMessageBox* makeAlertBox(const AlertContent& alert, QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    showIcon(*box, alert.style);
    box->setStyleSheet(sheetStyle());
    // Alert texts may carry names from definitions, plists and file names: never markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(QString::fromStdString(alert.messageText));
    box->setInformativeText(QString::fromStdString(alert.informativeText));
    if (auto* informative = box->findChild<QLabel*>("qt_msgbox_informativelabel"))
        informative->setTextFormat(Qt::PlainText);
    for (const std::string& title : alert.buttons)
        box->addButton(QString::fromStdString(title), box->buttons().isEmpty() ? QMessageBox::AcceptRole
                                                                               : QMessageBox::RejectRole);
    const QList<QAbstractButton*> buttons = box->buttons();
    if (!buttons.isEmpty()) {
        box->setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
        box->setEscapeButton(buttons.at(nonConfirmingResponse(alert) - alertFirstButtonReturn));
    }
    return box;
}

int alertResponse(const QMessageBox& box, const AlertContent& alert)
{
    const qsizetype index = box.buttons().indexOf(box.clickedButton());
    return index < 0 ? nonConfirmingResponse(alert) : alertFirstButtonReturn + static_cast<int>(index);
}
