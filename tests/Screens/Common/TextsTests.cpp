#include "Screens/Common/DateText.h"
#include "Screens/Common/NumberText.h"
#include "Screens/Common/TextFormat.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <chrono>

namespace {

struct FormatCase {
    const char* format;
    std::vector<std::string> arguments;
    const char* text;
    std::size_t argumentCount;
};

TEST(TextFormat, ExpandsOnlyObjectSlotsPositionsAndPercent)
{
    const FormatCase cases[] = {
        {"Version %@ is out", {"2.5"}, "Version 2.5 is out", 1},
        {"%@ of %@", {"3", "7"}, "3 of 7", 2},
        {"%2$@ before %1$@", {"a", "b"}, "b before a", 2},
        {"100%% sure", {}, "100% sure", 0},
        {"missing %@ and %@", {"one"}, "missing one and ", 2},
        {"%3$@", {"a"}, "", 3},
        {"plain %d %s 50% %", {"x"}, "plain %d %s 50% %", 0},
        {"%0$@ stays", {"a"}, "%0$@ stays", 0},
        {"", {"unused"}, "", 0},
        {"ends in %", {}, "ends in %", 0},
    };
    for (const FormatCase& each : cases) {
        SCOPED_TRACE(each.format);
        EXPECT_EQ(formatText(each.format, each.arguments), each.text);
        EXPECT_EQ(formatArgumentCount(each.format), each.argumentCount);
    }
}

TEST(NumberText, ShortestFormAndDoubleForm)
{
    const struct {
        double value;
        const char* number;
        const char* asDouble;
    } cases[] = {{2.0, "2", "2.0"}, {2.5, "2.5", "2.5"}, {0.0, "0", "0.0"}, {1.25, "1.25", "1.25"}, {-3.0, "-3", "-3.0"}};
    for (const auto& each : cases) {
        EXPECT_EQ(numberText(each.value), each.number);
        EXPECT_EQ(doubleText(each.value), each.asDouble);
    }
}

TEST(DateText, DayMonthYearOnTheTwelveHourClockInLocalTime)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const auto at = [](int day, int hour, int minute, int second) {
        const QDateTime local(QDate(2021, 3, day), QTime(hour, minute, second), Qt::LocalTime);
        return platform::Date(std::chrono::milliseconds(local.toMSecsSinceEpoch()));
    };
    EXPECT_EQ(dateTimeText(at(5, 14, 7, 9)), "05/03/2021 02:07:09 PM");
    EXPECT_EQ(dateTimeText(at(15, 0, 30, 0)), "15/03/2021 12:30:00 AM");
    QLocale::setDefault(QLocale::system());
}

} // namespace
