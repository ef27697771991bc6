#pragma once

#include <QWidget>

// Progress of deleting startup items.
class CleanProcessStartupItemsViewController : public QWidget {
public:
    explicit CleanProcessStartupItemsViewController(QWidget* parent = nullptr);
};
