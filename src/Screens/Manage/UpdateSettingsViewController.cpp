#include "Screens/Manage/UpdateSettingsViewController.h"

#include "Controls/BundleVersion.h"
#include "Controls/FlatButton.h"
#include "Detection/DatabaseManager.h"
#include "Detection/UpdateDatabase.h"
#include "Foundation/Reachability.h"
#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Foundation/UserPaths.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Notifications/NotificationCenter.h"
#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/DateText.h"
#include "Screens/Common/MainWindow.h"
#include "Screens/Common/ModalAlert.h"
#include "Screens/Common/NumberText.h"
#include "Screens/Common/TextFormat.h"
#include "Screens/Manage/ManageLook.h"
#include "Screens/Manage/SettingCheckbox.h"

#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace K = SettingsKey;
using namespace std::chrono_literals;

namespace {

constexpr auto checkResultDelay = 1s;
constexpr auto installResultDelay = 300ms;

void showOfflineAlert()
{
    runModalAlert({localizedText("IDS_BGX_156"), localizedText("IDS_BGX_157"), {"OK"}});
}

// A result sheet on the main window (the screen may have left it by now): one text
// and one button.
void showResultSheet(QWidget& view, const char* textKey)
{
    beginSheet(mainWindow(view), {"", localizedText(textKey), {localizedText("IDS_BGX_170")}}, [](int) {});
}

// Runs `step` on the main queue after `delay`, unless the screen has gone by then.
void afterDelay(platform::dispatch::Duration delay, UpdateSettingsViewController* screen,
                std::function<void(UpdateSettingsViewController&)> step)
{
    platform::dispatch::asyncAfter(delay, [self = QPointer(screen), step = std::move(step)] {
        if (self)
            step(*self);
    });
}

} // namespace

std::string applicationVersionText()
{
    const platform::Bundle& bundle = platform::Bundle::main();
    return appVersion(bundle).value_or("0") + "." + buildNumber(bundle).value_or("0");
}

UpdateSettingsViewController::UpdateSettingsViewController(QWidget* parent)
    : QWidget(parent), updater(platform::SUUpdater::initForBundle(platform::Bundle::main()))
{
    setObjectName("UpdateSettingsViewController");
    loadView();
    viewDidLoad();
}

UpdateSettingsViewController::~UpdateSettingsViewController() = default;

void UpdateSettingsViewController::loadView()
{
    using namespace manageLook;
    fillBackground(*this, screenBackground());
    lblUpdateSettings = screenstyle::makeLabel(
        this, "lblUpdateSettings", 17, headlineColor(), QFont::Bold, screenstyle::LabelWrap::words);
    lblDefinitionUpdate = screenstyle::makeLabel(
        this, "lblDefinitionUpdate", 14, headlineColor(), QFont::Bold, screenstyle::LabelWrap::words);
    lblDefinitionsVersion = screenstyle::makeLabel(
        this, "lblDefinitionsVersion", 13, tintColor, QFont::Normal, screenstyle::LabelWrap::words);
    lblValueDefinitionsVersion = screenstyle::makeLabel(
        this, "lblValueDefinitionsVersion", 13, headlineColor(), QFont::Normal, screenstyle::LabelWrap::words);
    lblLastUpdateOn
        = screenstyle::makeLabel(this, "lblLastUpdateOn", 13, tintColor, QFont::Normal, screenstyle::LabelWrap::words);
    lblValueLastUpdatedOn = screenstyle::makeLabel(
        this, "lblValueLastUpdatedOn", 13, headlineColor(), QFont::Normal, screenstyle::LabelWrap::words);
    btnUpdateDefinitionNow = makeFlatButton(this, "btnUpdateDefinitionNow");
    lblUpdateProgress = screenstyle::makeLabel(
        this, "lblUpdateProgress", 12, tintColor, QFont::Normal, screenstyle::LabelWrap::words);
    btnAutomaticallyUpdateDefinition =
        new SettingCheckbox(K::automaticallyUpdateDefinitions, standardStore, "IDS_BGX_108", tintColor, this);
    lblUpdateBGXAutomatically = screenstyle::makeLabel(
        this, "lblUpdateBGXAutomatically", 14, headlineColor(), QFont::Bold, screenstyle::LabelWrap::words);
    lblCurrentVersion = screenstyle::makeLabel(
        this, "lblCurrentVersion", 13, tintColor, QFont::Normal, screenstyle::LabelWrap::words);
    lblValueCurrentVersion = screenstyle::makeLabel(
        this, "lblValueCurrentVersion", 13, headlineColor(), QFont::Normal, screenstyle::LabelWrap::words);
    btnCheckForUpdates = makeFlatButton(this, "btnCheckForUpdates");
    btnAutomaticallyUpdateBG =
        new SettingCheckbox(K::automaticallyUpdateBG, standardStore, "IDS_BGX_109", tintColor, this);
    connect(btnUpdateDefinitionNow, &FlatButton::clicked, this, [this] { clickedUpdateDefinitionNow(); });
    connect(btnCheckForUpdates, &FlatButton::clicked, this, [this] { clickedCheckForUpdates(); });

    auto* definitions = new QGridLayout;
    definitions->setHorizontalSpacing(16);
    definitions->setVerticalSpacing(10);
    definitions->addWidget(lblDefinitionsVersion, 0, 0);
    definitions->addWidget(lblValueDefinitionsVersion, 0, 1);
    definitions->addWidget(lblLastUpdateOn, 1, 0);
    definitions->addWidget(lblValueLastUpdatedOn, 1, 1);
    definitions->addWidget(btnUpdateDefinitionNow, 2, 0);
    definitions->addWidget(lblUpdateProgress, 2, 1);
    definitions->setColumnStretch(1, 1);
    auto* application = new QGridLayout;
    application->setHorizontalSpacing(16);
    application->setVerticalSpacing(10);
    application->addWidget(lblCurrentVersion, 0, 0);
    application->addWidget(lblValueCurrentVersion, 0, 1);
    application->addWidget(btnCheckForUpdates, 1, 0);
    application->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 36, 40, 36);
    layout->setSpacing(12);
    layout->addWidget(lblUpdateSettings);
    layout->addSpacing(6);
    layout->addWidget(lblDefinitionUpdate);
    layout->addLayout(definitions);
    layout->addWidget(btnAutomaticallyUpdateDefinition);
    layout->addSpacing(18);
    layout->addWidget(lblUpdateBGXAutomatically);
    layout->addLayout(application);
    layout->addWidget(btnAutomaticallyUpdateBG);
    layout->addStretch(1);
}

void UpdateSettingsViewController::viewDidLoad()
{
    lblValueCurrentVersion->setText(QString::fromStdString(applicationVersionText()));
    const std::pair<QLabel*, const char*> texts[] = {
        {lblUpdateSettings, "IDS_BGX_48"},  {lblDefinitionUpdate, "IDS_BGX_110"},
        {lblLastUpdateOn, "IDS_BGX_111"},   {lblDefinitionsVersion, "IDS_BGX_246"},
        {lblUpdateBGXAutomatically, "IDS_BGX_113"}, {lblCurrentVersion, "IDS_BGX_114"}};
    for (const auto& [label, key] : texts)
        label->setText(screenText(key));
    btnUpdateDefinitionNow->setText(screenText("IDS_BGX_112"));
    btnCheckForUpdates->setText(screenText("IDS_BGX_115"));
}

void UpdateSettingsViewController::viewWillAppear()
{
    showDefinitions();
    btnAutomaticallyUpdateDefinition->showFromStore();
    btnAutomaticallyUpdateBG->showFromStore();
}

void UpdateSettingsViewController::showDefinitions()
{
    if (const std::optional<platform::Date> date = standardDefaults().date(K::definitionLastUpdatedOnDate))
        lblValueLastUpdatedOn->setText(QString::fromStdString(dateTimeText(*date)));
    lblValueDefinitionsVersion->setText(
        QString::fromStdString(doubleText(DatabaseManager::shared().getVersion(databasePath()))));
}

void UpdateSettingsViewController::clickedUpdateDefinitionNow()
{
    if (isUpdatingDefinitions_)
        return;
    if (!Reachability::isConnectedToNetwork()) {
        showOfflineAlert();
        return;
    }
    isUpdatingDefinitions_ = true;
    manageLook::setFlatButtonEnabled(*btnUpdateDefinitionNow, false);
    setDefinitionsProgress("IDS_BGX_244");
    afterDelay(0s, this, [](UpdateSettingsViewController& self) { self.checkDefinitions(); });
}

void UpdateSettingsViewController::checkDefinitions()
{
    if (!Reachability::isConnectedToNetwork()) {
        finishCheck(false, std::nullopt);
        return;
    }
    UpdateDatabase::shared().checkForUpdates(
        DatabaseManager::shared().getVersion(databasePath()),
        [self = QPointer(this)](bool isNewer, std::optional<double>, std::optional<double> newVersion) {
            platform::dispatch::asyncMain([self, isNewer, newVersion] {
                if (self)
                    self->finishCheck(isNewer, newVersion);
            });
        });
}

// A check that reached no server version failed: it is reported as a failure, never
// as up to date.
void UpdateSettingsViewController::finishCheck(bool isNewer, std::optional<double> newVersion)
{
    if (isNewer && newVersion) {
        offerDefinitions(*newVersion);
        return;
    }
    endDefinitionsRoad(false);
    const char* result = newVersion ? "IDS_BGX_25" : "IDS_BGX_245";
    afterDelay(checkResultDelay, this, [result](UpdateSettingsViewController& self) { showResultSheet(self, result); });
}

void UpdateSettingsViewController::offerDefinitions(double newVersion)
{
    const AlertContent offer{localizedText("IDS_BGX_167"),
                             formatText(localizedText("IDS_BGX_219"), {doubleText(newVersion)}),
                             {localizedText("IDS_BGX_166"), localizedText("IDS_BGX_42")}};
    beginSheet(mainWindow(*this), offer, [self = QPointer(this)](int response) {
        if (!self)
            return;
        if (response != alertFirstButtonReturn) {
            self->endDefinitionsRoad(false);
            return;
        }
        self->setDefinitionsProgress("IDS_BGX_243");
        platform::dispatch::asyncGlobal([self] {
            UpdateDatabase::shared().downloadDatabaseForSettings([self](bool installed) {
                platform::NotificationCenter::defaultCenter().post("UpdateAGSQStatusAndDefinitionsBGX");
                if (!self)
                    return;
                self->endDefinitionsRoad(installed);
                afterDelay(installResultDelay, self.data(), [installed](UpdateSettingsViewController& screen) {
                    showResultSheet(screen, installed ? "IDS_BGX_168" : "IDS_BGX_169");
                });
            });
        });
    });
}

// The road has ended: Update Now can start another; an installed database shows its
// version and date at once.
void UpdateSettingsViewController::endDefinitionsRoad(bool installed)
{
    isUpdatingDefinitions_ = false;
    manageLook::setFlatButtonEnabled(*btnUpdateDefinitionNow, true);
    lblUpdateProgress->clear();
    if (installed)
        showDefinitions();
}

void UpdateSettingsViewController::setDefinitionsProgress(const char* textKey)
{
    lblUpdateProgress->setText(screenText(textKey));
}

void UpdateSettingsViewController::clickedCheckForUpdates()
{
    if (!Reachability::isConnectedToNetwork()) {
        showOfflineAlert();
        return;
    }
    if (!updater) { // no feed to ask
        showResultSheet(*this, "IDS_BGX_242");
        return;
    }
    updater->checkForUpdates(this); // the updater's windows show the check and its result
}
