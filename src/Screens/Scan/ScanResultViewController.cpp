#include "Screens/Scan/ScanResultViewController.h"

#include "Controls/FlatButton.h"
#include "Controls/HyperlinkTextField.h"
#include "Detection/Clean.h"
#include "Detection/Scan.h"
#include "Detection/SharedLists.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/Settings.h"
#include "Foundation/SharedState.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/DesktopActions.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/ScreenText.h"
#include "Screens/Common/ScreenWidgets.h"
#include "Screens/Scan/IgnoreFoundPath.h"
#include "Screens/Scan/ScanResultTableCellViews.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

constexpr double parentRowHeight = 60.0;
constexpr double childRowHeight = 30.0;

QPixmap iconOf(const ScanResult& result)
{
    if (result.icon && !result.icon->isEmpty())
        return QPixmap::fromImage(result.icon->bitmap());
    return QPixmap::fromImage(platform::Image::genericApplicationIcon().bitmap());
}

} // namespace

ScanResultViewController::ScanResultViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("ScanResultViewController");
    screenstyle::fillBackground(*this, screenstyle::screenColor);
    mainMenu = new QMenu(this);
    QFrame* card = scanlook::makeCard(this, "cardResults");
    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(1, 1, 1, 1);
    cardLayout->setSpacing(0);
    cardLayout->addWidget(buildColumnHeaders());
    cardLayout->addWidget(buildTable(), 1);

    btnCleanNow = scanlook::makeFilledButton(this, "btnCleanNow");
    connect(btnCleanNow, &FlatButton::clicked, this, [this] { clickedCleanNow(); });
    auto* footer = new QHBoxLayout;
    footer->addStretch(1);
    footer->addWidget(btnCleanNow);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 24);
    layout->setSpacing(16);
    layout->addWidget(buildHeading());
    layout->addWidget(card, 1);
    layout->addLayout(footer);

    observers_.push_back(
        platform::NotificationCenter::defaultCenter().addObserver("UpdateScanResultBGX", [this](const auto&) { arrayConfig(); }));
    lblAttention->setText(screenText("IDS_BGX_58"));
    lblDeceptiveApplicationItemsFound->setText(screenText("IDS_BGX_59"));
    lblTheseMalwareScarewareAppsMay->setText(screenText("IDS_BGX_60"));
    btnCleanNow->setText(screenText("IDS_BGX_61"));
    lblItemsDetails->setText(screenText("IDS_BGX_63"));
    lblCompany->setText(screenText("IDS_BGX_64"));
    lblVersion->setText(screenText("IDS_BGX_65"));
    lblItemsFound->setText(screenText("IDS_BGX_66"));
    btnRescan->setText(screenText("IDS_BGX_62"));
    emptyState->findChild<QLabel*>("lblNoDeceptiveApps")->setText(screenText("IDS_BGX_90"));
}

ScanResultViewController::~ScanResultViewController() = default;

QWidget* ScanResultViewController::buildHeading()
{
    using namespace scanlook;
    auto* heading = new QWidget(this);
    attentionIcon_ = new QLabel(heading);
    attentionIcon_->setFixedSize(44, 44);
    setImageNamed(*attentionIcon_, "exclamationM");
    lblAttention = screenstyle::makeLabel(heading, "lblAttention", 11, threatRed, QFont::Bold);
    lblTotalDeceptiveAppFound
        = screenstyle::makeLabel(heading, "lblTotalDeceptiveAppFound", 20, threatRed, QFont::Bold);
    lblDeceptiveApplicationItemsFound
        = screenstyle::makeLabel(heading, "lblDeceptiveApplicationItemsFound", 20, screenstyle::inkColor, QFont::Bold);
    lblTheseMalwareScarewareAppsMay = screenstyle::makeLabel(heading, "lblTheseMalwareScarewareAppsMay", 12,
        screenstyle::captionColor, QFont::Normal, screenstyle::LabelWrap::words);
    btnRescan = scanlook::makeLink(heading, "btnRescan", 15);
    connect(btnRescan, &HyperlinkTextField::clicked, this, [this] { clickedRescanNow(); });

    auto* count = new QHBoxLayout;
    count->setSpacing(8);
    count->addWidget(lblTotalDeceptiveAppFound);
    count->addWidget(lblDeceptiveApplicationItemsFound, 1);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(lblAttention);
    texts->addLayout(count);
    texts->addWidget(lblTheseMalwareScarewareAppsMay);
    auto* layout = new QHBoxLayout(heading);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    layout->addWidget(attentionIcon_, 0, Qt::AlignTop);
    layout->addLayout(texts, 1);
    layout->addWidget(btnRescan, 0, Qt::AlignTop | Qt::AlignRight);
    return heading;
}

QWidget* ScanResultViewController::buildColumnHeaders()
{
    using namespace scanlook;
    using namespace resultcolumns;
    columnHeaders_ = new QWidget(this);
    columnHeaders_->setObjectName("columnHeaders");
    columnHeaders_->setFixedHeight(40);
    btnSelectUnselectAll = new QCheckBox(columnHeaders_);
    btnSelectUnselectAll->setObjectName("btnSelectUnselectAll");
    btnSelectUnselectAll->setFixedWidth(checkBox);
    connect(btnSelectUnselectAll, &QCheckBox::clicked, this, [this](bool checked) { clickedSelectUnselectAll(checked); });
    auto header = [this](const char* name, int width) {
        QLabel* label = screenstyle::makeLabel(columnHeaders_, name, 11, screenstyle::captionColor, QFont::DemiBold);
        if (width > 0)
            label->setFixedWidth(width);
        return label;
    };
    lblItemsDetails = header("lblItemsDetails", 0);
    lblCompany = header("lblCompany", company);
    lblVersion = header("lblVersion", version);
    lblItemsFound = header("lblItemsFound", itemsFound);
    lblItemsFound->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    auto* layout = new QHBoxLayout(columnHeaders_);
    layout->setContentsMargins(leading, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(btnSelectUnselectAll);
    auto* iconColumn = new QWidget(columnHeaders_); // spacing is not laid around a spacer item
    iconColumn->setFixedWidth(icon);
    layout->addWidget(iconColumn);
    layout->addWidget(lblItemsDetails, 1);
    layout->addWidget(lblCompany);
    layout->addWidget(lblVersion);
    layout->addWidget(lblItemsFound);
    return columnHeaders_;
}

QWidget* ScanResultViewController::buildTable()
{
    auto* holder = new QWidget(this);
    tableView = new QTableWidget(0, 1, holder);
    tableView->setObjectName("tableView");
    tableView->horizontalHeader()->hide();
    tableView->horizontalHeader()->setStretchLastSection(true);
    tableView->verticalHeader()->hide();
    tableView->setShowGrid(false);
    tableView->setSelectionMode(QAbstractItemView::NoSelection);
    tableView->setFocusPolicy(Qt::NoFocus);
    tableView->setFrameShape(QFrame::NoFrame);
    tableView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tableView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    tableView->setStyleSheet(
        QStringLiteral("QTableWidget { background: %1; border-top: 1px solid %2; }"
                       " QScrollBar:vertical { background: %1; width: 12px; border: none; }"
                       " QScrollBar::handle:vertical { background: %3; border-radius: 4px; margin: 2px; min-height: 24px; }"
                       " QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       " QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
            .arg(screenstyle::panelColor.name(), screenstyle::ruleColor.name(), screenstyle::systemGrayColor.name()));
    tableView->viewport()->installEventFilter(this);
    connect(tableView->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { fillVisibleRows(); });

    emptyState = new QWidget(holder);
    emptyState->setObjectName("emptyState");
    auto* tick = new QLabel(emptyState);
    tick->setFixedSize(56, 56);
    setImageNamed(*tick, "singletick");
    QLabel* message = screenstyle::makeLabel(
        emptyState, "lblNoDeceptiveApps", 14, screenstyle::captionColor, QFont::Medium, screenstyle::LabelWrap::words);
    message->setAlignment(Qt::AlignHCenter);
    auto* emptyLayout = new QVBoxLayout(emptyState);
    emptyLayout->addStretch(1);
    emptyLayout->addWidget(tick, 0, Qt::AlignHCenter);
    emptyLayout->addWidget(message);
    emptyLayout->addStretch(1);
    emptyState->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* layout = new QGridLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tableView, 0, 0);
    layout->addWidget(emptyState, 0, 0);
    return holder;
}

void ScanResultViewController::viewWillAppear()
{
    arrayConfig();
}

void ScanResultViewController::arrayConfig()
{
    const std::vector<ScanResult> results = scanResults().snapshot();
    rows_ = makeResultRows(results);
    lblTotalDeceptiveAppFound->setText(QString::number(totalItemCount(results)));
    const int count = static_cast<int>(rows_.size());
    tableView->clearContents();
    tableView->setRowCount(count);
    for (int row = 0; row < count; ++row)
        tableView->setRowHeight(row, qRound(heightOfRow(row)));
    alignHeadersWithRows();
    fillVisibleRows();
    showEmptyState(results.empty());
    updateCleanButton(anySelected(results));
}

void ScanResultViewController::fillVisibleRows()
{
    // Cells are made as rows come into view, so a change costs what the screen shows,
    // whatever the length of the list.
    const int first = tableView->rowAt(0);
    if (first < 0)
        return;
    const int below = tableView->rowAt(tableView->viewport()->height() - 1);
    const int last = below < 0 ? tableView->rowCount() - 1 : below;
    for (int row = first; row <= last; ++row)
        if (!tableView->cellWidget(row, 0))
            tableView->setCellWidget(row, 0, viewForRow(row));
}

void ScanResultViewController::showEmptyState(bool empty)
{
    // Nothing found is no cause for alarm: the empty state stands in for the attention
    // heading and Clean Now.
    emptyState->setVisible(empty);
    for (QWidget* alarm : std::initializer_list<QWidget*>{attentionIcon_, lblAttention, lblTotalDeceptiveAppFound,
                                                          lblDeceptiveApplicationItemsFound,
                                                          lblTheseMalwareScarewareAppsMay, btnCleanNow})
        alarm->setHidden(empty);
}

double ScanResultViewController::heightOfRow(int row) const
{
    return parentRowAt(rows_, row) ? parentRowHeight : childRowHeight;
}

void ScanResultViewController::alignHeadersWithRows()
{
    // The rows end where the viewport does: short of the table's edge by the scroller
    // while one shows.
    QMargins margins = columnHeaders_->layout()->contentsMargins();
    margins.setRight(tableView->width() - tableView->viewport()->width());
    columnHeaders_->layout()->setContentsMargins(margins);
    columnHeaders_->layout()->activate();
}

QWidget* ScanResultViewController::viewForRow(int row)
{
    if (const ScanResultItem* item = childRowAt(rows_, row)) {
        auto* cell = new ScanResultChildTableCellView;
        if (item->path)
            cell->lblPath->setText(QString::fromStdString(*item->path));
        return cell;
    }
    const ScanResult* result = parentRowAt(rows_, row);
    if (!result)
        return nullptr;
    auto* cell = new ScanResultParentTableCellView;
    cell->imgView->setPixmap(iconOf(*result));
    cell->lblTitle->setText(QString::fromStdString(result->title));
    cell->lblTitle->setToolTip(cell->lblTitle->text());
    cell->lblSubTitleLeft->setText(QString::fromStdString(result->subTitleLeft));
    cell->setBadge(QString::fromStdString(result->subTitleRight));
    cell->setCompany(QString::fromStdString(result->company));
    cell->setVersion(QString::fromStdString(result->version));
    cell->lblItemFound->setText(QString::number(itemCount(*result)));
    cell->btnShowDetails->setText(screenText(result->isShowDetails ? "IDS_BGX_71" : "IDS_BGX_72"));
    connect(cell->btnShowDetails, &HyperlinkTextField::clicked, this, [this, row] { clickedShowDetailsResultItem(row); });
    cell->btnCheckBox->setChecked(result->isSelected);
    connect(cell->btnCheckBox, &QCheckBox::clicked, this, [this, row](bool checked) { checkUncheckRow(row, checked); });
    return cell;
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
    else if (allSelected(scanResults().snapshot()))
        btnSelectUnselectAll->setChecked(true);
}

void ScanResultViewController::checkUncheckRow(int row, bool checked)
{
    if (const ScanResult* clicked = parentRowAt(rows_, row)) {
        scanResults().update([&](std::vector<ScanResult>& results) {
            if (ScanResult* result = resultWithId(results, clicked->id))
                result->isSelected = checked;
        });
    }
    updateCleanButton(anySelected(scanResults().snapshot()));
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
    if (const ScanResult* clicked = parentRowAt(rows_, row)) {
        scanResults().update([&](std::vector<ScanResult>& results) {
            if (ScanResult* result = resultWithId(results, clicked->id))
                result->isShowDetails = !clicked->isShowDetails;
        });
    }
    arrayConfig();
}

void ScanResultViewController::clickedCleanNow()
{
    if (Scan::shared().isScanRunning)
        return;
    const AlertContent question{localizedText("IDS_BGX_67"), localizedText("IDS_BGX_68"),
                                {localizedText("IDS_BGX_56"), localizedText("IDS_BGX_57")}, AlertStyle::warning};
    beginSheet(*this, question, [](int response) {
        // A scan that started meanwhile has replaced the list the user confirmed.
        if (response != alertFirstButtonReturn || Clean::shared().isCleanRunning || Scan::shared().isScanRunning)
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

bool ScanResultViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tableView->viewport() && event->type() == QEvent::Resize) {
        alignHeadersWithRows();
        fillVisibleRows();
    }
    if (watched == tableView->viewport() && event->type() == QEvent::ContextMenu) {
        const auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        menuWillOpen(tableView->rowAt(menuEvent->pos().y()));
        if (!mainMenu->isEmpty())
            mainMenu->popup(menuEvent->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ScanResultViewController::menuWillOpen(int row)
{
    mainMenu->clear();
    menuPath_.reset();
    const ScanResultItem* item = childRowAt(rows_, row);
    if (dimmingOverlay() || !item)
        return;
    menuPath_ = item->path;
    mainMenu->addAction(screenText("IDS_BGX_69"), this, [this] { addToIgnoreList(); });
    mainMenu->addAction(screenText("IDS_BGX_70"), this, [this] { openImageContainerFolderInMenu(); });
}

void ScanResultViewController::addToIgnoreList()
{
    const std::optional<std::string> path = std::exchange(menuPath_, std::nullopt);
    if (!path)
        return;
    ignoreFoundPath(*path);
    arrayConfig();
}

void ScanResultViewController::openImageContainerFolderInMenu()
{
    if (const std::optional<std::string> path = std::exchange(menuPath_, std::nullopt))
        revealInFileManager(*path);
}
