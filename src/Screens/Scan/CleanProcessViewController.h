#pragma once

#include <QWidget>

// Clean progress and its result.
class CleanProcessViewController : public QWidget {
public:
    explicit CleanProcessViewController(QWidget* parent = nullptr);
};
