#include "Screens/Scan/ScanResultViewController.h"

ScanResultViewController::ScanResultViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("ScanResultViewController");
}
