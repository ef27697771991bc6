#include "Screens/Manage/UpdateSettingsViewController.h"

UpdateSettingsViewController::UpdateSettingsViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("UpdateSettingsViewController");
}
