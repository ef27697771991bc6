#include "Screens/Manage/IgnoreListViewController.h"

#include "Controls/FlatButton.h"
#include "Foundation/FileUtilities.h"
#include "Foundation/IgnoreList.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/FileChooser.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Manage/IgnoreListRowDelegate.h"
#include "Screens/Manage/ManageLook.h"
#include "Screens/Manage/UnsavedSettingSheet.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include <algorithm>

IgnoreListViewController::IgnoreListViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("IgnoreListViewController");
    loadView();
    viewDidLoad();
}

void IgnoreListViewController::loadView()
{
    using namespace manageLook;
    fillBackground(*this, screenBackground());
    lblIgnoreList = screenstyle::makeLabel(
        this, "lblIgnoreList", 17, headlineColor(), QFont::Bold, screenstyle::LabelWrap::words);
    tableView = makeTable();
    btnRefresh = makeFlatButton(this, "btnRefresh");
    btnRemove = makeFlatButton(this, "btnRemove");
    btnAdd = makeFlatButton(this, "btnAdd");
    connect(btnRefresh, &FlatButton::clicked, this, [this] { clickedRefresh(); });
    connect(btnRemove, &FlatButton::clicked, this, [this] { clickedRemove(); });
    connect(btnAdd, &FlatButton::clicked, this, [this] { clickedAdd(); });

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    buttons->addStretch(1);
    // Three buttons fit the narrower settings tab inside its margins.
    for (FlatButton* button : {btnRefresh, btnRemove, btnAdd}) {
        button->setMinimumWidth(150);
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 36, 40, 36);
    layout->setSpacing(16);
    layout->addWidget(lblIgnoreList);
    layout->addWidget(tableView, 1);
    layout->addLayout(buttons);
}

RowTableView* IgnoreListViewController::makeTable()
{
    auto* table = new RowTableView(this);
    setUpRowTable(*table, IgnoreListRowDelegate::rowHeight,
                  "QTableView { background: #2b2b2b; border: 1px solid #3c3c3c; }");
    tableModel_ = new IgnoreListTableModel(allIgnorePaths, table);
    table->setModel(tableModel_);
    table->setItemDelegate(new IgnoreListRowDelegate(*table));
    table->setRowControls({{&IgnoreListRowDelegate::tickBoxIn}});
    table->onToggle = [this](int row, int, const QVariant& item) {
        if (tableModel_->index(row, 0).data(RowTableView::itemKeyRole) == item)
            rowCellAction(row, !allIgnorePaths[static_cast<std::size_t>(row)].isSelected);
    };
    return table;
}

void IgnoreListViewController::viewDidLoad()
{
    lblIgnoreList->setText(screenText("IDS_BGX_116"));
    tableView->setAccessibleName(lblIgnoreList->text());
    btnRefresh->setText(screenText("IDS_BGX_117"));
    btnRemove->setText(screenText("IDS_BGX_118"));
    btnAdd->setText(screenText("IDS_BGX_119"));
    updateRemoveButton();
}

void IgnoreListViewController::viewWillAppear()
{
    loadIgnoreList();
}

void IgnoreListViewController::loadIgnoreList()
{
    allIgnorePaths.clear();
    for (const std::string& path : storedIgnoreListPaths()) {
        const std::optional<platform::Image> icon = getFileIcon(path);
        allIgnorePaths.push_back({icon ? icon->bitmap() : QImage(), path, true});
    }
    tableModel_->reload();
    updateRemoveButton();
}

void IgnoreListViewController::rowCellAction(int row, bool checked)
{
    if (row < 0 || static_cast<std::size_t>(row) >= allIgnorePaths.size())
        return;
    allIgnorePaths[static_cast<std::size_t>(row)].isSelected = checked;
    tableModel_->rowChanged(row);
    updateRemoveButton();
}

void IgnoreListViewController::updateRemoveButton()
{
    const bool anySelected =
        std::any_of(allIgnorePaths.begin(), allIgnorePaths.end(), [](const IgnoreList& row) { return row.isSelected; });
    manageLook::setFlatButtonEnabled(*btnRemove, anySelected);
}

void IgnoreListViewController::clickedAdd()
{
    FileChooserOptions options;
    options.prompt = localizedText("IDS_BGX_119");
    options.message = localizedText("IDS_BGX_165");
    options.allowsMultipleSelection = true;
    beginFileChooser(*this, options, [self = QPointer(this)](int response, const std::vector<std::string>& chosen) {
        const bool stored = response != fileChooserOK || addToStoredIgnoreList(chosen);
        if (!self)
            return;
        if (response == fileChooserOK)
            self->showStoredList(stored);
        self->focusAdded(response == fileChooserOK ? chosen : std::vector<std::string>());
    });
}

void IgnoreListViewController::clickedRemove()
{
    std::vector<StoredIgnoreListEntry> ticked;
    for (std::size_t position = 0; position < allIgnorePaths.size(); ++position)
        if (allIgnorePaths[position].isSelected)
            ticked.push_back({position, allIgnorePaths[position].path});
    const AlertContent confirmation{localizedText("IDS_BGX_87"), localizedText("IDS_BGX_164"),
                                    {localizedText("IDS_BGX_56"), localizedText("IDS_BGX_57")}};
    beginSheet(*this, confirmation, [self = QPointer(this), ticked](int response) {
        const bool stored = response != alertFirstButtonReturn || removeFromStoredIgnoreList(ticked);
        if (self)
            self->showStoredList(stored);
    });
}

void IgnoreListViewController::showStoredList(bool changeStored)
{
    loadIgnoreList();
    if (!changeStored)
        showUnsavedSettingSheet(*this);
}

void IgnoreListViewController::focusAdded(const std::vector<std::string>& paths)
{
    const auto added = std::find_if(allIgnorePaths.begin(), allIgnorePaths.end(), [&](const IgnoreList& row) {
        return std::find(paths.begin(), paths.end(), row.path) != paths.end();
    });
    if (added == allIgnorePaths.end()) {
        btnAdd->setFocus(Qt::OtherFocusReason);
        return;
    }
    tableView->setCurrentIndex(tableModel_->index(static_cast<int>(added - allIgnorePaths.begin()), 0));
    tableView->setFocus(Qt::TabFocusReason);
}
