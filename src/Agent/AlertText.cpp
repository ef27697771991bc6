#include "Agent/AlertText.h"

#include "Foundation/TextTable.h"

QString alertText(const std::string& key)
{
    return QString::fromStdString(localizedText(key));
}
