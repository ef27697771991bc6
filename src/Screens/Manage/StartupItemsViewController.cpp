#include "Screens/Manage/StartupItemsViewController.h"

#include "Controls/FlatButton.h"
#include "Controls/Spinner.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/SharedState.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/MainWindow.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Common/TabBox.h"
#include "Screens/Common/TextFormat.h"
#include "Screens/Manage/ManageLook.h"
#include "Screens/Manage/StartupItemSwitch.h"
#include "Screens/Manage/StartupItemsTableModel.h"
#include "Screens/Manage/StartupManagerTableCellView.h"
#include "Screens/Manage/UnsavedSettingSheet.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <iostream>
#include <optional>

namespace {

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

// Switches a copy of the row's item, outside the model's lock (launchd and an
// authorisation prompt may take a while), then gives the row's item the new state if
// it is still the same one. None for a row the list does not have.
template <class Record>
std::optional<SwitchResult> switchCopy(StartupItemsModel& model, const std::vector<Record>& items, std::size_t row,
                                       bool on)
{
    if (row >= items.size())
        return std::nullopt;
    Record item = items[row];
    const SwitchResult result = switchStartupItem(item, on);
    model.takeSwitchedState(row, item);
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

StartupItemsViewController::~StartupItemsViewController()
{
    model_->forgetView(); // a load or removal under way ends without this screen
}

void StartupItemsViewController::loadView()
{
    using namespace manageLook;
    fillBackground(*this, screenBackground());
    lblStartupItems = screenstyle::makeLabel(
        this, "lblStartupItems", 17, headlineColor(), QFont::Bold, screenstyle::LabelWrap::words);
    lblPreventApplication = screenstyle::makeLabel(
        this, "lblPreventApplication", 12, bodyColor(), QFont::Normal, screenstyle::LabelWrap::words);

    tableView = makeTable();

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
    // The keyboard goes from the tabs and Select all through the rows to the buttons.
    setTabOrder(checkBoxSelectAll, tableView);
    setTabOrder(tableView, btnReload);
    setTabOrder(btnReload, btnDeleteItems);
}

RowTableView* StartupItemsViewController::makeTable()
{
    using Cell = StartupManagerTableCellView;
    auto* table = new RowTableView(this);
    setUpRowTable(*table, Cell::rowHeight, "QTableView { background: #262626; border: none; }");
    tableModel_ = new StartupItemsTableModel(*model_, table);
    table->setModel(tableModel_);
    table->setItemDelegate(new Cell(*table));
    table->setRowControls({{[](const QRect& row) { return Cell::placesIn(row).tickBox; }},
                           {[](const QRect& row) { return Cell::placesIn(row).toggle; },
                            StartupItemsTableModel::switchOnRole, StartupItemsTableModel::switchShownRole,
                            StartupItemsTableModel::switchableRole, StartupItemsTableModel::statusRole}});
    table->onToggle = [this](int row, int control, const QVariant& item) { rowControlFlipped(row, control, item); };
    return table;
}

QWidget* StartupItemsViewController::makeTabs()
{
    auto* tabs = new QWidget(this);
    auto* row = new QHBoxLayout(tabs);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    const auto makeTab = [&](const char* box, const char* title, const char* count, const char* button,
                             void (StartupItemsViewController::*clicked)()) {
        QLabel* titleLabel = screenstyle::makeLabel(tabs, title, 14, manageLook::headlineColor(), QFont::Bold);
        QLabel* countLabel = screenstyle::makeLabel(tabs, count, 12, manageLook::bodyColor());
        auto* texts = new QHBoxLayout;
        texts->setContentsMargins(20, 0, 20, 0);
        texts->addWidget(titleLabel, 1);
        texts->addWidget(countLabel);
        const TabBox tab = makeTabBox(tabs, box, button, texts);
        tab.box->setFixedHeight(52);
        connect(tab.button, &QPushButton::clicked, this, [this, clicked] { (this->*clicked)(); });
        row->addWidget(tab.box, 1);
        return std::tuple{tab.box, titleLabel, countLabel, tab.button};
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
    checkBoxSelectAll->setAccessibleName(screenText("IDS_BGX_290"));
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

void StartupItemsViewController::selectListIfIdle(StartupManager list)
{
    if (!model_->isLoading())
        showList(list);
}

void StartupItemsViewController::showList(StartupManager list)
{
    model_->setMenuClicked(list);
    updateSelectAllState();
    fillBox(*boxLoginItems, list == StartupManager::loginItems ? selectedTabColor : tabColor);
    fillBox(*boxLaunchAgents, list == StartupManager::launchAgents ? selectedTabColor : tabColor);
    setTabSelected(*btnLoginItem, list == StartupManager::loginItems);
    setTabSelected(*btnLaunchAgents, list == StartupManager::launchAgents);
    tableView->setAccessibleName(screenText(list == StartupManager::loginItems ? "IDS_BGX_34" : "IDS_BGX_35"));
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

bool StartupItemsViewController::isShownEnabled(std::size_t index) const
{
    return model_->menuClicked() == StartupManager::loginItems ? model_->loginItems()[index].isEnable
                                                                : model_->launchAgents()[index].isEnable;
}

void StartupItemsViewController::showCount(StartupManager list, const std::string& text)
{
    (list == StartupManager::loginItems ? lblCountLoginItems : lblCountLaunchAgents)
        ->setText(QString::fromStdString(text));
}

void StartupItemsViewController::reloadTable()
{
    const int current = tableView->currentIndex().row();
    tableModel_->reload();
    const int rows = tableModel_->rowCount();
    if (current >= 0 && rows > 0 && tableView->hasFocus())
        tableView->setCurrentRowInPlace(std::min(current, rows - 1));
}

QVariant StartupItemsViewController::shownItemKey(std::size_t index) const
{
    if (index >= shownCount())
        return {};
    return model_->menuClicked() == StartupManager::loginItems
               ? StartupItemsTableModel::itemKey(model_->loginItems()[index])
               : StartupItemsTableModel::itemKey(model_->launchAgents()[index]);
}

void StartupItemsViewController::rowControlFlipped(int row, int control, const QVariant& item)
{
    // Nothing acts on a list being loaded, nor on a row that shows another item by now.
    if (model_->isLoading() || row < 0 || shownItemKey(static_cast<std::size_t>(row)) != item)
        return;
    const auto index = static_cast<std::size_t>(row);
    if (control == tickBoxControl)
        clickedSelectCell(row, !isShownSelected(index));
    else
        toggleStartupItem(!isShownEnabled(index), row);
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

void StartupItemsViewController::toggleStartupItem(bool isOn, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= shownCount())
        return;
    const auto row = static_cast<std::size_t>(index);
    const std::optional<SwitchResult> result = model_->menuClicked() == StartupManager::loginItems
                                                   ? switchCopy(*model_, model_->loginItems(), row, isOn)
                                                   : switchCopy(*model_, model_->launchAgents(), row, isOn);
    tableModel_->rowChanged(index); // the switch shows the item's state, whether it changed or not
    if (result && result->outcome == SwitchResult::failed)
        reportFailedSwitch(tableModel_->index(index, 0).data().toString().toStdString(), isOn, result->reason);
    if (result && result->outcome == SwitchResult::notStored)
        showUnsavedSettingSheet(*this);
}

// Why a switch did not take effect: printed, and told in a sheet on the main window.
void StartupItemsViewController::reportFailedSwitch(const std::string& name, bool on, const std::string& reason)
{
    std::cout << reason << std::endl;
    const AlertContent alert{formatText(localizedText(on ? "IDS_BGX_259" : "IDS_BGX_260"), {name}), reason,
                             {localizedText("IDS_BGX_170")}};
    beginSheet(mainWindow(*this), alert, [](int) {});
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
    tableModel_->rowChanged(row);
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
    tableModel_->allRowsChanged();
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
    if (!model_->isLoading())
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
        model_->startRemoval();
    }
    isStartupItemsCleanStarted = false;
}
