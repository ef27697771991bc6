#pragma once

#include "Foundation/IndexVocabularies.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Screens/Common/AppearingScreen.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

// The settings container: three tabs on its left (General, Update, Ignore List) and
// a content area showing the chosen tab's screen. Another screen chooses a tab by
// "SettingViewUpdateBGX" with a SettingsMenu value under "menu".
class SettingsViewController : public QWidget, public AppearingScreen {
public:
    // The one kept screen of a tab (the screen factory's).
    using TabScreens = std::function<QWidget&(SettingsMenu)>;

    explicit SettingsViewController(TabScreens screens, QWidget* parent = nullptr);

    // One tab: its background, its marker line (shown while selected), caption and click area.
    struct Tab {
        QFrame* box;
        QFrame* verticalLine;
        QLabel* label;
        QPushButton* button;
    };

    QPointer<QWidget> containerView;
    const Tab& tab(SettingsMenu menu) const { return tabs_[static_cast<std::size_t>(menu)]; }

    // Showing the container again shows the tab last chosen, read again from the settings.
    void viewWillAppear() override;
    void clickedGeneralSettings() { showSettingsTab(SettingsMenu::general); }
    void clickedUpdateSettings() { showSettingsTab(SettingsMenu::update); }
    void clickedIgnoreList() { showSettingsTab(SettingsMenu::ignoreList); }
    // The handler of "SettingViewUpdateBGX".
    void notificationSetView(const platform::Notification& notification);
    void showSettingsTab(SettingsMenu menu);

    static const QColor tabColor;
    static const QColor selectedTabColor;

private:
    void loadView();
    void viewDidLoad();

    TabScreens screens_;
    std::array<Tab, 3> tabs_{};
    platform::ObservationToken observer_;
};
