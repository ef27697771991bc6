#include "Screens/Scan/OverviewViewController.h"

#include "Controls/FlatButton.h"
#include "Detection/Scan.h"
#include "Detection/SharedLists.h"
#include "Foundation/ByteCountFormat.h"
#include "Foundation/IgnoreList.h"
#include "Foundation/IndexVocabularies.h"
#include "Foundation/ProtectionSwitch.h"
#include "Foundation/Settings.h"
#include "Foundation/SharedState.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/DateText.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/NumberText.h"
#include "Screens/Common/ScreenStyle.h"
#include "Screens/Scan/OverviewScanResults.h"

namespace {

constexpr double panelClosed = -250.0;

// The status titles' look, whatever the layout gave the button: grey, clear
// background, size 13, left-aligned, underlined.
void setStatusTitle(QPushButton& button, const QString& title)
{
    button.setStyleSheet("QPushButton { color: rgb(142, 142, 147); background: transparent; border: none;"
                         " text-align: left; padding: 0; }");
    QFont font = button.font();
    font.setPointSize(13);
    font.setUnderline(true);
    button.setFont(font);
    QPalette palette = button.palette();
    palette.setColor(QPalette::ButtonText, screenstyle::systemGrayColor);
    palette.setColor(QPalette::Button, Qt::transparent);
    button.setPalette(palette);
    button.setText(title);
}

// A stored number in its shortest form; a text as it stands.
std::string storedValueText(const platform::Value& value)
{
    if (const double* real = value.asReal())
        return numberText(*real);
    if (const std::int64_t* integer = value.asInteger())
        return std::to_string(*integer);
    if (const std::string* text = value.asText())
        return *text;
    return {};
}

} // namespace

OverviewViewController::OverviewViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("OverviewViewController");
    loadView();
    viewDidLoad();
}

void OverviewViewController::viewDidLoad()
{
    styleBoxes();
    lblLastScanDate->setText({});
    showSystemInformation();
    auto& center = platform::NotificationCenter::defaultCenter();
    observers_.push_back(center.addObserver("NotifyScanProcessCompleteBGX",
                                            [this](const auto& notification) { observeScanProcessComplete(notification); }));
    observers_.push_back(center.addObserver("UpdateAGSQStatusAndDefinitionsBGX", [this](const auto&) { updateAGSQStatus(); }));
    setCaptions();
}

void OverviewViewController::showSystemInformation()
{
    const OperatingSystem system = currentOperatingSystem();
    showVersion(system.version);
    showRelease(system);
    showMemory(physicalMemorySize());
    showDisk(fileSystemSize("/"));
    boxGraphic->hide();
    showHardware(systemProfilerOutput());
}

void OverviewViewController::showVersion(const OperatingSystemVersion& version)
{
    lblversion->setText(screenText("IDS_BGX_141") + " "
                        + QString("%1.%2.%3").arg(version.majorVersion).arg(version.minorVersion).arg(version.patchVersion));
}

void OverviewViewController::showRelease(const OperatingSystem& system)
{
    const auto release = releaseOf(system);
    lblos->setText(release ? screenText(release->textKey) : QString::fromStdString(system.name));
    setImageNamed(*imgview_macos, release ? release->imageName : "systemdefault");
}

void OverviewViewController::showMemory(double bytes)
{
    lblraminstalled->setText(QString::fromStdString(formatByteCountBinary(bytes)));
}

void OverviewViewController::showDisk(std::optional<double> volumeSize)
{
    lblRemainingHarddrive->setText({});
    if (volumeSize)
        lblRemainingHarddrive->setText(QString::fromStdString(formatByteCountDecimal(*volumeSize)));
}

void OverviewViewController::showHardware(const std::optional<std::string>& profilerOutput)
{
    if (!profilerOutput || profilerOutput->empty())
        return;
    const HardwareDescription hardware = parseSystemProfilerOutput(*profilerOutput);
    lblProcessorInfo->setText(QString::fromStdString(hardware.processor));
    if (!hardware.graphics)
        return;
    lblGrpahicsInfo->setText(QString::fromStdString(*hardware.graphics));
    if (QString::fromStdString(*hardware.graphics).remove(' ').size() > 0)
        boxGraphic->show();
}

void OverviewViewController::setCaptions()
{
    const std::pair<QLabel*, const char*> captions[] = {
        {lblWelcomeToBastionGuardpoin, "IDS_BGX_9"}, {lblProtectYourSystemAgainst, "IDS_BGX_10"},
        {lblGiveYourPCAThroughScan, "IDS_BGX_11"},   {lblActiveProtection, "IDS_BGX_14"},
        {lblDatabaseStatus, "IDS_BGX_15"},           {lblDeceptorsCleaned, "IDS_BGX_16"},
        {lblAboutYourMac, "IDS_BGX_17"},             {lblMacOS, "IDS_BGX_18"},
        {lblMemoryRam, "IDS_BGX_19"},                {lblHardDrive, "IDS_BGX_20"},
        {lblProcessor, "IDS_BGX_21"},                {lblGraphics, "IDS_BGX_22"},
    };
    for (const auto& [label, key] : captions)
        label->setText(screenText(key));
    btnStartScanNow->setText(screenText("IDS_BGX_12"));
    // Screen readers: the info button by the panel it opens, each status by its caption.
    btnSystemInfo->setAccessibleName(lblAboutYourMac->text());
    btnActiveProtectionValue->setAccessibleDescription(lblActiveProtection->text());
    btnDefinationStatusValue->setAccessibleDescription(lblDatabaseStatus->text());
}

void OverviewViewController::viewWillAppear()
{
    boxsysteminfo_trailing->setConstant(panelClosed);
    showLastScanDate();
}

QWidget* OverviewViewController::mainControl()
{
    return btnStartScanNow;
}

void OverviewViewController::viewDidAppear()
{
    if (isLaunchedAsLoginItem.exchange(false)) {
        if (Scan::shared().isScanRunning)
            return;
        Scan::shared().startScan();
    }
    updateAGSQStatus();
}

void OverviewViewController::showLastScanDate()
{
    if (const auto date = standardDefaults().date(SettingsKey::lastScanDate))
        lblLastScanDate->setText(screenText("IDS_BGX_13") + " " + QString::fromStdString(dateTimeText(*date)));
}

void OverviewViewController::updateAGSQStatus()
{
    if (appGroupDefaults()) { // each switch read as the agent reads it
        const bool on = !isSwitchedOff(SettingsKey::isActiveProtectionEnabled)
            || !isSwitchedOff(SettingsKey::isStartupProtectionEnabled);
        setStatusTitle(*btnActiveProtectionValue, screenText(on ? "IDS_BGX_23" : "IDS_BGX_24"));
        setImageNamed(*imgViewActiveProtectionStatus, on ? "singletick.png" : "exclamationM.png");
    }

    platform::UserDefaults& standard = standardDefaults();
    if (const auto upToDate = standard.boolean(SettingsKey::isDefinitionsAreUpToDate)) {
        const auto newVersion = standard.object(SettingsKey::definitionsNewVersion);
        if (*upToDate)
            setStatusTitle(*btnDefinationStatusValue, screenText("IDS_BGX_25"));
        else if (standard.object(SettingsKey::definitionsOldVersion) && newVersion)
            setStatusTitle(*btnDefinationStatusValue,
                           screenText("IDS_BGX_204") + " " + QString::fromStdString(storedValueText(*newVersion)));
        setImageNamed(*imgViewDefinationStatus, *upToDate ? "singletick.png" : "exclamationM.png");
    }

    const std::int64_t removed = standard.integer(SettingsKey::totalDeceptiveAppsRemovedSoFar).value_or(0);
    lblTotalDeceptiveAppsRemoved->setText(QString::number(removed) + " " + screenText("IDS_BGX_26"));
    showStatusInHeader();
}

// The header's shield agrees with the status rows: the attention shield while either shows
// its attention icon.
void OverviewViewController::showStatusInHeader()
{
    const auto needsAttention = [](const QLabel& statusIcon) {
        return statusIcon.property("imageName").toString() == "exclamationM.png";
    };
    const bool attention = needsAttention(*imgViewActiveProtectionStatus) || needsAttention(*imgViewDefinationStatus);
    setImageNamed(*imgViewShield, attention ? "AttentionShield" : "AppIcon");
}

void OverviewViewController::observeScanProcessComplete(const platform::Notification& notification)
{
    const bool* completed = notification.value<bool>("isScanCompleted");
    const auto* scanList = notification.value<std::vector<MalwareList>>("scanList");
    if (!completed || !*completed || !scanList)
        return;
    std::vector<ScanResult> rows = scanResultsFrom(*scanList, IgnoredPaths::stored());
    if (!isStoredIgnoreListReadable()) // what the user keeps is not known: nothing is ticked for a clean
        for (ScanResult& row : rows)
            row.isSelected = false;
    scanResults().replace(std::move(rows));
    platform::NotificationCenter::defaultCenter().post("ScanViewUpdateBGX", {{menuKey, ScanMenu::scanresult}});
    standardDefaults().setObject(SettingsKey::lastScanDate, platform::Value(platform::Date(std::chrono::system_clock::now())));
    showLastScanDate();
}

void OverviewViewController::clickedStartScanNow()
{
    if (!Scan::shared().isScanRunning)
        Scan::shared().startScan();
}

void OverviewViewController::clickedActiveProtectionStatus()
{
    platform::NotificationCenter::defaultCenter().post("MenuSelectionBGX", {{menuKey, Menu::protection}});
}

void OverviewViewController::clickedDatabaseStatus()
{
    auto& center = platform::NotificationCenter::defaultCenter();
    center.post("MenuSelectionBGX", {{menuKey, Menu::settings}});
    center.post("SettingViewUpdateBGX", {{menuKey, SettingsMenu::update}});
}
