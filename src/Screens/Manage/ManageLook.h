#pragma once

#include <QColor>
#include <QString>

class FlatButton;
class QLabel;
class QWidget;

// The look shared by the protection, settings and About screens: dark panels with
// light text and blue flat buttons.
namespace manageLook {

const QColor& screenBackground(); // the screens and the selected settings tab
const QColor& panelBackground();  // cards on a screen and the unselected tabs
const QColor& headlineColor();
const QColor& bodyColor();

// Gives `view` a flat background of `colour`.
void fillBackground(QWidget& view, const QColor& colour);

// A word-wrapping label named `name` in the given size and colour.
QLabel* makeLabel(QWidget* parent, const QString& name, int pointSize, const QColor& colour, bool bold = false);

// A blue flat button named `name` with a white title (grey while disabled).
FlatButton* makeFlatButton(QWidget* parent, const QString& name);

// Shows a flat button's title in white when enabled, in grey when not.
void setFlatButtonEnabled(FlatButton& button, bool enabled);

} // namespace manageLook
