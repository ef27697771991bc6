#include "Screens/Common/TabBox.h"

#include <QFrame>
#include <QGridLayout>
#include <QPushButton>

TabBox makeTabBox(QWidget* parent, const QString& boxName, const QString& buttonName, QLayout* content)
{
    auto* box = new QFrame(parent);
    box->setObjectName(boxName);
    box->setAutoFillBackground(true);
    auto* button = new QPushButton(box);
    button->setObjectName(buttonName);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet("QPushButton { background: transparent; border: none; }");
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addLayout(content, 0, 0);
    grid->addWidget(button, 0, 0);
    button->raise(); // above the content, which came into the box after it
    return {box, button};
}
