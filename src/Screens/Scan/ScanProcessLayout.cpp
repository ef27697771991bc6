// The progress screen's views: the shared progress column, with the findings under
// its title and Stop, or Home and Rescan, at its foot.
#include "Screens/Scan/ScanProcessViewController.h"

#include "Controls/FlatButton.h"
#include "Screens/Common/ProgressColumn.h"
#include "Screens/Common/ScreenStyle.h"

#include <QGridLayout>
#include <QHBoxLayout>

using namespace screenstyle;

void ScanProcessViewController::loadView()
{
    fillBackground(*this, screenColor);
    const ProgressColumn column = buildProgressColumn(
        *this, {"imgViewScanning", "lblScanningForDeceptiveApps", "lblTotalItemsFound", "lblObjectScanned"}, buildActions());
    imgViewScanning = column.shield;
    lblScanningForDeceptiveApps = column.heading;
    lblTotalItemsFound = column.subheading;
    progressIndicator = column.bar;
    lblPath = column.path;
    lblObjectScanned = column.count;
    resize(808, 652);
}

// Stop while a scan runs; Home and Rescan in its place after a scan that could not
// be completed.
QWidget* ScanProcessViewController::buildActions()
{
    auto* actions = new QWidget(this);
    btnStopScan = new FlatButton(actions);
    styleOutlinedButton(*btnStopScan, "btnStopScan", 170, 42);
    QSizePolicy keepsPlace = btnStopScan->sizePolicy();
    keepsPlace.setRetainSizeWhenHidden(true); // the column does not move while Stop is hidden
    btnStopScan->setSizePolicy(keepsPlace);
    QObject::connect(btnStopScan, &QAbstractButton::clicked, this, [this] { clickedStopScan(); });

    boxScanIncomplete = new QWidget(actions);
    boxScanIncomplete->setObjectName("boxScanIncomplete");
    btnHome = new FlatButton(boxScanIncomplete);
    styleOutlinedButton(*btnHome, "btnHome", 170, 42);
    QObject::connect(btnHome, &QAbstractButton::clicked, this, [this] { clickedHome(); });
    btnRescan = new FlatButton(boxScanIncomplete);
    styleFilledButton(*btnRescan, "btnRescan", 170, 42);
    QObject::connect(btnRescan, &QAbstractButton::clicked, this, [this] { clickedRescan(); });
    auto* buttons = new QHBoxLayout(boxScanIncomplete);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(16);
    buttons->addWidget(btnHome);
    buttons->addWidget(btnRescan);

    // One place for both, so the column does not move as they swap.
    auto* layout = new QGridLayout(actions);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(btnStopScan, 0, 0, Qt::AlignCenter);
    layout->addWidget(boxScanIncomplete, 0, 0, Qt::AlignCenter);
    return actions;
}
