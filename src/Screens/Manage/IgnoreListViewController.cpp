#include "Screens/Manage/IgnoreListViewController.h"

#include "Controls/FlatButton.h"
#include "Foundation/FileUtilities.h"
#include "Foundation/IgnoreList.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/ElidedLabel.h"
#include "Screens/Common/FileChooser.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Manage/ManageLook.h"
#include "Screens/Manage/UnsavedSettingSheet.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int rowHeight = 44;
constexpr int iconSide = 28;

} // namespace

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
    tableView = makeRowTable(this, rowHeight, "QTableWidget { background: #2b2b2b; border: 1px solid #3c3c3c; }");
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

void IgnoreListViewController::viewDidLoad()
{
    lblIgnoreList->setText(screenText("IDS_BGX_116"));
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
    fillRows(*tableView, static_cast<int>(allIgnorePaths.size()), [this](int row) { return makeCell(row); });
    updateRemoveButton();
}

QWidget* IgnoreListViewController::makeCell(int row) const
{
    const IgnoreList& item = allIgnorePaths[static_cast<std::size_t>(row)];
    auto* cell = new QWidget;
    auto* imageView = new QLabel(cell);
    imageView->setFixedSize(iconSide, iconSide);
    if (!item.icon.isNull())
        imageView->setPixmap(QPixmap::fromImage(item.icon.scaled(iconSide, iconSide, Qt::KeepAspectRatio,
                                                                 Qt::SmoothTransformation)));
    auto* textField = new ElidedLabel(Qt::ElideMiddle, cell);
    textField->setText(QString::fromStdString(item.path));
    screenstyle::styleLabel(*textField, "textField", 11, manageLook::headlineColor());
    auto* checkbox = new QCheckBox(cell);
    checkbox->setObjectName("checkbox");
    checkbox->setChecked(item.isSelected);
    checkbox->setAccessibleName(textField->text());
    auto* owner = const_cast<IgnoreListViewController*>(this);
    connect(checkbox, &QCheckBox::clicked, owner, [owner, row](bool checked) { owner->rowCellAction(row, checked); });
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(12, 0, 12, 0);
    layout->setSpacing(12);
    layout->addWidget(imageView);
    layout->addWidget(textField, 1);
    layout->addWidget(checkbox);
    return cell;
}

void IgnoreListViewController::rowCellAction(int row, bool checked)
{
    if (row < 0 || static_cast<std::size_t>(row) >= allIgnorePaths.size())
        return;
    allIgnorePaths[static_cast<std::size_t>(row)].isSelected = checked;
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
        if (response != fileChooserOK)
            return;
        const bool stored = addToStoredIgnoreList(chosen);
        if (self)
            self->showStoredList(stored);
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
