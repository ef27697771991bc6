#include "Foundation/ProtectionSwitch.h"

#include "Foundation/Settings.h"

bool isSwitchedOff(const char* switchKey)
{
    const auto value = readSetting(switchKey);
    return value && *value->asBoolean() == false;
}
