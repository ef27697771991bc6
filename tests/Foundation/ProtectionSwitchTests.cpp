#include "Foundation/ProtectionSwitch.h"

#include "Foundation/Settings.h"
#include "TestRoot.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using ProtectionSwitchTest = testsupport::PlatformRootTest;

} // namespace

TEST_F(ProtectionSwitchTest, OnlyAStoredBooleanFalseSwitchesOff)
{
    const struct {
        std::optional<platform::Value> stored;
        bool off;
    } cases[] = {
        {std::nullopt, false}, {true, false},  {false, true},
        {"no", false},         {0, false},     {platform::Value(platform::Array{false}), false},
    };
    ASSERT_NE(appGroupDefaults(), nullptr);
    for (const auto& each : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&each - cases));
        if (each.stored)
            appGroupDefaults()->setObject(SettingsKey::isCrashesProtectionEnabled, *each.stored);
        else
            appGroupDefaults()->removeObject(SettingsKey::isCrashesProtectionEnabled);
        EXPECT_EQ(isSwitchedOff(SettingsKey::isCrashesProtectionEnabled), each.off);
    }
}
