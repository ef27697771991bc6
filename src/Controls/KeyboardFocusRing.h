#pragma once

namespace controls {

// Shows the focus ring outside the edge of the control that has the keyboard, while
// the keyboard is in use: from a key press, or a focus move by Tab or a shortcut, to
// the next mouse press; the style draws no focus marks of its own beside it. An item
// view marks its current cell itself and gets none.
// Installed once on the application (later calls do nothing); main thread only.
void showFocusRingOnKeyboardFocus();

// Whether marks of the focus show now (the keyboard is in use, as above).
bool keyboardFocusShown();

} // namespace controls
