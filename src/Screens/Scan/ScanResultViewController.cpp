// The results screen's actions: the row build, ticks, select all, details, the clean
// hand-over, Rescan and the path menu.
#include "Screens/Scan/ScanResultViewController.h"

#include "Controls/FlatButton.h"
#include "Detection/Clean.h"
#include "Detection/Scan.h"
#include "Detection/SharedLists.h"
#include "Foundation/IgnoreList.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/SharedState.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/DesktopActions.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Manage/UnsavedSettingSheet.h"
#include "Screens/Scan/IgnoreFoundPath.h"
#include "Screens/Scan/ScanResultTableModel.h"
#include "Screens/Scan/ScanResultTableView.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPointer>

#include <algorithm>
#include <tuple>
#include <utility>

namespace {

template <class Read>
auto readResults(Read read)
{
    return scanResults().update([&read](const std::vector<ScanResult>& results) { return read(results); });
}

// No clean runs while what the ignore list keeps is not known.
bool refuseCleanWithoutIgnoreList(QWidget& view)
{
    if (isStoredIgnoreListReadable())
        return false;
    beginSheet(view, {localizedText("IDS_BGX_272"), localizedText("IDS_BGX_273"), {localizedText("IDS_BGX_170")}},
               [](int) {});
    return true;
}

} // namespace

ScanResultViewController::ScanResultViewController(QWidget* parent) : QWidget(parent)
{
    loadView();
    auto& center = platform::NotificationCenter::defaultCenter();
    observers_.push_back(center.addObserver("UpdateScanResultBGX", [this](const auto&) { arrayConfig(); }));
    observers_.push_back(center.addObserver("ScanViewUpdateBGX", [this](const platform::Notification& notification) {
        const ScanMenu* menu = notification.value<ScanMenu>(menuKey);
        if (menu && *menu != ScanMenu::scanresult)
            listReplaced_ = true;
    }));
}

ScanResultViewController::~ScanResultViewController() = default;

void ScanResultViewController::viewWillAppear()
{
    arrayConfig();
}

QWidget* ScanResultViewController::mainControl()
{
    return tableView;
}

void ScanResultViewController::arrayConfig()
{
    tableView->reloadRows(std::exchange(listReplaced_, false));
    const auto [total, empty, selected] = readResults([](const std::vector<ScanResult>& results) {
        return std::tuple(totalItemCount(results), results.empty(), anySelected(results));
    });
    lblTotalDeceptiveAppFound->setText(QString::number(total));
    tableView->setAccessibleDescription(lblTotalDeceptiveAppFound->text() + " " + lblDeceptiveApplicationItemsFound->text());
    alignHeadersWithRows();
    showEmptyState(empty);
    updateCleanButton(selected);
}

void ScanResultViewController::updateCleanButton(bool isEnabled)
{
    // Enabled: green, a touch transparent at rest, deeper under the pointer, full when
    // pressed. Disabled: flat grey with a dark title.
    const QColor green(0, 176, 80);
    auto fill = [&](double alpha) {
        QColor colour = isEnabled ? green : QColor(160, 160, 160);
        colour.setAlphaF(isEnabled ? alpha : 1.0);
        return colour;
    };
    btnCleanNow->setNormalColor(fill(0.8));
    btnCleanNow->setHoverColor(fill(0.9));
    btnCleanNow->setBackgroundNormalColor(fill(0.8));
    btnCleanNow->setBackgroundHighlightColor(fill(1.0));
    const QColor title = isEnabled ? QColor(Qt::white) : QColor(Qt::darkGray);
    btnCleanNow->setTitleNormalColor(title);
    btnCleanNow->setTitleHighlightColor(title);
    btnCleanNow->setEnabled(isEnabled);
    if (!isEnabled)
        btnSelectUnselectAll->setChecked(false);
    else if (readResults(allSelected))
        btnSelectUnselectAll->setChecked(true);
}

void ScanResultViewController::checkUncheckRow(int row, bool checked)
{
    resultsModel->setData(resultsModel->index(row, 0), checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    updateCleanButton(readResults(anySelected));
}

void ScanResultViewController::clickedSelectUnselectAll(bool checked)
{
    scanResults().update([checked](std::vector<ScanResult>& results) {
        for (ScanResult& result : results)
            result.isSelected = checked;
    });
    updateCleanButton(checked);
    arrayConfig();
}

void ScanResultViewController::clickedShowDetailsResultItem(int row)
{
    // Only the record's path rows change: the rest of the list is not read again.
    if (resultsModel->toggleDetails(row))
        fitRowHeights(*tableView);
    else
        arrayConfig();
}

void ScanResultViewController::clickedCleanNow()
{
    if (Scan::shared().isScanRunning || refuseCleanWithoutIgnoreList(*this))
        return;
    const AlertContent question{localizedText("IDS_BGX_67"), localizedText("IDS_BGX_68"),
                                {localizedText("IDS_BGX_56"), localizedText("IDS_BGX_57")}, AlertStyle::warning};
    beginSheet(*this, question, [self = QPointer(this)](int response) {
        // A scan that started meanwhile has replaced the list the user confirmed.
        if (response != alertFirstButtonReturn || Clean::shared().isCleanRunning || Scan::shared().isScanRunning)
            return;
        if (!self || refuseCleanWithoutIgnoreList(*self)) // the list may have become unreadable meanwhile
            return;
        isCleanInProgress = true;
        Clean::shared().startClean();
    });
}

void ScanResultViewController::clickedRescanNow()
{
    if (!Scan::shared().isScanRunning)
        Scan::shared().startScan();
}

void ScanResultViewController::openMenu(QPoint where)
{
    menuWillOpen(tableView->indexAt(where).row());
    if (!mainMenu->isEmpty())
        mainMenu->popup(tableView->viewport()->mapToGlobal(where));
}

void ScanResultViewController::menuWillOpen(int row)
{
    mainMenu->clear();
    menuPath_.reset();
    if (dimmingOverlay() || !resultsModel->isPathRow(row))
        return;
    menuPath_ = resultsModel->pathAt(row);
    mainMenu->addAction(screenText("IDS_BGX_69"), this, [this] { addToIgnoreList(); });
    mainMenu->addAction(screenText("IDS_BGX_70"), this, [this] { openImageContainerFolderInMenu(); });
}

void ScanResultViewController::addToIgnoreList()
{
    // Not saved: the path stays in the results, ticked as it was.
    const std::optional<std::string> path = std::exchange(menuPath_, std::nullopt);
    if (path && !ignoreFoundPath(*path))
        showUnsavedSettingSheet(*this);
    arrayConfig();
}

void ScanResultViewController::openImageContainerFolderInMenu()
{
    if (const std::optional<std::string> path = std::exchange(menuPath_, std::nullopt))
        revealInFileManager(*path);
}
