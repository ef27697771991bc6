#include "Screens/Manage/IgnoreListViewController.h"

#include "Controls/FlatButton.h"
#include "Foundation/FileUtilities.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/FileChooser.h"
#include "Screens/Common/ScreenText.h"
#include "Screens/Manage/ManageLook.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int rowHeight = 44;
constexpr int iconSide = 28;

std::vector<std::string> pathsIn(const platform::Value* value)
{
    std::vector<std::string> paths;
    const platform::Array* array = value ? value->asArray() : nullptr;
    if (!array || !std::all_of(array->begin(), array->end(), [](const auto& each) { return each.asText(); }))
        return paths;
    for (const platform::Value& each : *array)
        paths.push_back(*each.asText());
    return paths;
}

platform::Array arrayOf(const std::vector<std::string>& paths)
{
    return platform::Array(paths.begin(), paths.end());
}

// One read-modify-write of the stored list: `change` gets the paths stored now (none
// for a value that is not a list of texts). Nothing happens without the suite.
void changeStoredPaths(const std::function<void(std::vector<std::string>&)>& change)
{
    platform::UserDefaults* suite = appGroupDefaults();
    if (!suite)
        return;
    suite->modifyObject(SettingsKey::ignoreAllPaths, [&](const platform::Value* stored) {
        std::vector<std::string> paths = pathsIn(stored);
        change(paths);
        return platform::Value(arrayOf(paths));
    });
}

// A path shown in one line, shortened in its middle when it does not fit.
class PathLabel : public QLabel {
public:
    PathLabel(const QString& path, QWidget* parent) : QLabel(parent), path_(path)
    {
        setToolTip(path);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        setText(fontMetrics().elidedText(path_, Qt::ElideMiddle, width()));
        QLabel::resizeEvent(event);
    }

private:
    QString path_;
};

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
    tableView = new QTableWidget(0, 1, this);
    tableView->setObjectName("tableView");
    tableView->horizontalHeader()->hide();
    tableView->horizontalHeader()->setStretchLastSection(true);
    tableView->verticalHeader()->hide();
    tableView->verticalHeader()->setDefaultSectionSize(rowHeight);
    tableView->setShowGrid(false);
    tableView->setSelectionMode(QAbstractItemView::NoSelection);
    tableView->setFocusPolicy(Qt::NoFocus);
    tableView->setStyleSheet("QTableWidget { background: #2b2b2b; border: 1px solid #3c3c3c; }");
    btnRefresh = makeFlatButton(this, "btnRefresh");
    btnRemove = makeFlatButton(this, "btnRemove");
    btnAdd = makeFlatButton(this, "btnAdd");
    connect(btnRefresh, &FlatButton::clicked, this, [this] { clickedRefresh(); });
    connect(btnRemove, &FlatButton::clicked, this, [this] { clickedRemove(); });
    connect(btnAdd, &FlatButton::clicked, this, [this] { clickedAdd(); });

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    buttons->addStretch(1);
    for (FlatButton* button : {btnRefresh, btnRemove, btnAdd})
        buttons->addWidget(button);
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
    platform::UserDefaults* suite = appGroupDefaults();
    const std::optional<platform::Value> stored = suite ? suite->object(SettingsKey::ignoreAllPaths) : std::nullopt;
    for (const std::string& path : pathsIn(stored ? &*stored : nullptr)) {
        const std::optional<platform::Image> icon = getFileIcon(path);
        allIgnorePaths.push_back({icon ? icon->bitmap() : QImage(), path, true});
    }
    tableView->setRowCount(0);
    tableView->setRowCount(static_cast<int>(allIgnorePaths.size()));
    for (int row = 0; row < tableView->rowCount(); ++row)
        tableView->setCellWidget(row, 0, makeCell(row));
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
    auto* textField = new PathLabel(QString::fromStdString(item.path), cell);
    screenstyle::styleLabel(*textField, "textField", 11, manageLook::headlineColor());
    auto* checkbox = new QCheckBox(cell);
    checkbox->setObjectName("checkbox");
    checkbox->setChecked(item.isSelected);
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
        changeStoredPaths([&](std::vector<std::string>& paths) {
            for (const std::string& path : chosen)
                if (std::find(paths.begin(), paths.end(), path) == paths.end())
                    paths.push_back(path);
        });
        if (self)
            self->loadIgnoreList();
    });
}

void IgnoreListViewController::clickedRemove()
{
    std::vector<std::string> ticked;
    for (const IgnoreList& row : allIgnorePaths)
        if (row.isSelected)
            ticked.push_back(row.path);
    const AlertContent confirmation{localizedText("IDS_BGX_87"), localizedText("IDS_BGX_164"),
                                    {localizedText("IDS_BGX_56"), localizedText("IDS_BGX_57")}};
    beginSheet(*this, confirmation, [self = QPointer(this), ticked](int response) {
        if (response == alertFirstButtonReturn)
            changeStoredPaths([&](std::vector<std::string>& paths) {
                std::erase_if(paths, [&](const std::string& path) {
                    return std::find(ticked.begin(), ticked.end(), path) != ticked.end();
                });
            });
        if (self)
            self->loadIgnoreList();
    });
}
