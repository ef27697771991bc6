#pragma once

#include <QWidget>

// The startup-items container: the list or the clean progress.
class StartupMangerViewController : public QWidget {
public:
    explicit StartupMangerViewController(QWidget* parent = nullptr);
};
