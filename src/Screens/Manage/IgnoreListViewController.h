#pragma once

#include <QWidget>

// The ignore list.
class IgnoreListViewController : public QWidget {
public:
    explicit IgnoreListViewController(QWidget* parent = nullptr);
};
