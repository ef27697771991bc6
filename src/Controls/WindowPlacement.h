#pragma once

class QWidget;

// Moves the window to ((screen width - window width) / 2, (screen height - window
// height) / 2), from the sizes alone (the screen's own origin is not added); a window
// on no screen stays where it is.
void setFrameOriginToPositionWindowInCenterOfScreen(QWidget& window);
