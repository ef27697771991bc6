#pragma once

#include "Platform/Sparkle/SUUpdater.h"
#include "Screens/Common/AppearingScreen.h"

#include <QColor>
#include <QWidget>

#include <optional>

class FlatButton;
class QLabel;
class SettingCheckbox;

// The Update tab: the installed definitions (version and date of the last update),
// Update Now with its progress and result alerts, the two automatic-update choices,
// the application's version and its update check (shown in the updater's windows).
class UpdateSettingsViewController : public QWidget, public AppearingScreen {
public:
    explicit UpdateSettingsViewController(QWidget* parent = nullptr);
    ~UpdateSettingsViewController() override;

    const QColor tintColor{173, 173, 173};

    SettingCheckbox* btnAutomaticallyUpdateDefinition;
    QLabel* lblValueLastUpdatedOn;
    QLabel* lblValueDefinitionsVersion;
    FlatButton* btnUpdateDefinitionNow;
    QLabel* lblUpdateProgress;
    SettingCheckbox* btnAutomaticallyUpdateBG;
    QLabel* lblValueCurrentVersion;
    FlatButton* btnCheckForUpdates;
    QLabel* lblUpdateSettings;
    QLabel* lblDefinitionUpdate;
    QLabel* lblLastUpdateOn;
    QLabel* lblDefinitionsVersion;
    QLabel* lblUpdateBGXAutomatically;
    QLabel* lblCurrentVersion;

    void viewWillAppear() override;
    // Checks the server and offers a newer database; does nothing while an update runs.
    void clickedUpdateDefinitionNow();
    void clickedCheckForUpdates();
    bool isUpdatingDefinitions() const { return isUpdatingDefinitions_; }

private:
    void loadView();
    void viewDidLoad();
    void showDefinitions();
    void checkDefinitions();
    void finishCheck(bool isNewer, std::optional<double> newVersion);
    void offerDefinitions(double newVersion);
    void endDefinitionsRoad(bool installed);
    void setDefinitionsProgress(const char* textKey);

    bool isUpdatingDefinitions_ = false;
    platform::SUUpdater* updater; // the main bundle's one updater, shared with the menu
};

// The application's version as shown: short version, a full stop, build number,
// each "0" when missing ("2.3" and "41" give "2.3.41").
std::string applicationVersionText();
