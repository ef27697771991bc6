#pragma once

#include <QWidget>

// The settings container: general, updates and ignore list.
class SettingsViewController : public QWidget {
public:
    explicit SettingsViewController(QWidget* parent = nullptr);
};
