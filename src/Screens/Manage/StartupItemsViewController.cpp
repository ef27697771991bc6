#include "Screens/Manage/StartupItemsViewController.h"

#include "Controls/FlatButton.h"
#include "Controls/Spinner.h"
#include "Controls/ToggleSwitch.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/SharedState.h"
#include "Foundation/TextTable.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/ModalAlert.h"
#include "Screens/Common/ScreenText.h"
#include "Screens/Common/TextFormat.h"
#include "Screens/Manage/ManageLook.h"
#include "Screens/Manage/StartupItemSwitch.h"
#include "Screens/Manage/StartupManagerTableCellView.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <optional>

namespace {

const QColor switchGreen = QColor::fromRgbF(0, 176 / 255.0, 80 / 255.0, 1.0);

// The Delete button's colours with and without a selection.
struct DeleteButtonLook {
    QColor normal, hover, background, backgroundHighlight, title;
};
const DeleteButtonLook deleteEnabled{QColor(0, 99, 225, 204), QColor(0, 99, 225, 230), QColor(0, 99, 225, 204),
                                     QColor(0, 99, 225, 255), Qt::white};
const DeleteButtonLook deleteDisabled{QColor(56, 56, 56), QColor(56, 56, 56), QColor(56, 56, 56), QColor(56, 56, 56),
                                      QColor(120, 120, 120)};

void applyLook(FlatButton& button, const DeleteButtonLook& look)
{
    button.setNormalColor(look.normal);
    button.setHoverColor(look.hover);
    button.setBackgroundNormalColor(look.background);
    button.setBackgroundHighlightColor(look.backgroundHighlight);
    button.setTitleNormalColor(look.title);
    button.setTitleHighlightColor(look.title);
}

QFrame* makeBox(QWidget* parent, const char* name)
{
    auto* box = new QFrame(parent);
    box->setObjectName(name);
    box->setAutoFillBackground(true);
    return box;
}

void fillBox(QFrame& box, const QColor& colour)
{
    manageLook::fillBackground(box, colour);
}

QLabel* makeCaption(QWidget* parent, const char* name)
{
    QLabel* label = screenstyle::makeLabel(parent, name, 11, manageLook::bodyColor(), QFont::Bold);
    return label;
}

// What a row shows of either kind of record.
template <class Record>
void fillCell(StartupManagerTableCellView& cell, const Record& item, int row, bool switchable)
{
    const QString unknown = screenText("IDS_BGX_45");
    cell.lblName->setText(item.name ? QString::fromStdString(*item.name) : unknown);
    cell.lblCompanyName->setText(item.company ? QString::fromStdString(*item.company) : unknown);
    cell.btnToggle->statetag = switchable ? row : ToggleSwitch::ignoresClicksTag;
    cell.btnToggle->setFillColor(switchable ? switchGreen : QColor(Qt::lightGray));
    StartupManagerTableCellView::setTextColour(*cell.lblEnableDisable,
                                               switchable ? QColor(Qt::white) : QColor(Qt::lightGray));
    cell.btnSelect->setChecked(item.isSelected);
    cell.btnToggle->setVisible(!item.isInvalid);
    cell.imgViewAlert->setVisible(item.isInvalid);
    if (item.isInvalid) {
        cell.lblEnableDisable->setText(screenText("IDS_BGX_46"));
    } else {
        cell.btnToggle->setIsOn(item.isEnable);
        cell.btnToggle->finishAnimations();
        cell.lblEnableDisable->setText(screenText(item.isEnable ? "IDS_BGX_23" : "IDS_BGX_24"));
    }
    if (item.icon && !item.icon->isEmpty())
        cell.imgViewIcon->setPixmap(QPixmap::fromImage(item.icon->bitmap().scaled(
            cell.imgViewIcon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

// Switches a copy of the row's item, outside the model's lock (launchd and an
// authorisation prompt may take a while), then gives the new state to the row's
// item if it is still the same one. None for a row the list does not have.
template <class Record, class Change>
std::optional<SwitchResult> switchCopy(const std::vector<Record>& items, std::size_t row, bool on,
                                       SwitchResult (*switchItem)(Record&, bool), const Change& change,
                                       std::optional<std::string>& name)
{
    if (row >= items.size())
        return std::nullopt;
    Record item = items[row];
    name = item.name;
    const SwitchResult result = switchItem(item, on);
    change(row, std::function<void(Record&)>([&](Record& shown) {
               if (shown == item)
                   shown.isEnable = item.isEnable;
           }));
    return result;
}

} // namespace

const QColor StartupItemsViewController::tabColor = QColor::fromRgbF(43 / 255.0, 43 / 255.0, 43 / 255.0, 1.0);
const QColor StartupItemsViewController::selectedTabColor = QColor::fromRgbF(37 / 255.0, 37 / 255.0, 37 / 255.0, 1.0);

StartupItemsViewController::StartupItemsViewController(QWidget* parent)
    : QWidget(parent), model_(StartupItemsModel::create(*this))
{
    setObjectName("StartupItemsViewController");
    loadView();
    viewDidLoad();
}

StartupItemsViewController::~StartupItemsViewController() = default;

void StartupItemsViewController::loadView()
{
    using namespace manageLook;
    fillBackground(*this, screenBackground());
    lblStartupItems = screenstyle::makeLabel(
        this, "lblStartupItems", 17, headlineColor(), QFont::Bold, screenstyle::LabelWrap::words);
    lblPreventApplication = screenstyle::makeLabel(
        this, "lblPreventApplication", 12, bodyColor(), QFont::Normal, screenstyle::LabelWrap::words);

    tableView = new QTableWidget(0, 1, this);
    tableView->setObjectName("tableView");
    tableView->horizontalHeader()->hide();
    tableView->horizontalHeader()->setStretchLastSection(true);
    tableView->verticalHeader()->hide();
    tableView->verticalHeader()->setDefaultSectionSize(StartupManagerTableCellView::rowHeight);
    tableView->setShowGrid(false);
    tableView->setSelectionMode(QAbstractItemView::NoSelection);
    tableView->setFocusPolicy(Qt::NoFocus);
    tableView->setStyleSheet("QTableWidget { background: #262626; border: none; }");

    boxLoader = makeBox(this, "boxLoader");
    fillBox(*boxLoader, QColor(37, 37, 37, 200));
    loader = new Spinner(boxLoader);
    loader->setObjectName("loader");
    loader->setFixedSize(64, 64);
    auto* loaderLayout = new QVBoxLayout(boxLoader);
    loaderLayout->addWidget(loader, 0, Qt::AlignCenter);
    auto* tableArea = new QGridLayout;
    tableArea->addWidget(tableView, 0, 0);
    tableArea->addWidget(boxLoader, 0, 0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 28, 32, 24);
    layout->setSpacing(0);
    layout->addWidget(lblStartupItems);
    layout->addSpacing(6);
    layout->addWidget(lblPreventApplication);
    layout->addSpacing(18);
    layout->addWidget(makeTabs());
    layout->addWidget(makeHeadings());
    layout->addLayout(tableArea, 1);
    layout->addSpacing(16);
    layout->addWidget(makeFooter());
}

QWidget* StartupItemsViewController::makeTabs()
{
    auto* tabs = new QWidget(this);
    auto* row = new QHBoxLayout(tabs);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    const auto makeTab = [&](const char* box, const char* title, const char* count, const char* button,
                             void (StartupItemsViewController::*clicked)()) {
        QFrame* frame = makeBox(tabs, box);
        frame->setFixedHeight(52);
        QLabel* titleLabel = screenstyle::makeLabel(frame, title, 14, manageLook::headlineColor(), QFont::Bold);
        QLabel* countLabel = screenstyle::makeLabel(frame, count, 12, manageLook::bodyColor());
        auto* clickTarget = new QPushButton(frame);
        clickTarget->setObjectName(button);
        clickTarget->setFlat(true);
        clickTarget->setCursor(Qt::PointingHandCursor);
        clickTarget->setStyleSheet("QPushButton { background: transparent; border: none; }");
        connect(clickTarget, &QPushButton::clicked, this, [this, clicked] { (this->*clicked)(); });
        auto* texts = new QHBoxLayout;
        texts->setContentsMargins(20, 0, 20, 0);
        texts->addWidget(titleLabel, 1);
        texts->addWidget(countLabel);
        auto* grid = new QGridLayout(frame);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->addLayout(texts, 0, 0);
        grid->addWidget(clickTarget, 0, 0);
        row->addWidget(frame, 1);
        return std::tuple{frame, titleLabel, countLabel, clickTarget};
    };
    std::tie(boxLoginItems, lblLoginItem, lblCountLoginItems, btnLoginItem) =
        makeTab("boxLoginItems", "lblLoginItem", "lblCountLoginItems", "btnLoginItem",
                &StartupItemsViewController::clickedLoginItems);
    std::tie(boxLaunchAgents, lblLaunchAgents, lblCountLaunchAgents, btnLaunchAgents) =
        makeTab("boxLaunchAgents", "lblLaunchAgents", "lblCountLaunchAgents", "btnLaunchAgents",
                &StartupItemsViewController::clickedLaunchAgents);
    return tabs;
}

QWidget* StartupItemsViewController::makeHeadings()
{
    QFrame* headings = makeBox(this, "boxHeadings");
    fillBox(*headings, selectedTabColor);
    headings->setFixedHeight(34);
    checkBoxSelectAll = new QCheckBox(headings);
    checkBoxSelectAll->setObjectName("checkBoxSelectAll");
    checkBoxSelectAll->setCursor(Qt::PointingHandCursor);
    connect(checkBoxSelectAll, &QCheckBox::clicked, this, [this](bool checked) { clickedSelectAll(checked); });
    lblApplication = makeCaption(headings, "lblApplication");
    lblPublisher = makeCaption(headings, "lblPublisher");
    lblPublisher->setFixedWidth(StartupManagerTableCellView::publisherWidth);
    lblStatus = makeCaption(headings, "lblStatus");
    lblStatus->setFixedWidth(StartupManagerTableCellView::statusWidth);
    auto* row = new QHBoxLayout(headings);
    row->setContentsMargins(16, 0, 16, 0);
    row->setSpacing(12);
    row->addWidget(checkBoxSelectAll);
    row->addSpacing(32 + 12); // over the rows' icons
    row->addWidget(lblApplication, 1);
    row->addWidget(lblPublisher);
    row->addWidget(lblStatus);
    return headings;
}

QWidget* StartupItemsViewController::makeFooter()
{
    auto* footer = new QWidget(this);
    lblSelectedItems = makeCaption(footer, "lblSelectedItems");
    QFont font = lblSelectedItems->font();
    font.setPointSize(13);
    lblSelectedItems->setFont(font);
    btnReload = manageLook::makeFlatButton(footer, "btnReload");
    btnReload->setMinimumSize(140, 34);
    connect(btnReload, &FlatButton::clicked, this, [this] { clickedReload(); });
    btnDeleteItems = manageLook::makeFlatButton(footer, "btnDeleteItems");
    btnDeleteItems->setMinimumSize(140, 34);
    connect(btnDeleteItems, &FlatButton::clicked, this, [this] { clickedDeleteSelectedItems(); });
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    row->addWidget(lblSelectedItems);
    row->addStretch(1);
    row->addWidget(btnReload);
    row->addWidget(btnDeleteItems);
    return footer;
}

void StartupItemsViewController::viewDidLoad()
{
    auto& center = platform::NotificationCenter::defaultCenter();
    observers_.push_back(center.addObserver(toggleNotificationName, [this](const auto& n) { btnToggleClicked(n); }));
    observers_.push_back(center.addObserver("ReloadStartupItemsBGX", [this](const auto&) { clickedReload(); }));
    model_->startLoading(StartupManager::loginItems);
    model_->startLoading(StartupManager::launchAgents);
    hideLoader();
    showList(StartupManager::loginItems);
    const std::pair<QWidget*, const char*> texts[] = {
        {lblStartupItems, "IDS_BGX_32"}, {lblPreventApplication, "IDS_BGX_33"}, {lblLoginItem, "IDS_BGX_34"},
        {lblLaunchAgents, "IDS_BGX_35"}, {lblApplication, "IDS_BGX_36"},       {lblPublisher, "IDS_BGX_37"},
        {lblStatus, "IDS_BGX_38"}};
    for (const auto& [label, key] : texts)
        static_cast<QLabel*>(label)->setText(screenText(key));
    btnDeleteItems->setText(screenText("IDS_BGX_39"));
    btnReload->setText(screenText("IDS_BGX_117"));
}

bool StartupItemsViewController::isLoading() const
{
    return model_->isRetrivingLoginItems || model_->isRetrivingLaunchAgents;
}

void StartupItemsViewController::selectListIfIdle(StartupManager list)
{
    if (!isLoading())
        showList(list);
}

void StartupItemsViewController::showList(StartupManager list)
{
    model_->setMenuClicked(list);
    updateSelectAllState();
    fillBox(*boxLoginItems, list == StartupManager::loginItems ? selectedTabColor : tabColor);
    fillBox(*boxLaunchAgents, list == StartupManager::launchAgents ? selectedTabColor : tabColor);
    updateSelectedItemsCount();
    reloadTable();
}

std::size_t StartupItemsViewController::shownCount() const
{
    return model_->menuClicked() == StartupManager::loginItems ? model_->loginItems().size()
                                                                : model_->launchAgents().size();
}

bool StartupItemsViewController::isShownSelected(std::size_t index) const
{
    return model_->menuClicked() == StartupManager::loginItems ? model_->loginItems()[index].isSelected
                                                                : model_->launchAgents()[index].isSelected;
}

void StartupItemsViewController::showCount(StartupManager list, const std::string& text)
{
    (list == StartupManager::loginItems ? lblCountLoginItems : lblCountLaunchAgents)
        ->setText(QString::fromStdString(text));
}

void StartupItemsViewController::reloadTable()
{
    tableView->setRowCount(0);
    tableView->setRowCount(static_cast<int>(shownCount()));
    for (int row = 0; row < tableView->rowCount(); ++row)
        tableView->setCellWidget(row, 0, makeStartupItemCell(row));
}

StartupManagerTableCellView* StartupItemsViewController::makeStartupItemCell(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= shownCount())
        return nullptr;
    auto* cell = new StartupManagerTableCellView;
    cell->btnSelect->setProperty("tag", row);
    connect(cell->btnSelect, &QCheckBox::clicked, this, [this, row](bool checked) { clickedSelectCell(row, checked); });
    const auto index = static_cast<std::size_t>(row);
    if (model_->menuClicked() == StartupManager::loginItems) {
        const LoginItem& item = model_->loginItems()[index];
        fillCell(*cell, item, row, !item.isSMLoginItem);
    } else {
        fillCell(*cell, model_->launchAgents()[index], row, true);
    }
    return cell;
}

StartupManagerTableCellView* StartupItemsViewController::cellAt(int row) const
{
    if (row < 0 || row >= tableView->rowCount())
        return nullptr;
    return dynamic_cast<StartupManagerTableCellView*>(tableView->cellWidget(row, 0));
}

void StartupItemsViewController::showLoader()
{
    boxLoader->show();
    loader->setAnimate(true);
}

void StartupItemsViewController::hideLoader()
{
    boxLoader->hide();
    loader->setAnimate(false);
}

void StartupItemsViewController::btnToggleClicked(const platform::Notification& notification)
{
    const bool* isOn = notification.value<bool>("isOn");
    const auto* index = notification.value<std::optional<int>>("index");
    if (isOn && index && *index)
        toggleStartupItem(*isOn, **index);
}

void StartupItemsViewController::toggleStartupItem(bool isOn, int index)
{
    StartupManagerTableCellView* cell = cellAt(index);
    if (!cell)
        return;
    std::optional<std::string> name;
    const auto row = static_cast<std::size_t>(index);
    const std::optional<SwitchResult> result =
        model_->menuClicked() == StartupManager::loginItems
            ? switchCopy(model_->loginItems(), row, isOn, switchLoginItem,
                         [this](std::size_t at, const auto& change) { model_->changeLoginItem(at, change); }, name)
            : switchCopy(model_->launchAgents(), row, isOn, switchLaunchAgent,
                         [this](std::size_t at, const auto& change) { model_->changeLaunchAgent(at, change); }, name);
    if (result && result->outcome == SwitchResult::done) {
        cell->lblEnableDisable->setText(screenText(isOn ? "IDS_BGX_23" : "IDS_BGX_24"));
        return;
    }
    cell->btnToggle->setIsOn(!isOn); // nothing took effect: the switch shows the item's state again
    cell->btnToggle->updateToggleState();
    if (result && result->outcome == SwitchResult::failed)
        runModalAlert({formatText(localizedText(isOn ? "IDS_BGX_259" : "IDS_BGX_260"),
                                  {name.value_or(localizedText("IDS_BGX_45"))}),
                       result->reason, {localizedText("IDS_BGX_170")}});
}

void StartupItemsViewController::clickedSelectCell(int row, bool checked)
{
    const auto select = [checked](auto& item) { item.isSelected = checked; };
    if (row < 0)
        return;
    if (model_->menuClicked() == StartupManager::loginItems)
        model_->changeLoginItem(static_cast<std::size_t>(row), select);
    else
        model_->changeLaunchAgent(static_cast<std::size_t>(row), select);
    updateSelectedItemsCount();
    updateSelectAllState();
}

void StartupItemsViewController::clickedSelectAll(bool checked)
{
    const auto select = [checked](auto& item) { item.isSelected = checked; };
    for (std::size_t index = 0; index < shownCount(); ++index) {
        if (model_->menuClicked() == StartupManager::loginItems)
            model_->changeLoginItem(index, select);
        else
            model_->changeLaunchAgent(index, select);
    }
    reloadTable();
    updateSelectedItemsCount();
}

void StartupItemsViewController::updateSelectAllState()
{
    bool all = true;
    for (std::size_t index = 0; index < shownCount() && all; ++index)
        all = isShownSelected(index);
    checkBoxSelectAll->setChecked(all);
}

void StartupItemsViewController::updateSelectedItemsCount()
{
    std::size_t selected = 0;
    for (std::size_t index = 0; index < shownCount(); ++index)
        selected += isShownSelected(index) ? 1 : 0;
    lblSelectedItems->setText(QString("%1/%2").arg(selected).arg(shownCount()));
    btnDeleteItems->setEnabled(selected > 0);
    applyLook(*btnDeleteItems, selected > 0 ? deleteEnabled : deleteDisabled);
    updateSelectAllState();
}

void StartupItemsViewController::clickedDeleteSelectedItems()
{
    if (!isLoading())
        confirmDeleteSelectedItems();
}

void StartupItemsViewController::confirmDeleteSelectedItems()
{
    isStartupItemsCleanStarted = true;
    const AlertContent confirmation{localizedText("IDS_BGX_218"), localizedText("IDS_BGX_40"),
                                    {localizedText("IDS_BGX_41"), localizedText("IDS_BGX_42")}};
    beginSheet(*this, confirmation, [this](int response) { deleteSheetDidEnd(response); });
}

void StartupItemsViewController::deleteSheetDidEnd(int response)
{
    if (response == alertFirstButtonReturn) {
        isCleanInProgress = true;
        auto& center = platform::NotificationCenter::defaultCenter();
        center.post("StartupItemsViewUpdateBGX", {{menuKey, StartupItemsState::cleanStartupItems}});
        center.post("CleanViewUpdate_StartupItemsBGX", {{menuKey, CleanMenu::process}});
        platform::dispatch::asyncGlobal([model = model_] { model->removeSelectedStartupItems(); });
    }
    isStartupItemsCleanStarted = false;
}
