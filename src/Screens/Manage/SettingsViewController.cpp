#include "Screens/Manage/SettingsViewController.h"

SettingsViewController::SettingsViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("SettingsViewController");
}
