#include "Screens/Scan/ScanViewController.h"

ScanViewController::ScanViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("ScanViewController");
}
