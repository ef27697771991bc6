#pragma once

#include "Platform/Notifications/NotificationCenter.h"
#include "Screens/Common/AppearingScreen.h"
#include "Screens/Scan/ScanResultTableView.h"

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class FlatButton;
class HyperlinkTextField;
class QCheckBox;
class QLabel;
class QMenu;
class ScanResultItemDelegate;
class ScanResultTableModel;

// The findings of the last scan: one row per record, its paths as child rows while
// expanded. The rows are a model over the process-wide result list, painted by a
// delegate; the user's choices are written into the list at once. From here the user
// ticks records, cleans them after a confirmation sheet, rescans, and on a path row
// adds the path to the ignore list or shows it in the file manager. Every row index
// from the view or the menu is checked against the rows: one outside them does
// nothing. A list that replaced the one shown (after a scan or a clean) opens at its
// top; the user's edits of the list keep its place. Main thread only.
class ScanResultViewController : public QWidget, public AppearingScreen {
public:
    explicit ScanResultViewController(QWidget* parent = nullptr);
    ~ScanResultViewController() override;

    void viewWillAppear() override;
    // The table.
    QWidget* mainControl() override;

    // The row build: rows, total, table and the Clean Now state from the result list.
    void arrayConfig();
    void updateCleanButton(bool isEnabled);
    // A tick changes its record and the Clean Now state; the rows stay.
    void checkUncheckRow(int row, bool checked);
    void clickedSelectUnselectAll(bool checked);
    void clickedShowDetailsResultItem(int row);
    void clickedCleanNow();
    void clickedRescanNow();

    // Fills mainMenu for a right click on `row` (-1 for none): the two path actions on
    // a path row, nothing elsewhere or while a sheet is up. The actions act on the path
    // of the row the menu opened on, whatever the rows have become since; each acts once.
    void menuWillOpen(int row);
    void addToIgnoreList();
    void openImageContainerFolderInMenu();

    QLabel* lblTotalDeceptiveAppFound = nullptr;
    FlatButton* btnCleanNow = nullptr;
    HyperlinkTextField* btnRescan = nullptr;
    ScanResultTableView* tableView = nullptr;
    ScanResultTableModel* resultsModel = nullptr;
    QCheckBox* btnSelectUnselectAll = nullptr;
    QLabel* lblAttention = nullptr;
    QLabel* lblDeceptiveApplicationItemsFound = nullptr;
    QLabel* lblTheseMalwareScarewareAppsMay = nullptr;
    QLabel* lblItemsDetails = nullptr;
    QLabel* lblCompany = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblItemsFound = nullptr;
    QWidget* emptyState = nullptr;
    QMenu* mainMenu = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The screen's views (ScanResultLayout.cpp).
    void loadView();
    QWidget* buildHeading();
    QWidget* buildColumnHeaders();
    QWidget* buildTable();
    QWidget* buildEmptyState(QWidget* parent);
    void setTexts();
    void showEmptyState(bool empty);
    void alignHeadersWithRows();

    void openMenu(QPoint where);

    std::optional<std::string> menuPath_; // the path row's path the menu opened on
    bool listReplaced_ = false; // a scan or a clean began: the next rows are a new list
    ScanResultItemDelegate* delegate_ = nullptr;
    QWidget* columnHeaders_ = nullptr;
    QLabel* attentionIcon_ = nullptr;
    std::vector<platform::ObservationToken> observers_;
};
