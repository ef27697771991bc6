#include "Screens/Manage/IgnoreListViewController.h"

IgnoreListViewController::IgnoreListViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("IgnoreListViewController");
}
