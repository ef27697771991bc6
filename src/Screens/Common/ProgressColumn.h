#pragma once

class QLabel;
class QProgressBar;
class QWidget;

// The progress column that the scan and the clean screens share, centred in its box
// from top to bottom: the shield, the heading, an optional line under it, the bar,
// the path being worked on (shortened in its middle), the running count and the
// screen's actions.
struct ProgressColumnNames {
    const char* shield;
    const char* heading;
    const char* subheading; // null for none
    const char* count;
};

struct ProgressColumn {
    QLabel* shield;     // the product's shield, "AppIcon"
    QLabel* heading;
    QLabel* subheading; // null when not asked for
    QProgressBar* bar;  // named "progressIndicator", 0 to 100 (see screenstyle::makeProgressBar);
                        // keeps its place while hidden
    QLabel* path;       // named "lblPath"
    QLabel* count;
};

// Builds the column into `box`, which gets it as its layout; `actions` goes at its foot.
ProgressColumn buildProgressColumn(QWidget& box, const ProgressColumnNames& names, QWidget* actions);
