#include "Screens/Common/AuthorizationDialog.h"

#include "Controls/FlatButton.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/ScreenStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const QColor headerColor(22, 32, 43);
constexpr int dialogWidth = 460;
constexpr int margin = 24;
constexpr int iconSize = 22;

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
    layout->addWidget(makeHeader(programName));
    layout->addWidget(makeBody(programName, action));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* AuthorizationDialog::makeHeader(const QString& programName)
{
    auto* header = new QWidget(this);
    screenstyle::fillBackground(*header, headerColor);
    header->setFixedHeight(44);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(16, 0, 16, 0);
    row->setSpacing(8);
    auto* icon = new QLabel(header);
    const QPixmap image = imageNamed("AppIcon");
    if (!image.isNull())
        icon->setPixmap(image.scaled(iconSize, iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto* name = screenstyle::makeLabel(header, "lblProgramName", 13, screenstyle::inkColor, QFont::Bold);
    name->setText(programName);
    name->setTextFormat(Qt::PlainText);
    row->addWidget(icon);
    row->addWidget(name, 1);
    auto* accentLine = new QWidget(this);
    screenstyle::fillBackground(*accentLine, screenstyle::accentColor);
    accentLine->setFixedHeight(2);
    auto* block = new QWidget(this);
    auto* lines = new QVBoxLayout(block);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(0);
    lines->addWidget(header);
    lines->addWidget(accentLine);
    return block;
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
