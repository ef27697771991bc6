#include "Screens/Manage/IgnoreListViewController.h"

#include "Controls/FlatButton.h"
#include "Foundation/FileUtilities.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/FileChooser.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Common/ScreenText.h"
#include "Screens/Manage/ManageLook.h"

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

// The texts of a stored list; an entry of another kind is passed over, and a value
// that is not a list gives none.
std::vector<std::string> pathsIn(const platform::Value* value)
{
    std::vector<std::string> paths;
    if (const platform::Array* array = value ? value->asArray() : nullptr)
        for (const platform::Value& each : *array)
            if (const std::string* path = each.asText())
                paths.push_back(*path);
    return paths;
}

bool holdsPath(const platform::Array& entries, const std::string& path)
{
    return std::any_of(entries.begin(), entries.end(), [&](const platform::Value& each) {
        return each.asText() && *each.asText() == path;
    });
}

// One read-modify-write of the stored list: `change` gets its entries as stored now
// (none for a value that is not a list); entries it leaves alone, of whatever kind,
// are written back as they were. Nothing happens without the suite.
void changeStoredEntries(const std::function<void(platform::Array&)>& change)
{
    platform::UserDefaults* suite = appGroupDefaults();
    if (!suite)
        return;
    suite->modifyObject(SettingsKey::ignoreAllPaths, [&](const platform::Value* stored) {
        platform::Array entries = stored && stored->asArray() ? *stored->asArray() : platform::Array{};
        change(entries);
        return platform::Value(std::move(entries));
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
        changeStoredEntries([&](platform::Array& entries) {
            for (const std::string& path : chosen)
                if (!holdsPath(entries, path))
                    entries.emplace_back(path);
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
            changeStoredEntries([&](platform::Array& entries) {
                std::erase_if(entries, [&](const platform::Value& each) {
                    return each.asText() && std::find(ticked.begin(), ticked.end(), *each.asText()) != ticked.end();
                });
            });
        if (self)
            self->loadIgnoreList();
    });
}
