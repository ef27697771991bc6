#pragma once

#include "Platform/Values/Value.h"

#include <cstdint>
#include <limits>
#include <string>

// One calendar trigger of a job (StartCalendarInterval): minute, hour, day of the
// month, weekday and month; a component equal to `undefined` is unset.
class LDLaunchJobSchedule {
public:
    static constexpr std::int64_t undefined = std::numeric_limits<std::int64_t>::max();

    LDLaunchJobSchedule() = default;
    // From one launchd calendar dictionary; keys are matched lower-cased.
    explicit LDLaunchJobSchedule(const platform::Dictionary& dictionary);

    static LDLaunchJobSchedule scheduleWith(std::int64_t minute, std::int64_t hour, std::int64_t day,
                                            std::int64_t weekday, std::int64_t month);
    static LDLaunchJobSchedule dailyRunAtHour(std::int64_t hour, std::int64_t minute);
    static LDLaunchJobSchedule weeklyRunOnWeekday(std::int64_t weekday, std::int64_t hour);
    static LDLaunchJobSchedule monthlyRunOnDay(std::int64_t day, std::int64_t hour);

    std::int64_t minute = undefined;
    std::int64_t hour = undefined;
    std::int64_t day = undefined;
    std::int64_t weekday = undefined;
    std::int64_t month = undefined;

    // The launchd form: the set components under "Minute", "Hour", "Day", "Weekday", "Month".
    platform::Dictionary dictionary() const;
    std::string description() const;

    friend bool operator==(const LDLaunchJobSchedule&, const LDLaunchJobSchedule&) = default;
};
