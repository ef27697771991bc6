#include "Screens/Scan/CleanProcessViewController.h"

CleanProcessViewController::CleanProcessViewController(QWidget* parent) : QWidget(parent)
{
    setObjectName("CleanProcessViewController");
}
