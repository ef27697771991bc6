#pragma once

#include <initializer_list>
#include <utility>

class QWidget;

// Shows `screen` as the one child of `container`: every other direct child leaves the
// container (hidden and unparented, never deleted: screens are kept by the screen
// factory), the screen is pinned to the container's four edges and shown, and, when
// it is an AppearingScreen, its viewWillAppear() runs before it is shown and its
// viewDidAppear() after the others left. When the keyboard was in the screen it
// replaces, it goes on to the new screen's main control before the old screen is
// hidden: one focus move, so that a screen reader says what came, and only that.
// Main thread only.
void showScreen(QWidget& container, QWidget& screen);

// Whether the keyboard focus of `area`'s window lies in `area`.
bool holdsFocus(const QWidget& area);
// Gives the keyboard to the main control of `screen`, when it has one on show.
void focusMainControl(QWidget& screen);

// Shows and hides widgets (each paired with the visibility it takes) so that the
// keyboard, when it is in `area`, moves once, straight to `next` (none: it stays): what
// comes is shown and `next` focused before what goes is hidden.
void changeShown(QWidget& area, std::initializer_list<std::pair<QWidget*, bool>> visibility, QWidget* next);
