#pragma once

class QMenuBar;

// The application menu of the main interface: About, show the main window, check for
// updates and quit, connected to the application's delegate. Every item is enabled
// only while the delegate validates it.
void buildMainMenu(QMenuBar& menuBar);
