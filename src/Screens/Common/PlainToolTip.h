#pragma once

#include <QString>

// A tool tip that shows `text` as typed, line breaks kept. A tool tip draws a text that
// starts like markup as markup, so outside texts (names, labels, paths) go through this.
QString plainToolTip(const QString& text);
