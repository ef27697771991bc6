#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QAbstractButton;

// Gives the button a centred title in the colour and font.
void setText(QAbstractButton& button, const QString& text, const QColor& color, const QFont& font);

// Makes the button borderless with a flat background of the colour and rounded corners.
void setBackground(QAbstractButton& button, const QColor& color, qreal radius);
