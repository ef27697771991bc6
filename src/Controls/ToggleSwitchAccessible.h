#pragma once

// Lets screen readers see every ToggleSwitch as a check box: named by its accessible
// name, checkable, checked while on, unavailable while it ignores clicks, with a
// Toggle action that flips it as a click does. Idempotent; main thread only.
void installToggleSwitchAccessibility();
