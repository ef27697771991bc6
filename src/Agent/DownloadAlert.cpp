#include "Agent/DownloadAlert.h"

#include "Agent/AlertNotifications.h"
#include "Agent/AlertStyle.h"
#include "Agent/AlertedDownloads.h"
#include "Agent/ItemPresence.h"
#include "Controls/ButtonStyling.h"
#include "Controls/FlatButton.h"
#include "Controls/HandCursorButton.h"
#include "Foundation/HelperObjc.h"
#include "Foundation/ProtectedPaths.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Platform/FileManager/FileManager.h"
#include "Screens/Common/KeptItemLine.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <iostream>

namespace {

constexpr int windowWidth = 480;
const QColor ignoreTitleColor(162, 162, 162);

bool isMoveToTrashOn()
{
    const auto stored = readSetting(SettingsKey::moveDeletedToTrash);
    return !stored || *stored->asBoolean();
}

void appendJoined(std::string& joined, const std::optional<std::string>& value)
{
    if (!value)
        return;
    joined += (joined.empty() ? "" : ", ") + *value;
}

} // namespace

using namespace alertstyle;

PublisherTexts publisherTexts(const MalwareList& record)
{
    PublisherTexts texts;
    for (const auto& row : record.publisher.value_or(std::vector<Publisher>{})) {
        appendJoined(texts.company, row.publisher);
        appendJoined(texts.version, row.version);
    }
    return texts;
}

DownloadProtectionViewController::DownloadProtectionViewController()
    : QueuedAlertWindow(windowWidth), btnClose(&closeButton()), lblAttention(heading()), lblMessage(message()),
      lblSubMessage(subMessage()), lblAppName(&productNameLabel())
{
    makeDetails();
    makeButtons();
    observer_ = platform::NotificationCenter::defaultCenter().addObserver(
        AlertNotification::newDownloadedItem,
        [this](const platform::Notification& notification) { notificationUpdateUI(notification); });
    showState(itemPresent);
}

void DownloadProtectionViewController::makeDetails()
{
    QFrame* panel = addPanel();
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(16, 12, 16, 14);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(7);
    lblDetailsCaps = makeLabel(panel, 10, mutedColor, true);
    lblDetailsCaps->setText(screenText("IDS_BGX_184").toUpper());
    grid->addWidget(lblDetailsCaps, 0, 0, 1, 2);
    // Values fill their column, so that a long one wraps at the width it is shown in.
    const auto addRow = [&](int row, QLabel*& caption, const QString& captionText, QWidget* value) {
        caption = makeLabel(panel, 12, mutedColor);
        caption->setText(captionText);
        grid->addWidget(caption, row, 0, Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(value, row, 1);
    };
    lblAppNameValue = makeLabel(panel, 12, textColor, true);
    lblCompanyValue = makeLabel(panel, 12, textColor);
    lblVersionValue = makeLabel(panel, 12, textColor);
    lblPathValue = new ElidingLabel(panel);
    styleLabel(*lblPathValue, 12, textColor);
    addRow(1, lblAppCaps, screenText("IDS_BGX_185"), lblAppNameValue);
    addRow(2, lblThreatCaps, screenText("IDS_BGX_186"), makeThreatBadge(panel));
    addRow(3, lblCompanyCaps, screenText("IDS_BGX_64") + ":", lblCompanyValue);
    addRow(4, lblVersionCaps, screenText("IDS_BGX_65") + ":", lblVersionValue);
    addRow(5, lblPathCaps, screenText("IDS_BGX_187"), lblPathValue);
    for (QLabel* value : {lblAppNameValue, lblCompanyValue, lblVersionValue})
        value->setWordWrap(true);
    grid->setColumnStretch(1, 1);
}

// The threat as a red badge as wide as its text.
QWidget* DownloadProtectionViewController::makeThreatBadge(QWidget* panel)
{
    auto* holder = new QWidget(panel);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    lblThreatValue = new BadgeLabel(dangerColor, holder);
    styleLabel(*lblThreatValue, 11, Qt::white, true);
    row->addWidget(lblThreatValue);
    row->addStretch(1);
    return holder;
}

void DownloadProtectionViewController::makeButtons()
{
    QBoxLayout& row = addButtonRow();
    btnIgnoreThisApp = new HandCursorButton(this);
    btnIgnoreThisApp->setFlat(true);
    QFont font = btnIgnoreThisApp->font();
    font.setPixelSize(15);
    setText(*btnIgnoreThisApp, screenText("IDS_BGX_188"), ignoreTitleColor, font);
    btnIgnoreThisApp->setStyleSheet("QPushButton { border: none; color: #a2a2a2; padding: 0 4px; }"
                                    "QPushButton:hover { color: #6c7580; }");
    connect(btnIgnoreThisApp, &QPushButton::clicked, this, [this] { clickedIgnoreThisApp(); });
    btnDelete = makeActionButton(this, dangerColor);
    connect(btnDelete, &FlatButton::clicked, this, [this] { clickedDelete(); });
    setMainButton(*btnDelete);
    row.addWidget(btnIgnoreThisApp);
    row.addStretch(1);
    row.addWidget(btnDelete);
}

void DownloadProtectionViewController::notificationUpdateUI(const platform::Notification& notification)
{
    const auto* itemPath = notification.value<std::string>(AlertKey::newDownloadedItem);
    if (!itemPath)
        return;
    const auto* record = notification.value<MalwareList>(AlertKey::detectedMalwareList);
    offer({*itemPath, record ? std::optional(*record) : std::nullopt});
}

std::optional<std::string> DownloadProtectionViewController::path() const
{
    return shownItem() ? std::optional(shownItem()->path) : std::nullopt;
}

void DownloadProtectionViewController::showItem(const DownloadHit& hit)
{
    if (hit.record)
        fillDetails(*hit.record);
}

void DownloadProtectionViewController::fillDetails(const MalwareList& record)
{
    const PublisherTexts publishers = publisherTexts(record);
    // The values' column is laid out by now: the window shows before its item comes.
    const int valueWidth = lblAppNameValue->contentsRect().width();
    setWrappedText(*lblAppNameValue, QString::fromStdString(record.appName.value_or("")), valueWidth);
    lblThreatValue->setText(QString::fromStdString(record.sigInfo.value_or("")));
    lblThreatValue->setVisible(!lblThreatValue->text().isEmpty());
    setWrappedText(*lblCompanyValue, QString::fromStdString(publishers.company), valueWidth);
    setWrappedText(*lblVersionValue, QString::fromStdString(publishers.version), valueWidth);
    lblPathValue->setText(QString::fromStdString(path().value_or("")));
    showState(itemPresent);
}

void DownloadProtectionViewController::showState(DeleteState state)
{
    deleteState_ = state;
    const bool present = state == itemPresent;
    lblAttention->setText(screenText(present ? "IDS_BGX_58" : "IDS_BGX_181"));
    lblMessage->setText(screenText(present ? "IDS_BGX_179" : "IDS_BGX_182"));
    lblSubMessage->setText(screenText(present ? "IDS_BGX_180" : "IDS_BGX_183"));
    setBadge(present ? Badge::attention : Badge::done);
    btnIgnoreThisApp->setHidden(!present);
    btnDelete->setText(screenText(present ? "IDS_BGX_41" : "IDS_BGX_170"));
    setActionButtonColor(*btnDelete, present ? dangerColor : safeColor);
    fitToTitle(*btnDelete);
    refit();
}

void DownloadProtectionViewController::clickedDelete()
{
    if (deleteState_ == itemRemoved) {
        close();
        return;
    }
    const auto shown = path();
    if (!shown)
        return;
    if (const auto kept = removeItem(*shown)) {
        // Delete stays offered, and the line under the message says why it failed.
        lblSubMessage->setText(QString::fromStdString(keptItemLine(*kept)));
        refit();
        return;
    }
    showState(itemRemoved);
}

std::optional<KeptItem> DownloadProtectionViewController::removeItem(const std::string& path) const
{
    if (isProtectedPath(path)) {
        std::cout << "Not removed: \"" << path << "\" is a protected path" << std::endl;
        return KeptItem{path, KeptReason::protectedPath};
    }
    const auto notRemoved = [&path](std::string failure) {
        return KeptItem{path, KeptReason::notRemoved, std::move(failure)};
    };
    const bool moveToTrash = isMoveToTrashOn();
    const auto& files = platform::FileManager::defaultManager();
    if (path.ends_with(".app") && !files.isWritableFile(path)) {
        // Only the privileged step may act here: a refused or cancelled one keeps it.
        std::string failure;
        if (HelperObjc::AuthorizedRemove(path, moveToTrash, &failure))
            return std::nullopt;
        std::cout << "\"" << path << "\" was not removed: " << failure << std::endl;
        return notRemoved(failure);
    }
    platform::FileError error;
    if (!(moveToTrash ? files.trashItem(path, nullptr, &error) : files.removeItem(path, &error))) {
        std::cout << error.description << std::endl;
        return notRemoved(error.reason);
    }
    if (isItemAt(path)) {
        std::cout << "\"" << path << "\" is still there after its removal" << std::endl;
        return notRemoved("it is still there after its removal");
    }
    return std::nullopt;
}

void DownloadProtectionViewController::clickedIgnoreThisApp()
{
    close();
}

void DownloadProtectionViewController::dismissed(const DownloadHit& hit)
{
    removeAlertedDownloadPath(hit.path);
    deleteState_ = itemPresent;
}
