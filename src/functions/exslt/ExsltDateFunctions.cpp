// The EXSLT date and time functions the engine lacks: all of the module but date:date-time.
#include "functions/exslt/ExsltDateFunctions.hpp"

#include "ZBLCore.hpp"
#include "functions/exslt/DateTimeCalendar.hpp"
#include "functions/exslt/DateTimeValue.hpp"
#include "functions/exslt/DurationArithmetic.hpp"

#include <xalanc/DOMSupport/DOMServices.hpp>
#include <xalanc/XPath/NodeRefListBase.hpp>
#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <cstdint>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>

namespace prsm::detail
{
namespace
{

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using KindSet = unsigned;

constexpr KindSet kindsOf(std::initializer_list<DateTimeKind> kinds)
{
    KindSet set = 0;
    for (const DateTimeKind kind : kinds)
        set |= 1u << static_cast<unsigned>(kind);
    return set;
}

constexpr KindSet kDates = kindsOf({DateTimeKind::DateTime, DateTimeKind::Date});
constexpr KindSet kTimes = kindsOf({DateTimeKind::DateTime, DateTimeKind::Time});
constexpr KindSet kYears = kindsOf(
    {DateTimeKind::DateTime, DateTimeKind::Date, DateTimeKind::GYearMonth, DateTimeKind::GYear});
constexpr KindSet kMonths =
    kindsOf({DateTimeKind::DateTime, DateTimeKind::Date, DateTimeKind::GYearMonth,
             DateTimeKind::GMonth, DateTimeKind::GMonthDay});
constexpr KindSet kDays = kindsOf(
    {DateTimeKind::DateTime, DateTimeKind::Date, DateTimeKind::GMonthDay, DateTimeKind::GDay});

constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};
constexpr const char* kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

// The local zone of a local date and time, as the C library knows it.
int localZoneMinutes(const DateTimeValue& local)
{
    std::tm fields{};
    fields.tm_year = static_cast<int>(local.year - 1900);
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = static_cast<int>(local.picoseconds / kPicosecondsPerSecond);
    fields.tm_isdst = -1;
    std::mktime(&fields);
    return static_cast<int>(fields.tm_gmtoff / 60);
}

// The library clock's local date and time with its zone; empty when the clock's stamp is not one.
std::optional<DateTimeValue> currentDateTime()
{
    std::optional<DateTimeValue> now = dateTimeFromStamp(ZBLUtSystemInfo::getTimeStamp(0), 0);
    if (now)
        now->zoneMinutes = localZoneMinutes(*now);
    return now;
}

// `text` as ASCII, or empty when it has other characters, which no lexical form does.
std::optional<std::string> asciiText(const xalanc::XalanDOMString& text)
{
    std::string ascii;
    ascii.reserve(text.length());
    for (const xalanc::XalanDOMChar c : text)
    {
        if (c > 0x7F)
            return std::nullopt;
        ascii += static_cast<char>(c);
    }
    return ascii;
}

std::optional<DateTimeValue> dateTimeArgument(const ExsltCall& call,
                                              const xalanc::XObject& argument)
{
    const std::optional<std::string> text = asciiText(argument.str(call.executionContext));
    return text ? parseDateTime(*text) : std::nullopt;
}

std::optional<Duration> durationOf(const xalanc::XalanDOMString& text)
{
    const std::optional<std::string> ascii = asciiText(text);
    return ascii ? parseDuration(*ascii) : std::nullopt;
}

std::optional<Duration> durationArgument(const ExsltCall& call, const xalanc::XObject& argument)
{
    return durationOf(argument.str(call.executionContext));
}

// The date/time a function with an optional argument reads: the argument, or the current one
// without it. Empty when its kind is not one of `accepted`.
std::optional<DateTimeValue> optionalDateTime(const ExsltCall& call, KindSet accepted)
{
    std::optional<DateTimeValue> value =
        call.args.empty() ? currentDateTime() : dateTimeArgument(call, *call.args[0]);
    if (value && (accepted & kindsOf({value->kind})) == 0)
        value.reset();
    return value;
}

xalanc::XObjectPtr numberResult(const ExsltCall& call, double value)
{
    return call.executionContext.getXObjectFactory().createNumber(value);
}

xalanc::XObjectPtr stringResult(const ExsltCall& call, const std::string& value)
{
    return call.executionContext.getXObjectFactory().createString(
        xalanc::XalanDOMString(value.c_str(), call.executionContext.getMemoryManager()));
}

std::string lexicalForm(const DateTimeValue& value)
{
    return formatDateTime(value);
}

std::string lexicalForm(const Duration& duration)
{
    return formatDuration(duration);
}

// A date/time or duration result in its lexical form, the empty string for none.
template <class Value>
xalanc::XObjectPtr lexicalResult(const ExsltCall& call, const std::optional<Value>& value)
{
    return stringResult(call, value ? lexicalForm(*value) : std::string());
}

// A field of the date/time argument, or of the current date/time without one: a boolean, a
// number or a string. An argument of a kind not in `kAccepted` gives NaN, or for a string field
// the empty string.
template <KindSet kAccepted, auto kField>
xalanc::XObjectPtr fieldOf(const ExsltCall& call)
{
    const std::optional<DateTimeValue> value = optionalDateTime(call, kAccepted);
    using Field = std::decay_t<std::invoke_result_t<decltype(kField), const DateTimeValue&>>;
    if constexpr (std::is_same_v<Field, bool>)
        return value ? call.executionContext.getXObjectFactory().createBoolean(
                           std::invoke(kField, *value))
                     : numberResult(call, kNaN);
    else if constexpr (std::is_arithmetic_v<Field>)
        return numberResult(call, value ? static_cast<double>(std::invoke(kField, *value)) : kNaN);
    else
        return stringResult(call, value ? std::string(std::invoke(kField, *value)) : std::string());
}

// date:date and date:time: the date or the time of day of a date/time, with its zone.
template <DateTimeKind kKind>
std::string formattedAs(DateTimeValue value)
{
    value.kind = kKind;
    return formatDateTime(value);
}

std::int64_t yearOf(const DateTimeValue& value)
{
    return writtenYear(value.year);
}

bool isLeapYearOf(const DateTimeValue& value)
{
    return isLeapYear(value.year);
}

const char* monthNameOf(const DateTimeValue& value)
{
    return kMonthNames[value.month - 1];
}

const char* dayNameOf(const DateTimeValue& value)
{
    return kDayNames[dayInWeek(value) - 1];
}

template <auto kName>
std::string abbreviated(const DateTimeValue& value)
{
    return std::string(kName(value), 3);
}

int dayOfWeekInMonth(const DateTimeValue& value)
{
    return (value.day - 1) / 7 + 1;
}

double secondInMinute(const DateTimeValue& value)
{
    return static_cast<double>(value.picoseconds) / static_cast<double>(kPicosecondsPerSecond);
}

// date:add, date:add-duration and date:difference: `kOperation` of the two arguments read by
// `kFirst` and `kSecond`, in its lexical form; the empty string when an argument is not in its
// form or the operation has no result.
template <auto kFirst, auto kSecond, auto kOperation>
xalanc::XObjectPtr binaryOf(const ExsltCall& call)
{
    const auto first = kFirst(call, *call.args[0]);
    const auto second = kSecond(call, *call.args[1]);
    return lexicalResult(call, first && second ? kOperation(*first, *second) : std::nullopt);
}

// date:seconds: of the current date/time, a date/time argument, or a duration argument.
std::optional<double> secondsOf(const ExsltCall& call)
{
    if (call.args.empty())
    {
        const std::optional<DateTimeValue> now = currentDateTime();
        return now ? secondsSinceEpoch(*now) : std::nullopt;
    }
    if (const std::optional<DateTimeValue> value = dateTimeArgument(call, *call.args[0]))
        return secondsSinceEpoch(*value);
    const std::optional<Duration> duration = durationArgument(call, *call.args[0]);
    return duration ? durationSeconds(*duration) : std::nullopt;
}

xalanc::XObjectPtr secondsWorker(const ExsltCall& call)
{
    return numberResult(call, secondsOf(call).value_or(kNaN));
}

xalanc::XObjectPtr durationWorker(const ExsltCall& call)
{
    const std::optional<double> value =
        call.args.empty() ? secondsOf(call) : call.args[0]->num(call.executionContext);
    return lexicalResult(call, value ? durationFromSeconds(*value) : std::nullopt);
}

xalanc::XObjectPtr sumWorker(const ExsltCall& call)
{
    const xalanc::NodeRefListBase& nodes = call.args[0]->nodeset();
    std::optional<Duration> total;
    xalanc::XalanDOMString text(call.executionContext.getMemoryManager());
    for (xalanc::NodeRefListBase::size_type i = 0; i < nodes.getLength(); ++i)
    {
        text.clear();
        xalanc::DOMServices::getNodeData(*nodes.item(i), call.executionContext, text);
        const std::optional<Duration> part = durationOf(text);
        total = part ? addDurations(total.value_or(Duration()), *part) : std::nullopt;
        if (!total)
            break;
    }
    return lexicalResult(call, total);
}

} // namespace

const ExsltModule& exsltDatesAndTimesModule()
{
    static const ExsltModule module{
        "http://exslt.org/dates-and-times",
        {
            {"add", kTwoArguments, binaryOf<dateTimeArgument, durationArgument, addDuration>},
            {"add-duration", kTwoArguments,
             binaryOf<durationArgument, durationArgument, addDurations>},
            {"date", kNoneOrOneArgument, fieldOf<kDates, formattedAs<DateTimeKind::Date>>},
            {"day-abbreviation", kNoneOrOneArgument, fieldOf<kDates, abbreviated<dayNameOf>>},
            {"day-in-month", kNoneOrOneArgument, fieldOf<kDays, &DateTimeValue::day>},
            {"day-in-week", kNoneOrOneArgument, fieldOf<kDates, dayInWeek>},
            {"day-in-year", kNoneOrOneArgument, fieldOf<kDates, dayInYear>},
            {"day-name", kNoneOrOneArgument, fieldOf<kDates, dayNameOf>},
            {"day-of-week-in-month", kNoneOrOneArgument, fieldOf<kDates, dayOfWeekInMonth>},
            {"difference", kTwoArguments, binaryOf<dateTimeArgument, dateTimeArgument, difference>},
            {"duration", kNoneOrOneArgument, durationWorker},
            {"hour-in-day", kNoneOrOneArgument, fieldOf<kTimes, &DateTimeValue::hour>},
            {"leap-year", kNoneOrOneArgument, fieldOf<kYears, isLeapYearOf>},
            {"minute-in-hour", kNoneOrOneArgument, fieldOf<kTimes, &DateTimeValue::minute>},
            {"month-abbreviation", kNoneOrOneArgument, fieldOf<kMonths, abbreviated<monthNameOf>>},
            {"month-in-year", kNoneOrOneArgument, fieldOf<kMonths, &DateTimeValue::month>},
            {"month-name", kNoneOrOneArgument, fieldOf<kMonths, monthNameOf>},
            {"second-in-minute", kNoneOrOneArgument, fieldOf<kTimes, secondInMinute>},
            {"seconds", kNoneOrOneArgument, secondsWorker},
            {"sum", kOneArgument, sumWorker},
            {"time", kNoneOrOneArgument, fieldOf<kTimes, formattedAs<DateTimeKind::Time>>},
            {"week-in-month", kNoneOrOneArgument, fieldOf<kDates, weekInMonth>},
            {"week-in-year", kNoneOrOneArgument, fieldOf<kDates, weekInYear>},
            {"year", kNoneOrOneArgument, fieldOf<kYears, yearOf>},
        }};
    return module;
}

} // namespace prsm::detail
