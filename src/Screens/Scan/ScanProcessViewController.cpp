#include "Screens/Scan/ScanProcessViewController.h"

#include "Controls/FlatButton.h"
#include "Detection/Scan.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/ScreenContainer.h"
#include "Screens/Common/ScreenStyle.h"

#include <cstdint>
#include <string>

ScanProcessViewController::ScanProcessViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("ScanProcessViewController");
    loadView();
    viewDidLoad();
}

QWidget* ScanProcessViewController::mainControl()
{
    return mainControlOf(!boxScanIncomplete->isHidden(), !btnStopScan->isHidden());
}

QWidget* ScanProcessViewController::mainControlOf(bool incomplete, bool stoppable) const
{
    if (stoppable)
        return btnStopScan;
    if (incomplete)
        return btnRescan;
    return progressIndicator;
}

void ScanProcessViewController::viewDidLoad()
{
    auto& center = platform::NotificationCenter::defaultCenter();
    observers_.push_back(center.addObserver("NotifyScanProcessCompleteBGX",
                                            [this](const auto& notification) { observeScanProcessComplete(notification); }));
    observers_.push_back(
        center.addObserver("NotifyScanProcessBGX", [this](const auto& notification) { observeScanProcess(notification); }));
    lblTotalItemsFound->setText("0 " + screenText("IDS_BGX_51"));
    lblScanningForDeceptiveApps->setText(screenText("IDS_BGX_50"));
    progressIndicator->setAccessibleName(lblScanningForDeceptiveApps->text());
    btnStopScan->setText(screenText("IDS_BGX_53"));
    btnHome->setText(screenText("IDS_BGX_178"));
    btnRescan->setText(screenText("IDS_BGX_62"));
    showState(false, true);
}

void ScanProcessViewController::observeScanProcess(const platform::Notification& notification)
{
    const auto* totalFound = notification.value<std::int64_t>("totalFound");
    const auto* path = notification.value<std::string>("path");
    const auto* objectsScanned = notification.value<std::int64_t>("objectsScanned");
    const auto* percentage = notification.value<double>("percentage");
    if (!totalFound || !path || !objectsScanned || !percentage)
        return;
    latest_.totalFound = *totalFound;
    if (!path->empty())
        latest_.path = QString::fromStdString(*path);
    latest_.objectsScanned = *objectsScanned;
    latest_.percentage = *percentage;
    // The screen's state follows each post (no Stop for the definitions step); only the
    // texts and the bar wait.
    showState(false, *objectsScanned != -1);
    repaint_.changed();
}

void ScanProcessViewController::showLatestProgress()
{
    const auto& [totalFound, path, objectsScanned, percentage] = latest_;
    lblPath->setText(path);
    screenstyle::setPercentage(*progressIndicator, percentage);
    if (objectsScanned == -1) { // the definitions step: no titles yet
        lblScanningForDeceptiveApps->setText({});
        lblTotalItemsFound->setText({});
        lblObjectScanned->setText(screenText("IDS_BGX_214"));
        return;
    }
    const char* findingsWord = totalFound == 0 || totalFound > 1 ? "IDS_BGX_43" : "IDS_BGX_44";
    lblTotalItemsFound->setText(QString::number(totalFound) + " " + screenText(findingsWord) + " "
                                + screenText("IDS_BGX_54"));
    lblScanningForDeceptiveApps->setText(screenText("IDS_BGX_50"));
    lblObjectScanned->setText(objectsScanned < 1 ? screenText("IDS_BGX_203")
                                                 : screenText("IDS_BGX_52") + " " + QString::number(objectsScanned));
}

void ScanProcessViewController::observeScanProcessComplete(const platform::Notification& notification)
{
    const bool* completed = notification.value<bool>("isScanCompleted");
    if (!completed)
        return;
    repaint_.flush();
    resetProgress();
    if (*completed)
        return;
    // No records could be read: the scan is over and found nothing it could trust.
    lblScanningForDeceptiveApps->setText(screenText("IDS_BGX_265"));
    lblTotalItemsFound->setText(screenText("IDS_BGX_266"));
    lblObjectScanned->clear();
    showState(true, false);
}

void ScanProcessViewController::resetProgress()
{
    lblTotalItemsFound->setText("0 " + screenText("IDS_BGX_51"));
    latest_.path.clear();
    lblPath->setText({});
    lblObjectScanned->setText(screenText("IDS_BGX_52") + " 0");
    progressIndicator->setValue(0);
}

void ScanProcessViewController::showState(bool incomplete, bool stoppable)
{
    stoppable = stoppable && !incomplete;
    const bool stateChanges = boxScanIncomplete->isHidden() == incomplete;
    QWidget* const was = mainControl();
    QWidget* const next = mainControlOf(incomplete, stoppable);
    changeShown(*this, {{btnStopScan, stoppable}, {progressIndicator, !incomplete}, {boxScanIncomplete, incomplete}},
                next == was ? nullptr : next); // the keyboard stays put while the main control does
    if (stateChanges)
        setImageNamed(*imgViewScanning, incomplete ? "AttentionShield" : "AppIcon");
}

void ScanProcessViewController::clickedHome()
{
    platform::NotificationCenter::defaultCenter().post("MenuSelectionBGX", {{menuKey, Menu::overview}});
}

void ScanProcessViewController::clickedRescan()
{
    if (!Scan::shared().isScanRunning)
        Scan::shared().startScan();
}

void ScanProcessViewController::clickedStopScan()
{
    Scan& scan = Scan::shared();
    scan.isPaused = true;
    const AlertContent question{localizedText("IDS_BGX_53") + "?", localizedText("IDS_BGX_55"),
                                {localizedText("IDS_BGX_56"), localizedText("IDS_BGX_57")},
                                AlertStyle::warning};
    beginSheet(*this, question, [&scan](int response) {
        if (response == alertFirstButtonReturn)
            scan.isAborted = true;
        scan.isPaused = false;
    });
}
