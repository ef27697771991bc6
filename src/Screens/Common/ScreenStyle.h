#pragma once

#include <QColor>

class FlatButton;
class QLabel;
class QWidget;

// The screens' shared look: colours, labels and the two kinds of flat buttons.
namespace screenstyle {

inline const QColor inkColor{30, 42, 55};        // body text
inline const QColor captionColor{96, 108, 122};  // captions and secondary text
inline const QColor accentColor{226, 123, 34};   // prominent actions and findings
inline const QColor systemGrayColor{142, 142, 147};

// Names the label and gives it a font size, weight and text colour.
void styleLabel(QLabel& label, const char* name, int pointSize, const QColor& colour, bool bold = false);
QLabel* makeLabel(QWidget* parent, const char* name, int pointSize, const QColor& colour, bool bold = false);

// The prominent action: accent fill and white title. `height` also gives the rounding.
void styleFilledButton(FlatButton& button, const char* name, int width, int height);
// The secondary action: white fill, accent border and title.
void styleOutlinedButton(FlatButton& button, const char* name, int width, int height);

} // namespace screenstyle
