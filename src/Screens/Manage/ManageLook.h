#pragma once

#include "Screens/Common/ScreenStyle.h"

#include <QColor>
#include <QString>

class FlatButton;
class QWidget;

// What the protection, settings and About screens add to the shared look: blue flat
// buttons. The colours are the shared palette's.
namespace manageLook {

const QColor& screenBackground(); // the screens and the selected settings tab
const QColor& panelBackground();  // cards on a screen and the unselected tabs
const QColor& headlineColor();
const QColor& bodyColor();

using screenstyle::fillBackground;

// A blue flat button named `name` with a white title (grey while disabled).
FlatButton* makeFlatButton(QWidget* parent, const QString& name);

// Shows a flat button's title in white when enabled, in grey when not.
void setFlatButtonEnabled(FlatButton& button, bool enabled);

} // namespace manageLook
