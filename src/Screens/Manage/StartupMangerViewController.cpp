#include "Screens/Manage/StartupMangerViewController.h"

StartupMangerViewController::StartupMangerViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("StartupMangerViewController");
}
