#pragma once

#include "Screens/Common/AppearingScreen.h"
#include "Screens/Manage/IgnoreListTableModel.h"

#include <QWidget>

#include <string>
#include <vector>

class FlatButton;
class QLabel;
class RowTableView;

// The Ignore List tab: the paths in "IgnoreAllPathsBGX", one ticked row each; Add
// through the file chooser, Remove of the ticked rows after a confirmation, Refresh.
// Add and Remove change the list as stored at that moment, so an entry written
// meanwhile by another part of the product (the agent's alert) is kept, and so is
// an entry that is no path (it is not shown). Remove takes out exactly the ticked
// rows: of a path stored twice, an unticked row stays. A change that cannot be
// stored leaves the list as stored, and a sheet says so. After the file chooser the
// keyboard is on the first row added, or on Add again.
class IgnoreListViewController : public QWidget, public AppearingScreen {
public:
    explicit IgnoreListViewController(QWidget* parent = nullptr);

    RowTableView* tableView;
    FlatButton* btnAdd;
    FlatButton* btnRemove;
    FlatButton* btnRefresh;
    QLabel* lblIgnoreList;
    std::vector<IgnoreList> allIgnorePaths;

    void viewWillAppear() override;
    void clickedRefresh() { loadIgnoreList(); }
    void clickedAdd();
    void clickedRemove();
    // A row's checkbox was clicked.
    void rowCellAction(int row, bool checked);
    void loadIgnoreList();
    void updateRemoveButton();

private:
    void loadView();
    void viewDidLoad();
    RowTableView* makeTable();
    // The list as stored again, after an Add or Remove; the sheet when it was not stored.
    void showStoredList(bool changeStored);
    // The keyboard on the first row of one of `paths`, else on Add.
    void focusAdded(const std::vector<std::string>& paths);

    IgnoreListTableModel* tableModel_ = nullptr;
};
