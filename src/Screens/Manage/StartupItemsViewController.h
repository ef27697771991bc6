#pragma once

#include <QWidget>

// The user's startup items.
class StartupItemsViewController : public QWidget {
public:
    explicit StartupItemsViewController(QWidget* parent = nullptr);
};
