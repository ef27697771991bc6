#include "Screens/Common/AlertBox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon iconOf(AlertStyle style)
{
    switch (style) {
    case AlertStyle::informational:
        return QMessageBox::Information;
    case AlertStyle::critical:
        return QMessageBox::Critical;
    case AlertStyle::warning:
        break;
    }
    return QMessageBox::Warning;
}

} // namespace

QMessageBox* makeAlertBox(const AlertContent& alert, QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(iconOf(alert.style));
    // A sheet wide enough that its texts need not wrap into a narrow column.
    box->setStyleSheet("QLabel#qt_msgbox_label, QLabel#qt_msgbox_informativelabel { min-width: 320px; }");
    box->setText(QString::fromStdString(alert.messageText));
    box->setInformativeText(QString::fromStdString(alert.informativeText));
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
