#include "Screens/Common/ScreenText.h"

#include "Foundation/TextTable.h"

QString screenText(const std::string& key)
{
    return QString::fromStdString(localizedText(key));
}
