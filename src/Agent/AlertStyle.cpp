#include "Agent/AlertStyle.h"

#include "Controls/FlatButton.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace alertstyle {

const QColor headerColor(22, 32, 43);
const QColor bodyColor(244, 246, 248);
const QColor textColor(33, 43, 54);
const QColor mutedColor(108, 117, 128);
const QColor accentColor(226, 123, 34);
const QColor dangerColor(211, 47, 47);
const QColor safeColor(46, 164, 79);

QLabel* makeLabel(QWidget* parent, int pointSize, const QColor& colour, bool bold)
{
    auto* label = new QLabel(parent);
    styleLabel(*label, pointSize, colour, bold);
    return label;
}

void styleLabel(QLabel& label, int pointSize, const QColor& colour, bool bold)
{
    QFont font = label.font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label.setFont(font);
    label.setTextFormat(Qt::PlainText);
    setLabelColour(label, colour);
}

void setLabelColour(QLabel& label, const QColor& colour)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

FlatButton* makeActionButton(QWidget* parent, const QColor& fill)
{
    auto* button = new FlatButton(parent);
    QFont font = button->font();
    font.setPointSize(12);
    font.setBold(true);
    button->setFont(font);
    button->setCornerRadius(6);
    button->setMomentary(false);
    button->setTitleNormalColor(Qt::white);
    button->setTitleHighlightColor(Qt::white);
    setActionButtonColor(*button, fill);
    button->setFixedHeight(36);
    return button;
}

void setActionButtonColor(FlatButton& button, const QColor& fill)
{
    button.setNormalColor(fill);
    button.setHoverColor(fill.lighter(112));
    button.setBackgroundNormalColor(fill);
    button.setBackgroundHighlightColor(fill.darker(115));
    button.removeAllAnimations();
}

void fitToTitle(FlatButton& button)
{
    button.setMinimumWidth(std::max(120, QFontMetrics(button.font()).horizontalAdvance(button.text()) + 40));
}

} // namespace alertstyle
