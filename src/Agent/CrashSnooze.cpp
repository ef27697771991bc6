#include "Agent/CrashSnooze.h"

#include "Foundation/Settings.h"

#include <array>

namespace {

// The elapsed whole units below which each choice (1-4) keeps alerts away.
struct SnoozeBound {
    bool inHours;
    long long units;
};
constexpr std::array<SnoozeBound, 4> snoozeBounds{{{false, 31}, {false, 61}, {true, 13}, {true, 25}}};

long long elapsedUnits(platform::Date since, platform::Date now, bool inHours)
{
    using namespace std::chrono;
    return inHours ? duration_cast<hours>(now - since).count() : duration_cast<minutes>(now - since).count();
}

} // namespace

bool isCrashAlertSnoozed(platform::Date now)
{
    platform::UserDefaults* suite = appGroupDefaults();
    const auto choice = suite ? suite->integer(SettingsKey::snoozeFor) : std::nullopt;
    if (!choice || *choice < 1 || *choice > static_cast<std::int64_t>(snoozeBounds.size()))
        return false;
    const auto since = suite->date(SettingsKey::snoozeForDate);
    if (!since)
        return false;
    const SnoozeBound bound = snoozeBounds[static_cast<std::size_t>(*choice - 1)];
    if (elapsedUnits(*since, now, bound.inHours) < bound.units)
        return true;
    suite->setInteger(SettingsKey::snoozeFor, 0);
    return false;
}
