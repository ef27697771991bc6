#pragma once

#include <QWidget>

// Definitions and application update settings.
class UpdateSettingsViewController : public QWidget {
public:
    explicit UpdateSettingsViewController(QWidget* parent = nullptr);
};
