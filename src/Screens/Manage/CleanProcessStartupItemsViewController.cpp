#include "Screens/Manage/CleanProcessStartupItemsViewController.h"

CleanProcessStartupItemsViewController::CleanProcessStartupItemsViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("CleanProcessStartupItemsViewController");
}
