// The results screen's views: the attention heading with Rescan, a card with the
// column headers over the table of rows (or the empty state), and Clean Now.
#include "Screens/Scan/ScanResultViewController.h"

#include "Controls/FlatButton.h"
#include "Controls/HyperlinkTextField.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Common/ScreenWidgets.h"
#include "Screens/Scan/ScanResultItemDelegate.h"
#include "Screens/Scan/ScanResultRowLayout.h"
#include "Screens/Scan/ScanResultTableModel.h"
#include "Screens/Scan/ScanResultTableView.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

void ScanResultViewController::loadView()
{
    setObjectName("ScanResultViewController");
    screenstyle::fillBackground(*this, screenstyle::screenColor);
    mainMenu = new QMenu(this);
    QFrame* card = screenstyle::makeCard(this, "cardResults");
    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(1, 1, 1, 1);
    cardLayout->setSpacing(0);
    cardLayout->addWidget(buildColumnHeaders());
    cardLayout->addWidget(buildTable(), 1);

    btnCleanNow = screenstyle::makeFilledButton(this, "btnCleanNow");
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
    setTexts();
}

void ScanResultViewController::setTexts()
{
    lblAttention->setText(screenText("IDS_BGX_58"));
    lblDeceptiveApplicationItemsFound->setText(screenText("IDS_BGX_59"));
    lblTheseMalwareScarewareAppsMay->setText(screenText("IDS_BGX_60"));
    btnCleanNow->setText(screenText("IDS_BGX_61"));
    lblItemsDetails->setText(screenText("IDS_BGX_63"));
    lblCompany->setText(screenText("IDS_BGX_64"));
    lblVersion->setText(screenText("IDS_BGX_65"));
    lblItemsFound->setText(screenText("IDS_BGX_66"));
    btnRescan->setText(screenText("IDS_BGX_62"));
    tableView->setAccessibleName(screenText("IDS_BGX_59"));
    btnSelectUnselectAll->setAccessibleName(screenText("IDS_BGX_290"));
    emptyState->findChild<QLabel*>("lblNoDeceptiveApps")->setText(screenText("IDS_BGX_90"));
}

QWidget* ScanResultViewController::buildHeading()
{
    using namespace screenstyle;
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
    btnRescan = screenstyle::makeLink(heading, "btnRescan", 15);
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
    tableView = new ScanResultTableView(holder);
    setUpRowTable(*tableView, resultcolumns::parentRowHeight,
        QStringLiteral("QTableView { background: %1; border-top: 1px solid %2; }")
            .arg(screenstyle::panelColor.name(), screenstyle::ruleColor.name()));
    tableView->setFrameShape(QFrame::NoFrame);
    tableView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tableView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    tableView->viewport()->setMouseTracking(true);
    tableView->viewport()->installEventFilter(this);
    resultsModel = &tableView->resultsModel();
    tableView->onTick = [this](int row, bool checked) { checkUncheckRow(row, checked); };
    tableView->onShowDetails = [this](int row) { clickedShowDetailsResultItem(row); };
    delegate_ = new ScanResultItemDelegate(*tableView);
    tableView->setItemDelegate(delegate_);
    tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tableView, &QWidget::customContextMenuRequested, this, [this](QPoint where) { openMenu(where); });

    auto* layout = new QGridLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tableView, 0, 0);
    layout->addWidget(buildEmptyState(holder), 0, 0);
    return holder;
}

QWidget* ScanResultViewController::buildEmptyState(QWidget* parent)
{
    emptyState = new QWidget(parent);
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
    return emptyState;
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

void ScanResultViewController::alignHeadersWithRows()
{
    // The rows end where the viewport does: short of the table's edge by the scroller
    // while one shows.
    QMargins margins = columnHeaders_->layout()->contentsMargins();
    margins.setRight(tableView->width() - tableView->viewport()->width());
    columnHeaders_->layout()->setContentsMargins(margins);
    columnHeaders_->layout()->activate();
}

bool ScanResultViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tableView->viewport() && event->type() == QEvent::Resize)
        alignHeadersWithRows();
    return QWidget::eventFilter(watched, event);
}
