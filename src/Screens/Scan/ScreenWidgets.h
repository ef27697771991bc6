#pragma once

#include "Screens/Common/ScreenStyle.h"

#include <QFont>

class FlatButton;
class QFrame;
class QLabel;
class QWidget;

// What the scan and clean screens add to the shared look: white cards, labels of any
// weight that may wrap, and their buttons.
namespace scanlook {

inline const QColor cardBorderColor{226, 230, 235};
inline const QColor threatRed{210, 0, 0};

// A label with the object name, font size, weight and text colour; word-wrapped when
// `wraps`.
QLabel* makeLabel(QWidget* parent, const char* name, int pointSize, QFont::Weight weight = QFont::Normal,
                  const QColor& colour = screenstyle::inkColor, bool wraps = false);

// A white panel with a thin border and rounded corners.
QFrame* makeCard(QWidget* parent, const char* name);

// The prominent and the secondary action of the shared look, at the screens' button size.
FlatButton* makeFilledButton(QWidget* parent, const char* name);
FlatButton* makeOutlinedButton(QWidget* parent, const char* name);

} // namespace scanlook
