#pragma once

class QWidget;

// Shows `screen` as the one child of `container`: every other direct child leaves the
// container (hidden and unparented, never deleted: screens are kept by the screen
// factory), the screen is pinned to the container's four edges and shown, and, when
// it is an AppearingScreen, its viewWillAppear() runs before it is shown and its
// viewDidAppear() after. When the keyboard was in the screen it replaces, it goes on to
// the new screen's main control, so that a screen reader says what came. Main thread only.
void showScreen(QWidget& container, QWidget& screen);

// Whether the keyboard focus of `area`'s window lies in `area`.
bool holdsFocus(const QWidget& area);
// Gives the keyboard to the main control of `screen`, when it has one on show.
void focusMainControl(QWidget& screen);
