#pragma once

class QWidget;

// The application's main window, once the shell has made it. Sheets that answer a
// screen's work go there, whichever screen shows when they come (a screen that has
// left the window has no window of its own). Main thread only.
void setMainWindow(QWidget* window);
QWidget* registeredMainWindow(); // null until set, and once that window has gone

// The main window; while none is set (a screen shown on its own), `view`'s window.
QWidget& mainWindow(QWidget& view);
