#include "Helper/LDLaunchCtl/LDLaunchJobSchedule.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

struct Component {
    const char* key;
    std::int64_t LDLaunchJobSchedule::*member;
};

constexpr std::array components{
    Component{"Minute", &LDLaunchJobSchedule::minute}, Component{"Hour", &LDLaunchJobSchedule::hour},
    Component{"Day", &LDLaunchJobSchedule::day},       Component{"Weekday", &LDLaunchJobSchedule::weekday},
    Component{"Month", &LDLaunchJobSchedule::month},
};

std::string lowered(std::string text)
{
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

} // namespace

LDLaunchJobSchedule::LDLaunchJobSchedule(const platform::Dictionary& dictionary)
{
    for (const auto& [key, value] : dictionary)
        for (const auto& component : components)
            if (lowered(key) == lowered(component.key)) {
                if (const auto number = value.numberAsDouble())
                    this->*component.member = static_cast<std::int64_t>(*number);
            }
}

LDLaunchJobSchedule LDLaunchJobSchedule::scheduleWith(std::int64_t minute, std::int64_t hour, std::int64_t day,
                                                      std::int64_t weekday, std::int64_t month)
{
    LDLaunchJobSchedule schedule;
    schedule.minute = minute;
    schedule.hour = hour;
    schedule.day = day;
    schedule.weekday = weekday;
    schedule.month = month;
    return schedule;
}

LDLaunchJobSchedule LDLaunchJobSchedule::dailyRunAtHour(std::int64_t hour, std::int64_t minute)
{
    return scheduleWith(minute, hour, undefined, undefined, undefined);
}

LDLaunchJobSchedule LDLaunchJobSchedule::weeklyRunOnWeekday(std::int64_t weekday, std::int64_t hour)
{
    return scheduleWith(0, hour, undefined, weekday, undefined);
}

LDLaunchJobSchedule LDLaunchJobSchedule::monthlyRunOnDay(std::int64_t day, std::int64_t hour)
{
    return scheduleWith(0, hour, day, undefined, undefined);
}

platform::Dictionary LDLaunchJobSchedule::dictionary() const
{
    platform::Dictionary dictionary;
    for (const auto& component : components)
        if (this->*component.member != undefined)
            dictionary.emplace(component.key, static_cast<long long>(this->*component.member));
    return dictionary;
}

std::string LDLaunchJobSchedule::description() const
{
    std::string text = "{";
    for (const auto& [key, value] : dictionary())
        text += " " + key + " = " + std::to_string(*value.asInteger()) + ";";
    return text + " }";
}
