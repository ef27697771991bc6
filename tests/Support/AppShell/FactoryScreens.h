#pragma once

#include <vector>

class QWidget;

// Every screen the application's screen factory makes (the main window aside),
// each made by this call when it was not yet.
std::vector<QWidget*> everyFactoryScreen();
