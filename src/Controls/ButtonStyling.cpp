#include "Controls/ButtonStyling.h"

#include <QAbstractButton>

void setText(QAbstractButton& button, const QString& text, const QColor& color, const QFont& font)
{
    button.setText(text);
    button.setFont(font);
    QPalette colours = button.palette();
    colours.setColor(QPalette::ButtonText, color);
    button.setPalette(colours);
}

void setBackground(QAbstractButton& button, const QColor& color, qreal radius)
{
    button.setStyleSheet(QString("background-color: %1; border: none; border-radius: %2px;")
                             .arg(color.name(QColor::HexArgb))
                             .arg(radius));
}
