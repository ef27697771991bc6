#include "Screens/Scan/ScanProcessViewController.h"

ScanProcessViewController::ScanProcessViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("ScanProcessViewController");
}
