#include "Screens/Manage/ManageLook.h"

#include "Controls/FlatButton.h"

#include <QLabel>

namespace manageLook {

namespace {
const QColor flatButtonBlue(0, 104, 218);
const QColor flatButtonHover(0, 120, 240);
const QColor systemGray(142, 142, 147);
} // namespace

const QColor& screenBackground()
{
    static const QColor colour(51, 51, 51);
    return colour;
}

const QColor& panelBackground()
{
    static const QColor colour(43, 43, 43);
    return colour;
}

const QColor& headlineColor()
{
    static const QColor colour(Qt::white);
    return colour;
}

const QColor& bodyColor()
{
    static const QColor colour(173, 173, 173);
    return colour;
}

void fillBackground(QWidget& view, const QColor& colour)
{
    view.setAutoFillBackground(true);
    QPalette palette = view.palette();
    palette.setColor(QPalette::Window, colour);
    view.setPalette(palette);
}

QLabel* makeLabel(QWidget* parent, const QString& name, int pointSize, const QColor& colour, bool bold)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

FlatButton* makeFlatButton(QWidget* parent, const QString& name)
{
    auto* button = new FlatButton(parent);
    button->setObjectName(name);
    button->setCornerRadius(4);
    button->setBackgroundNormalColor(flatButtonBlue);
    button->setBackgroundHighlightColor(flatButtonBlue);
    button->setNormalColor(flatButtonBlue);
    button->setHoverColor(flatButtonHover);
    button->setTitleNormalColor(Qt::white);
    button->setTitleHighlightColor(Qt::white);
    button->setMinimumSize(180, 34);
    button->setCursor(Qt::PointingHandCursor);
    QFont font = button->font();
    font.setPointSize(13);
    button->setFont(font);
    button->ensurePolished(); // set up for showing while enabled: full opacity from now on
    return button;
}

void setFlatButtonEnabled(FlatButton& button, bool enabled)
{
    button.setEnabled(enabled);
    button.setTitleNormalColor(enabled ? QColor(Qt::white) : systemGray);
}

} // namespace manageLook
