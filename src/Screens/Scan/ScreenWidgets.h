#pragma once

#include <QColor>
#include <QFont>

class FlatButton;
class QFrame;
class QPixmap;
class QLabel;
class QWidget;

// The look shared by the scan and clean screens: their palette and the few kinds of
// widget they are built from.
namespace screenstyle {

inline const QColor textColor{33, 43, 54};
inline const QColor secondaryTextColor{99, 115, 129};
inline const QColor linkGrayColor{161, 161, 161};
inline const QColor cardColor{255, 255, 255};
inline const QColor cardBorderColor{223, 227, 232};
inline const QColor actionGreen{0, 176, 80};
inline const QColor disabledGray{160, 160, 160};
inline const QColor stopRed{210, 0, 0};

// A label with the object name, font size, weight and text colour; word-wrapped when
// `wraps`.
QLabel* makeLabel(QWidget* parent, const char* name, int pointSize, QFont::Weight weight = QFont::Normal,
                  const QColor& colour = textColor, bool wraps = false);

// The main bundle's image "<name>.png", scaled to fit `size` square when `size` is
// above 0; an empty picture when the bundle lacks it.
QPixmap bundleImage(const char* name, int size = 0);

// A white panel with a thin border and rounded corners.
QFrame* makeCard(QWidget* parent, const char* name);

// A flat action button with a white title over `fill`: a touch transparent at rest,
// deeper under the pointer, full when pressed.
FlatButton* makeActionButton(QWidget* parent, const char* name, const QColor& fill);
void colourActionButton(FlatButton& button, const QColor& fill);
// Sets the title and widens the button to hold it with room on both sides.
void setActionTitle(FlatButton& button, const QString& title);

} // namespace screenstyle
