#pragma once

#include <QColor>

class FlatButton;
class QLabel;
class QWidget;

// The look the alert windows share: the product's colours as the alerts use
// them, their labels and their prominent action buttons.
namespace alertstyle {

extern const QColor headerColor; // the main window's chrome
extern const QColor bodyColor;   // the main window's content
extern const QColor textColor;
extern const QColor mutedColor;
extern const QColor accentColor; // the sidebar marker orange
extern const QColor dangerColor;
extern const QColor safeColor;

// A label in the point size and colour that shows its text as it stands (never
// as markup: names and paths come from outside).
QLabel* makeLabel(QWidget* parent, int pointSize, const QColor& colour, bool bold = false);
void styleLabel(QLabel& label, int pointSize, const QColor& colour, bool bold = false);
void setLabelColour(QLabel& label, const QColor& colour);

// The flat button of the prominent action, in `fill` (lighter while hovered).
FlatButton* makeActionButton(QWidget* parent, const QColor& fill);
void setActionButtonColor(FlatButton& button, const QColor& fill);
// Keeps a button wide enough for its title.
void fitToTitle(FlatButton& button);

} // namespace alertstyle
