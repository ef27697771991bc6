#include "Agent/AppDelegate.h"

#include "Foundation/PresentationSlots.h"
#include "Foundation/TextTable.h"

AppDelegate& AppDelegate::shared()
{
    static AppDelegate delegate;
    return delegate;
}

void AppDelegate::startAgent()
{
    languageTable() = readBundlePlist("English");
}
