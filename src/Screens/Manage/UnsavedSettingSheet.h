#pragma once

class QWidget;

// Tells the user, in a sheet on the main window, that a setting just changed could
// not be saved (its control shows the stored value again).
void showUnsavedSettingSheet(QWidget& view);
