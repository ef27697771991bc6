#pragma once

#include "Screens/Common/ScreenStyle.h"

class FlatButton;
class QFrame;
class QWidget;

// What the scan and clean screens add to the shared look: cards and their buttons.
namespace scanlook {

inline const QColor threatRed{210, 0, 0};

// A panel-coloured card with a thin border and rounded corners.
QFrame* makeCard(QWidget* parent, const char* name);

// The prominent and the secondary action of the shared look, at the screens' button size.
FlatButton* makeFilledButton(QWidget* parent, const char* name);
FlatButton* makeOutlinedButton(QWidget* parent, const char* name);

} // namespace scanlook
