#pragma once

#include "Screens/Common/AppearingScreen.h"

#include <QColor>
#include <QWidget>

class QComboBox;
class QLabel;
class SettingCheckbox;

// The General tab: launch at login (the application's own login item), scan when
// launched at login, deleted files to the Trash, crash protection, and a language
// chooser offering English only. A click stores its key at once.
class GeneralSettingsViewController : public QWidget, public AppearingScreen {
public:
    explicit GeneralSettingsViewController(QWidget* parent = nullptr);

    const QColor tintColor{158, 158, 158};

    SettingCheckbox* btnLaunchAutomatically;
    SettingCheckbox* btnScanOnAutoLaunch;
    SettingCheckbox* btnMoveDeletedFilesToTrash;
    SettingCheckbox* btnCrasheshProtection;
    QComboBox* comboBoxSelectLanguage;
    QLabel* lblApplicationSettings;
    QLabel* lblLanguageSetting;
    QLabel* lblSelectLanguage;

    void viewWillAppear() override;
    // Once the key is stored: adds or removes the application's own login item.
    void clickedLaunchAutomatically();

private:
    void loadView();
};
