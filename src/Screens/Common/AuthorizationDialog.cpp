#include "Screens/Common/AuthorizationDialog.h"

#include "Controls/FlatButton.h"
#include "Screens/Common/DialogHeader.h"
#include "Screens/Common/ScreenStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int dialogWidth = 460;
constexpr int margin = 24;

} // namespace

AuthorizationDialog::AuthorizationDialog(const QString& programName, const QString& action, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("authorizationDialog");
    setWindowTitle(programName);
    setWindowModality(Qt::ApplicationModal);
    screenstyle::fillBackground(*this, screenstyle::screenColor);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeDialogHeader(this, programName));
    layout->addWidget(makeBody(programName, action));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* AuthorizationDialog::makeBody(const QString& programName, const QString& action)
{
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(margin, 20, margin, margin);
    column->setSpacing(10);
    lblHeadline = screenstyle::makeLabel(body, "lblHeadline", 16, screenstyle::inkColor, QFont::Bold,
                                         screenstyle::LabelWrap::words);
    lblHeadline->setTextFormat(Qt::PlainText);
    lblHeadline->setText(QStringLiteral("%1 asks for your permission").arg(programName));
    lblAction = screenstyle::makeLabel(body, "lblAction", 12, screenstyle::captionColor, QFont::Normal,
                                       screenstyle::LabelWrap::words);
    lblAction->setTextFormat(Qt::PlainText);
    lblAction->setText(action.isEmpty() ? QStringLiteral("%1 is trying to perform a privileged operation.").arg(programName)
                                        : action);
    for (QLabel* label : {lblHeadline, lblAction}) {
        label->setFixedWidth(dialogWidth - 2 * margin);
        column->addWidget(label);
    }
    column->addSpacing(14);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    btnCancel = new FlatButton(body);
    screenstyle::styleOutlinedButton(*btnCancel, "btnCancel", 120, 36);
    btnCancel->setText(QStringLiteral("Cancel"));
    btnAllow = new FlatButton(body);
    screenstyle::styleFilledButton(*btnAllow, "btnAllow", 120, 36);
    btnAllow->setText(QStringLiteral("Allow"));
    connect(btnCancel, &FlatButton::clicked, this, &QDialog::reject);
    connect(btnAllow, &FlatButton::clicked, this, &QDialog::accept);
    buttons->addStretch(1);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnAllow);
    column->addLayout(buttons);
    return body;
}
