#include "Screens/Manage/GeneralSettingsViewController.h"

GeneralSettingsViewController::GeneralSettingsViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("GeneralSettingsViewController");
}
