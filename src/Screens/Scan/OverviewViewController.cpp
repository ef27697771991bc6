#include "Screens/Scan/OverviewViewController.h"

OverviewViewController::OverviewViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("OverviewViewController");
}
