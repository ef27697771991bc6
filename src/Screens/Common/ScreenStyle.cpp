#include "Screens/Common/ScreenStyle.h"

#include "Controls/FlatButton.h"

#include <QLabel>

namespace screenstyle {

void styleLabel(QLabel& label, const char* name, int pointSize, const QColor& colour, bool bold)
{
    label.setObjectName(name);
    QFont font = label.font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label.setFont(font);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

QLabel* makeLabel(QWidget* parent, const char* name, int pointSize, const QColor& colour, bool bold)
{
    auto* label = new QLabel(parent);
    styleLabel(*label, name, pointSize, colour, bold);
    return label;
}

namespace {

void styleButton(FlatButton& button, const char* name, int width, int height, const QColor& fill, const QColor& pressed,
                 const QColor& title, const QColor& border)
{
    button.setObjectName(name);
    button.setFixedSize(width, height);
    button.setCornerRadius(height / 2.0);
    button.setBorderWidth(border.alpha() ? 1.5 : 0.0);
    button.setBorderNormalColor(border);
    button.setBorderHighlightColor(border);
    button.setBackgroundNormalColor(fill);
    button.setBackgroundHighlightColor(pressed);
    button.setNormalColor(fill);
    button.setHoverColor(pressed);
    button.setTitleNormalColor(title);
    button.setTitleHighlightColor(title);
    button.setCursor(Qt::PointingHandCursor);
    QFont font = button.font();
    font.setPointSize(13);
    font.setBold(true);
    button.setFont(font);
}

} // namespace

void styleFilledButton(FlatButton& button, const char* name, int width, int height)
{
    styleButton(button, name, width, height, accentColor, accentColor.darker(112), Qt::white, Qt::transparent);
}

void styleOutlinedButton(FlatButton& button, const char* name, int width, int height)
{
    styleButton(button, name, width, height, Qt::white, QColor(252, 236, 222), accentColor, accentColor);
}

} // namespace screenstyle
