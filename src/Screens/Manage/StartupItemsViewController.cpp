#include "Screens/Manage/StartupItemsViewController.h"

StartupItemsViewController::StartupItemsViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("StartupItemsViewController");
}
