#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class FlatButton;
class QComboBox;
class QLabel;
class QPalette;
class QProgressBar;
class QWidget;

// The one look of every screen: dark panels with light text; labels, backgrounds and
// the two kinds of flat buttons.
namespace screenstyle {

inline const QColor screenColor{51, 51, 51};        // screen backgrounds
inline const QColor panelColor{43, 43, 43};         // cards and panels on a screen
inline const QColor ruleColor{72, 72, 72};          // card borders, rules and progress tracks
inline const QColor inkColor{Qt::white};            // headlines and values
inline const QColor captionColor{173, 173, 173};    // captions and secondary text
inline const QColor accentColor{226, 123, 34};      // prominent actions and findings
inline const QColor systemGrayColor{142, 142, 147}; // muted titles and disabled texts
inline const QColor actionBlueColor{0, 104, 218};   // flat buttons and links
inline const QColor actionBlueHoverColor{0, 120, 240};

// Gives `view` a flat background of `colour`.
void fillBackground(QWidget& view, const QColor& colour);

// The screens' colours as a palette, for what Qt paints from one (menus, tool tips,
// lists, fields, the file chooser): dark panels, light text, the accent for a selection.
QPalette screenPalette();
// Gives what opens in a window of its own (menus, tool tips, a combo box's list) the
// screens' palette, for the whole process: such a window takes no palette from the
// screen it opens over. The application calls it once, with its main window.
void useScreenLookForPopups();
// A combo box, its list included, in the screens' palette.
void styleComboBox(QComboBox& box);

// The style sheet of a thin rounded progress bar: accent over a rule-coloured track.
QString progressBarStyle();

// The screens' progress bar, named `name`, that shows a percentage to a tenth.
QProgressBar* makeProgressBar(QWidget* parent, const char* name);
// Shows `percentage` (0 to 100) on a bar made by makeProgressBar.
void setPercentage(QProgressBar& bar, double percentage);

// Whether a label keeps its text on one line or wraps it at word breaks.
enum class LabelWrap { none, words };

// Names the label and gives it a font size, text colour and weight; it shows its text
// as plain text.
void styleLabel(QLabel& label, const QString& name, int pointSize, const QColor& colour,
                QFont::Weight weight = QFont::Normal);
// A new label styled so, on one line or wrapping.
QLabel* makeLabel(QWidget* parent, const QString& name, int pointSize, const QColor& colour,
                  QFont::Weight weight = QFont::Normal, LabelWrap wrap = LabelWrap::none);

// The prominent action: accent fill and white title. `height` also gives the rounding.
void styleFilledButton(FlatButton& button, const char* name, int width, int height);
// The secondary action: clear fill, accent border and title.
void styleOutlinedButton(FlatButton& button, const char* name, int width, int height);

} // namespace screenstyle
