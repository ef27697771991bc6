#pragma once

#include "Screens/Common/ScreenStyle.h"

class FlatButton;
class HyperlinkTextField;
class QFrame;
class QWidget;

// The shared look's cards, with their buttons and links at the screens' size.
namespace screenstyle {

inline const QColor threatRed{210, 0, 0};

// A panel-coloured card with a thin border and rounded corners.
QFrame* makeCard(QWidget* parent, const char* name);

// The prominent and the secondary action of the shared look, at the screens' button size.
FlatButton* makeFilledButton(QWidget* parent, const char* name);
FlatButton* makeOutlinedButton(QWidget* parent, const char* name);

// A grey underlined link of the system font at `pixelSize` pixels; it acts through `clicked`.
HyperlinkTextField* makeLink(QWidget* parent, const char* name, int pixelSize);

} // namespace screenstyle
