#include "Screens/Manage/AboutVC.h"

AboutVC::AboutVC(QWidget* parent) : QWidget(parent)
{
    setObjectName("AboutVC");
}
