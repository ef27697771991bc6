#pragma once

class QWidget;

// Shows `screen` as the one child of `container`: every other direct child leaves the
// container (hidden and unparented, never deleted: screens are kept by the screen
// factory), the screen is pinned to the container's four edges and shown, and, when
// it is an AppearingScreen, its viewWillAppear() runs before it is shown and its
// viewDidAppear() after. Main thread only.
void showScreen(QWidget& container, QWidget& screen);
