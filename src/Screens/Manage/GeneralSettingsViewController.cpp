#include "Screens/Manage/GeneralSettingsViewController.h"

#include "Foundation/Settings.h"
#include "Foundation/TextTable.h"
#include "Platform/Bundle/Bundle.h"
#include "Screens/Manage/ManageLook.h"
#include "Screens/Manage/SettingCheckbox.h"
#include "Startup/LaunchOnStartup.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace K = SettingsKey;

GeneralSettingsViewController::GeneralSettingsViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("GeneralSettingsViewController");
    loadView();
}

void GeneralSettingsViewController::loadView()
{
    using namespace manageLook;
    fillBackground(*this, screenBackground());
    lblApplicationSettings = screenstyle::makeLabel(
        this, "lblApplicationSettings", 17, headlineColor(), QFont::Bold, screenstyle::LabelWrap::words);
    btnLaunchAutomatically = new SettingCheckbox(K::launchAutomatically, standardStore, "IDS_BGX_103", tintColor, this);
    btnScanOnAutoLaunch = new SettingCheckbox(K::scanOnAutoLaunch, standardStore, "IDS_BGX_104", tintColor, this);
    btnMoveDeletedFilesToTrash =
        new SettingCheckbox(K::moveDeletedToTrash, suiteStore, "IDS_BGX_105", tintColor, this);
    btnCrasheshProtection =
        new SettingCheckbox(K::isCrashesProtectionEnabled, suiteStore, "IDS_BGX_205", tintColor, this);
    btnLaunchAutomatically->onStored = [this] { clickedLaunchAutomatically(); };

    lblLanguageSetting = screenstyle::makeLabel(
        this, "lblLanguageSetting", 17, headlineColor(), QFont::Bold, screenstyle::LabelWrap::words);
    lblSelectLanguage = screenstyle::makeLabel(this, "lblSelectLanguage", 13, tintColor);
    comboBoxSelectLanguage = new QComboBox(this);
    comboBoxSelectLanguage->setObjectName("comboBoxSelectLanguage");
    comboBoxSelectLanguage->setMinimumWidth(180);
    screenstyle::styleComboBox(*comboBoxSelectLanguage);
    comboBoxSelectLanguage->clear();
    comboBoxSelectLanguage->addItem("English");
    comboBoxSelectLanguage->setCurrentIndex(0);

    lblApplicationSettings->setText(screenText("IDS_BGX_106"));
    lblLanguageSetting->setText(screenText("IDS_BGX_107"));
    lblSelectLanguage->setText(screenText("IDS_BGX_163"));

    auto* language = new QHBoxLayout;
    language->setSpacing(16);
    language->addWidget(lblSelectLanguage);
    language->addWidget(comboBoxSelectLanguage);
    language->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 36, 40, 36);
    layout->setSpacing(14);
    layout->addWidget(lblApplicationSettings);
    for (SettingCheckbox* checkbox :
         {btnLaunchAutomatically, btnScanOnAutoLaunch, btnMoveDeletedFilesToTrash, btnCrasheshProtection})
        layout->addWidget(checkbox);
    layout->addSpacing(24);
    layout->addWidget(lblLanguageSetting);
    layout->addLayout(language);
    layout->addStretch(1);
}

void GeneralSettingsViewController::viewWillAppear()
{
    for (SettingCheckbox* checkbox :
         {btnLaunchAutomatically, btnScanOnAutoLaunch, btnMoveDeletedFilesToTrash, btnCrasheshProtection})
        checkbox->showFromStore();
}

void GeneralSettingsViewController::clickedLaunchAutomatically()
{
    setLaunchOnStartup(btnLaunchAutomatically->isChecked(),
                       platform::FileURL::fromPath(platform::Bundle::main().bundlePath()));
}
