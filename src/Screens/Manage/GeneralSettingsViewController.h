#pragma once

#include <QWidget>

// General settings.
class GeneralSettingsViewController : public QWidget {
public:
    explicit GeneralSettingsViewController(QWidget* parent = nullptr);
};
