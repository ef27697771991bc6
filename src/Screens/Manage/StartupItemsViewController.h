#pragma once

#include "Platform/Notifications/NotificationCenter.h"
#include "Screens/Common/AppearingScreen.h"
#include "Startup/StartupItemsModel.h"
#include "Startup/StartupItemsView.h"

#include <QWidget>

#include <memory>
#include <vector>

class FlatButton;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class RowTableView;
class Spinner;
class StartupItemsTableModel;

// The user's startup items: two tabs (login items, launch agents and daemons) with
// their counts, one table of rows for the tab shown, a busy indicator while a list
// loads, switching items on and off in place, and deleting the selected items of the
// shown list after a confirmation (the removal then reports to the clean screen).
// Both lists start loading when the screen is made; "ReloadStartupItemsBGX" and the
// Reload button load them again. A row's tick box or switch acts only on the item its
// row showed when it was clicked or keyed, and never while a list loads. The keyboard
// goes from the tabs and Select all through the current row's tick box and switch to
// Reload and Delete. Made once and kept; main thread only.
class StartupItemsViewController : public QWidget, public AppearingScreen, public StartupItemsView {
public:
    // The fill of a tab box, and of the tab shown.
    static const QColor tabColor;
    static const QColor selectedTabColor;

    explicit StartupItemsViewController(QWidget* parent = nullptr);
    ~StartupItemsViewController() override;

    StartupItemsModel& model() { return *model_; }

    // Tabs and reload; dropped while a list loads.
    void clickedLoginItems() { selectListIfIdle(StartupManager::loginItems); }
    void clickedLaunchAgents() { selectListIfIdle(StartupManager::launchAgents); }
    void clickedReload() { model_->reloadStartupItems(); }
    // The controls of each row, in the order Tab walks them.
    static constexpr int tickBoxControl = 0;
    static constexpr int switchControl = 1;
    // Switches the shown list's item at `index` on or off, as its switch does; also a
    // service-management login item, whose switch takes no clicks.
    void toggleStartupItem(bool isOn, int index);
    // Selection and deletion of the shown list.
    void clickedSelectCell(int row, bool checked);
    void clickedSelectAll(bool checked);
    void clickedDeleteSelectedItems();
    void updateSelectAllState();

    // StartupItemsView.
    void showCount(StartupManager list, const std::string& text) override;
    void reloadTable() override;
    void showLoader() override;
    void hideLoader() override;
    void updateSelectedItemsCount() override;

    RowTableView* tableView;
    QFrame* boxLoginItems;
    QLabel* lblLoginItem;
    QLabel* lblCountLoginItems;
    QPushButton* btnLoginItem;
    QFrame* boxLaunchAgents;
    QLabel* lblLaunchAgents;
    QLabel* lblCountLaunchAgents;
    QPushButton* btnLaunchAgents;
    FlatButton* btnDeleteItems;
    QLabel* lblSelectedItems;
    FlatButton* btnReload;
    QFrame* boxLoader;
    Spinner* loader;
    QLabel* lblStartupItems;
    QLabel* lblPreventApplication;
    QLabel* lblApplication;
    QLabel* lblPublisher;
    QLabel* lblStatus;
    QCheckBox* checkBoxSelectAll;

private:
    void loadView();
    RowTableView* makeTable();
    QWidget* makeTabs();
    QWidget* makeHeadings();
    QWidget* makeFooter();
    void viewDidLoad();
    void selectListIfIdle(StartupManager list);
    void showList(StartupManager list);
    std::size_t shownCount() const;
    bool isShownSelected(std::size_t index) const;
    bool isShownEnabled(std::size_t index) const;
    QVariant shownItemKey(std::size_t index) const;
    // A row's tick box or switch was flipped while its row showed `item`.
    void rowControlFlipped(int row, int control, const QVariant& item);
    void reportFailedSwitch(const std::string& name, bool on, const std::string& reason);
    void confirmDeleteSelectedItems();
    void deleteSheetDidEnd(int response);

    std::shared_ptr<StartupItemsModel> model_;
    StartupItemsTableModel* tableModel_ = nullptr;
    std::vector<platform::ObservationToken> observers_;
};
