#include "Screens/Manage/ProtectionViewController.h"

ProtectionViewController::ProtectionViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("ProtectionViewController");
}
