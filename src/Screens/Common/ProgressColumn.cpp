#include "Screens/Common/ProgressColumn.h"

#include "Screens/Common/ElidedLabel.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/ScreenStyle.h"

#include <QProgressBar>
#include <QVBoxLayout>

using namespace screenstyle;

namespace {

constexpr int shieldSide = 120;
constexpr int pathWidth = 560;

// Centred, and as tall as a line also while empty, so the column never moves.
QLabel* centred(QLabel* label, const char* name, int pointSize, const QColor& colour, QFont::Weight weight = QFont::Normal)
{
    styleLabel(*label, name, pointSize, colour, weight);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumHeight(label->fontMetrics().height());
    return label;
}

QLabel* makeShield(QWidget& box, const char* name)
{
    auto* shield = new QLabel(&box);
    shield->setObjectName(name);
    shield->setAlignment(Qt::AlignCenter);
    shield->setFixedSize(shieldSide, shieldSide); // its place also without the picture
    setImageNamed(*shield, "AppIcon");
    return shield;
}

} // namespace

ProgressColumn buildProgressColumn(QWidget& box, const ProgressColumnNames& names, QWidget* actions)
{
    ProgressColumn column{};
    column.heading = centred(new QLabel(&box), names.heading, 20, inkColor, QFont::Bold);
    if (names.subheading)
        column.subheading = centred(new QLabel(&box), names.subheading, 14, accentColor, QFont::Bold);
    column.shield = makeShield(box, names.shield);
    column.bar = makeProgressBar(&box, "progressIndicator");
    QSizePolicy keepsPlace = column.bar->sizePolicy();
    keepsPlace.setRetainSizeWhenHidden(true);
    column.bar->setSizePolicy(keepsPlace);
    column.path = centred(new ElidedLabel(Qt::ElideMiddle, &box), "lblPath", 11, captionColor);
    column.path->setFixedWidth(pathWidth);
    column.count = centred(new QLabel(&box), names.count, 12, inkColor);

    auto* layout = new QVBoxLayout(&box);
    layout->setContentsMargins(40, 40, 40, 40);
    layout->setSpacing(14);
    layout->addStretch(1);
    layout->addWidget(column.shield, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    layout->addWidget(column.heading);
    if (column.subheading)
        layout->addWidget(column.subheading);
    layout->addSpacing(8);
    layout->addWidget(column.bar, 0, Qt::AlignHCenter);
    layout->addWidget(column.path, 0, Qt::AlignHCenter);
    layout->addWidget(column.count);
    layout->addSpacing(16);
    layout->addWidget(actions, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return column;
}
