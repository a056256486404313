// Dates, times and durations: lexical forms, calendar arithmetic and the clock stamp.
#include "functions/exslt/DateTimeValue.hpp"

#include "functions/exslt/DateTimeCalendar.hpp"
#include "functions/exslt/DurationArithmetic.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace
{

using namespace prsm::detail;

std::string reformatted(const char* text)
{
    const std::optional<DateTimeValue> value = parseDateTime(text);
    return value ? formatDateTime(*value) : "invalid";
}

std::string durationReformatted(const char* text)
{
    const std::optional<Duration> duration = parseDuration(text);
    return duration ? formatDuration(*duration) : "invalid";
}

// The value of a text the case expects to parse: a regression fails the case, and the rest of it
// runs on a default value instead of reading an empty optional.
DateTimeValue parsedDate(const char* text)
{
    const std::optional<DateTimeValue> value = parseDateTime(text);
    if (!value)
        ADD_FAILURE() << text << " does not parse";
    return value.value_or(DateTimeValue());
}

Duration parsedDuration(const char* text)
{
    const std::optional<Duration> duration = parseDuration(text);
    if (!duration)
        ADD_FAILURE() << text << " does not parse";
    return duration.value_or(Duration());
}

TEST(DateTimeValue, ReadsAndWritesTheEightLexicalForms)
{
    const std::pair<const char*, const char*> cases[] = {
        {"2001-12-31T23:59:59.250+14:00", "2001-12-31T23:59:59.25+14:00"},
        {"2001-12-31T00:00:00.000000000001Z", "2001-12-31T00:00:00.000000000001Z"},
        {"2001-12-31T00:00:00.1234567890129", "2001-12-31T00:00:00.123456789012"},
        {"2000-02-29-00:00", "2000-02-29Z"},
        {"2001-05-01:00", "2001-05-01:00"}, // a gYearMonth in zone -01:00
        {"2001-05", "2001-05"},
        {"-0001", "-0001"},
        {"123456789012345", "123456789012345"},
        {"12:00:00-09:30", "12:00:00-09:30"},
        {"--02-29", "--02-29"},
        {"--12--Z", "--12--Z"},
        {"---31", "---31"},
        {"2001-02-29", "invalid"},
        {"1900-02-29", "invalid"},
        {"0000", "invalid"},
        {"01234", "invalid"},
        {"1234567890123456", "invalid"},
        {"201", "invalid"},
        {"2001-13", "invalid"},
        {"2001-1-01", "invalid"},
        {"2001-01-01T24:00:00", "invalid"},
        {"2001-01-01T12:60:00", "invalid"},
        {"12:00:60", "invalid"},
        {"12:00:00.", "invalid"},
        {"12:00", "invalid"},
        {"2001-01-01T12:00:00+14:01", "invalid"},
        {"2001-01-01T12:00:00+0100", "invalid"},
        {"2001-01-01T12:00:00z", "invalid"},
        {"--04-31", "invalid"},
        {"--13--", "invalid"},
        {"---00", "invalid"},
        {" 2001", "invalid"},
        {"2001 ", "invalid"},
        {"", "invalid"},
    };
    for (const auto& [text, written] : cases)
    {
        SCOPED_TRACE(text);
        EXPECT_EQ(reformatted(text), written);
    }
    EXPECT_EQ(parsedDate("-0001-03-01").year, 0);
    EXPECT_EQ(writtenYear(0), -1);
    EXPECT_EQ(writtenYear(2001), 2001);
}

TEST(DateTimeValue, ReadsDurationsAndWritesThemCanonically)
{
    const std::pair<const char*, const char*> cases[] = {
        {"P1Y2M3DT4H5M6.5S", "P1Y2M3DT4H5M6.5S"},
        {"P0Y0M0DT0H0M0S", "P0D"},
        {"P14M", "P1Y2M"},
        {"PT36H", "P1DT12H"},
        {"PT1441M", "P1DT1M"},
        {"PT90061.5S", "P1DT1H1M1.5S"},
        {"-PT1S", "-PT1S"},
        {"-P1DT0.5S", "-P1DT0.5S"},
        {"PT.5S", "PT0.5S"},
        {"PT1.S", "PT1S"},
        {"P9223372036854775807D", "P9223372036854775807D"},
        {"P9223372036854775808D", "invalid"},
        {"P768614336404564651Y", "invalid"},
        {"P", "invalid"},
        {"PT", "invalid"},
        {"P1DT", "invalid"},
        {"P1M1Y", "invalid"},
        {"P1D1D", "invalid"},
        {"P1H", "invalid"},
        {"PT1D", "invalid"},
        {"P1.5D", "invalid"},
        {"PT.S", "invalid"},
        {"+P1D", "invalid"},
        {"1D", "invalid"},
        {"P-1D", "invalid"},
    };
    for (const auto& [text, written] : cases)
    {
        SCOPED_TRACE(text);
        EXPECT_EQ(durationReformatted(text), written);
    }
}

TEST(DateTimeValue, AddsDurationsAsXmlSchemaDefines)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"2000-01-31", "P1M", "2000-02-29"},
        {"2001-01-31", "P1M", "2001-02-28"},
        {"2000-03-31", "-P1M", "2000-02-29"},
        {"2000-02-29", "P1Y", "2001-02-28"},
        {"2000-01-31", "P1M1D", "2000-03-01"}, // months first, then days
        {"2000-12-31T23:59:59.5Z", "PT0.5S", "2001-01-01T00:00:00Z"},
        {"2000-01-01T00:00:00", "-PT0.5S", "1999-12-31T23:59:59.5"},
        {"0001-01-01", "-P1D", "-0001-12-31"},
        {"-0001-02-28", "P1D", "-0001-02-29"}, // 1 BCE was a leap year
        {"2000-01-01+05:00", "P1000000D", "4737-11-28+05:00"},
        // A start is first made as specific as the duration needs.
        {"2000", "P1Y", "2001"},
        {"2000", "P1M", "2000-02"},
        {"2000", "P1D", "2000-01-02"},
        {"2001-05", "P3DT5H", "2001-05-04T05:00:00"},
        {"2001-05-01", "PT0S", "2001-05-01"},
        {"12:00:00", "PT1H", "invalid"},
        {"--05-01", "P1D", "invalid"},
        {"999999999999999-12-31", "P1D", "invalid"},
        {"2000-01-01", "P9223372036854775807D", "invalid"},
        {"2000-01-01", "-P768614336404564650Y", "invalid"},
    };
    for (const auto& [start, step, end] : cases)
    {
        SCOPED_TRACE(std::string(start) + " + " + step);
        const std::optional<DateTimeValue> result =
            addDuration(parsedDate(start), parsedDuration(step));
        EXPECT_EQ(result ? formatDateTime(*result) : "invalid", end);
    }
}

TEST(DateTimeValue, SumsDurationsOnlyWhenTheirSignsAgree)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"P1Y", "P1M", "P1Y1M"},
        {"PT1H", "-PT2H", "-PT1H"},
        {"-PT1.5S", "PT0.25S", "-PT1.25S"},
        {"P1DT12H", "PT12H", "P2D"},
        {"P1D", "-P1D", "P0D"},
        {"-P1Y2M", "P3M", "-P11M"},
        {"P1M", "-P1D", "invalid"},
        {"-P1M", "PT1S", "invalid"},
        {"P9223372036854775807D", "P1D", "invalid"},
    };
    for (const auto& [x, y, sum] : cases)
    {
        SCOPED_TRACE(std::string(x) + " + " + y);
        const std::optional<Duration> result = addDurations(parsedDuration(x), parsedDuration(y));
        EXPECT_EQ(result ? formatDuration(*result) : "invalid", sum);
    }
}

TEST(DateTimeValue, MeasuresDifferencesAtTheLessSpecificForm)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"2001-01-01", "2001-01-02", "P1D"},
        {"2001-01-02", "2001-01-01", "-P1D"},
        {"2001-01", "2002-03-05", "P1Y2M"},
        {"2002-03", "2001-01", "-P1Y2M"},
        {"2001-01-01T10:00:00", "2001-01-02", "P1D"},
        {"2001-01-01T00:00:00Z", "2001-01-01T01:30:00+01:00", "PT30M"},
        {"2001-01-01T00:00:00.75", "2000-12-31T23:59:59", "-PT1.75S"},
        {"-0001-12-31", "0001-01-01", "P1D"},
        {"12:00:00", "13:00:00", "invalid"},
    };
    for (const auto& [from, to, between] : cases)
    {
        SCOPED_TRACE(std::string(from) + " to " + to);
        const std::optional<Duration> result = difference(parsedDate(from), parsedDate(to));
        EXPECT_EQ(result ? formatDuration(*result) : "invalid", between);
    }
}

TEST(DateTimeValue, ConvertsBetweenSecondsAndDurations)
{
    EXPECT_EQ(secondsSinceEpoch(parsedDate("1970-01-01T01:00:00.5+01:00")), 0.5);
    EXPECT_EQ(secondsSinceEpoch(parsedDate("1969-12-31")), -86400.0);
    EXPECT_EQ(secondsSinceEpoch(parsedDate("1971")), 31536000.0);
    EXPECT_FALSE(secondsSinceEpoch(parsedDate("--01-01")));
    EXPECT_EQ(durationSeconds(parsedDuration("-P1DT1.5S")), -86401.5);
    EXPECT_FALSE(durationSeconds(parsedDuration("P1Y")));

    const std::pair<double, const char*> cases[] = {
        {90061.5, "P1DT1H1M1.5S"},
        {-90061.5, "-P1DT1H1M1.5S"},
        {-0.5, "-PT0.5S"},
        {90061.123, "P1DT1H1M1.123S"}, // the digits as written, not the binary fraction's
        {0.0, "P0D"},
        {-0.0, "P0D"},
        {1e-20, "P0D"},
        {1e22, "P115740740740740740DT17H46M40S"},
        {1e24, "invalid"},
        {std::numeric_limits<double>::infinity(), "invalid"},
        {std::numeric_limits<double>::quiet_NaN(), "invalid"},
    };
    for (const auto& [seconds, written] : cases)
    {
        SCOPED_TRACE(seconds);
        const std::optional<Duration> duration = durationFromSeconds(seconds);
        EXPECT_EQ(duration ? formatDuration(*duration) : "invalid", written);
    }
}

TEST(DateTimeValue, CountsDaysAndWeeksInTheProlepticGregorianCalendar)
{
    const struct
    {
        const char* date;
        int dayInYear;
        int dayInWeek;
        int weekInYear;
        int weekInMonth;
    } cases[] = {
        {"2024-03-01", 61, 6, 9, 1}, {"2024-12-31", 366, 3, 1, 6},   {"2005-01-01", 1, 7, 53, 1},
        {"2010-01-03", 3, 1, 53, 1}, {"2010-01-04", 4, 2, 1, 2},     {"2024-09-01", 245, 1, 35, 1},
        {"0001-01-01", 1, 2, 1, 1},  {"-0001-12-31", 366, 1, 52, 5},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.date);
        const DateTimeValue value = parsedDate(c.date);
        EXPECT_EQ(dayInYear(value), c.dayInYear);
        EXPECT_EQ(dayInWeek(value), c.dayInWeek);
        EXPECT_EQ(weekInYear(value), c.weekInYear);
        EXPECT_EQ(weekInMonth(value), c.weekInMonth);
    }
    EXPECT_TRUE(isLeapYear(2000));
    EXPECT_FALSE(isLeapYear(1900));
    EXPECT_TRUE(isLeapYear(0));
    EXPECT_TRUE(isLeapYear(-4));
}

TEST(DateTimeValue, ReadsTheClockStamp)
{
    const std::pair<const char*, const char*> cases[] = {
        {"20240301133005123", "2024-03-01T13:30:05-05:00"},
        {"20240229000000", "2024-02-29T00:00:00-05:00"},
        {"20230229000000", "invalid"},
        {"2024030113300", "invalid"},
        {"00000101000000", "invalid"},
        {"garbage", "invalid"},
    };
    for (const auto& [stamp, written] : cases)
    {
        SCOPED_TRACE(stamp);
        const std::optional<DateTimeValue> value = dateTimeFromStamp(stamp, -300);
        EXPECT_EQ(value ? formatDateTime(*value) : "invalid", written);
    }
}

} // namespace
