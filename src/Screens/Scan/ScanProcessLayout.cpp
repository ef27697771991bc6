// The progress screen's views: a centred column of the title, the findings, the bar,
// the path, the file count and Stop, or Home and Rescan.
#include "Screens/Scan/ScanProcessViewController.h"

#include "Controls/FlatButton.h"
#include "Screens/Common/ElidedLabel.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/ScreenStyle.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace screenstyle;

namespace {

void styleCentred(QLabel& label, const char* name, int pointSize, const QColor& colour,
                  QFont::Weight weight = QFont::Normal)
{
    styleLabel(label, name, pointSize, colour, weight);
    label.setAlignment(Qt::AlignCenter);
    label.setMinimumHeight(label.fontMetrics().height());
}

} // namespace

void ScanProcessViewController::loadView()
{
    fillBackground(*this, screenColor);
    auto* shield = new QLabel(this);
    shield->setObjectName("imgViewScanning");
    shield->setAlignment(Qt::AlignCenter);
    shield->setPixmap(imageNamed("AppIcon").scaled(120, 120, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    lblScanningForDeceptiveApps = new QLabel(this);
    styleCentred(*lblScanningForDeceptiveApps, "lblScanningForDeceptiveApps", 20, inkColor, QFont::Bold);
    lblTotalItemsFound = new QLabel(this);
    styleCentred(*lblTotalItemsFound, "lblTotalItemsFound", 14, accentColor, QFont::Bold);

    progressIndicator = screenstyle::makeProgressBar(this, "progressIndicator");

    lblPath = new ElidedLabel(Qt::ElideMiddle, this);
    styleCentred(*lblPath, "lblPath", 11, captionColor);
    lblPath->setFixedWidth(560);
    lblObjectScanned = new QLabel(this);
    styleCentred(*lblObjectScanned, "lblObjectScanned", 12, inkColor);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 40, 40, 40);
    layout->setSpacing(14);
    layout->addStretch(1);
    layout->addWidget(shield, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    layout->addWidget(lblScanningForDeceptiveApps);
    layout->addWidget(lblTotalItemsFound);
    layout->addSpacing(8);
    layout->addWidget(progressIndicator, 0, Qt::AlignHCenter);
    layout->addWidget(lblPath, 0, Qt::AlignHCenter);
    layout->addWidget(lblObjectScanned);
    layout->addSpacing(16);
    layout->addWidget(buildActions(), 0, Qt::AlignHCenter);
    layout->addStretch(1);
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
