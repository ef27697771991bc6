#include "Screens/Common/DialogHeader.h"

#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/ScreenStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const QColor headerColor(22, 32, 43);
constexpr int iconSize = 22;

} // namespace

QWidget* makeDialogHeader(QWidget* parent, const QString& title)
{
    auto* header = new QWidget(parent);
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
    name->setText(title);
    name->setTextFormat(Qt::PlainText);
    row->addWidget(icon);
    row->addWidget(name, 1);
    auto* accentLine = new QWidget(parent);
    screenstyle::fillBackground(*accentLine, screenstyle::accentColor);
    accentLine->setFixedHeight(2);
    auto* block = new QWidget(parent);
    auto* lines = new QVBoxLayout(block);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(0);
    lines->addWidget(header);
    lines->addWidget(accentLine);
    return block;
}
