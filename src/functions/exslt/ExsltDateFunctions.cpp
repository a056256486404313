// The EXSLT date and time functions the engine lacks: all of the module but date:date-time.
#include "functions/exslt/ExsltDateFunctions.hpp"

#include "ZBLCore.hpp"
#include "functions/exslt/DateTimeValue.hpp"

#include <xalanc/DOMSupport/DOMServices.hpp>
#include <xalanc/Include/XalanMemoryManagement.hpp>
#include <xalanc/PlatformSupport/XalanMessageLoader.hpp>
#include <xalanc/XPath/NodeRefListBase.hpp>
#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <ctime>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>

namespace prsm::detail
{
namespace
{

using ArgumentVector = xalanc::Function::XObjectArgVectorType;

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

std::optional<DateTimeValue> dateTimeArgument(xalanc::XPathExecutionContext& executionContext,
                                              const xalanc::XObject& argument)
{
    const std::optional<std::string> text = asciiText(argument.str(executionContext));
    return text ? parseDateTime(*text) : std::nullopt;
}

std::optional<Duration> durationOf(const xalanc::XalanDOMString& text)
{
    const std::optional<std::string> ascii = asciiText(text);
    return ascii ? parseDuration(*ascii) : std::nullopt;
}

std::optional<Duration> durationArgument(xalanc::XPathExecutionContext& executionContext,
                                         const xalanc::XObject& argument)
{
    return durationOf(argument.str(executionContext));
}

// The date/time a function with an optional argument reads: the argument, or the current one
// without it. Empty when its kind is not one of `accepted`.
std::optional<DateTimeValue> optionalDateTime(xalanc::XPathExecutionContext& executionContext,
                                              const ArgumentVector& args, KindSet accepted)
{
    std::optional<DateTimeValue> value =
        args.empty() ? currentDateTime() : dateTimeArgument(executionContext, *args[0]);
    if (value && (accepted & kindsOf({value->kind})) == 0)
        value.reset();
    return value;
}

xalanc::XObjectPtr numberResult(xalanc::XPathExecutionContext& executionContext, double value)
{
    return executionContext.getXObjectFactory().createNumber(value);
}

xalanc::XObjectPtr stringResult(xalanc::XPathExecutionContext& executionContext,
                                const std::string& value)
{
    return executionContext.getXObjectFactory().createString(
        xalanc::XalanDOMString(value.c_str(), executionContext.getMemoryManager()));
}

// A field of a date/time argument as a number, NaN when the argument has none.
template <class Field>
xalanc::XObjectPtr numberOf(xalanc::XPathExecutionContext& executionContext,
                            const ArgumentVector& args, KindSet accepted, Field field)
{
    const std::optional<DateTimeValue> value = optionalDateTime(executionContext, args, accepted);
    return numberResult(executionContext, value ? static_cast<double>(field(*value)) : kNaN);
}

// A field of a date/time argument as a string, empty when the argument has none.
template <class Field>
xalanc::XObjectPtr stringOf(xalanc::XPathExecutionContext& executionContext,
                            const ArgumentVector& args, KindSet accepted, Field field)
{
    const std::optional<DateTimeValue> value = optionalDateTime(executionContext, args, accepted);
    return stringResult(executionContext, value ? std::string(field(*value)) : std::string());
}

std::string abbreviation(const char* name)
{
    return std::string(name, 3);
}

xalanc::XObjectPtr dateWorker(xalanc::XPathExecutionContext& context, const ArgumentVector& args)
{
    return stringOf(context, args, kDates,
                    [](DateTimeValue value)
                    {
                        value.kind = DateTimeKind::Date;
                        return formatDateTime(value);
                    });
}

xalanc::XObjectPtr timeWorker(xalanc::XPathExecutionContext& context, const ArgumentVector& args)
{
    return stringOf(context, args, kTimes,
                    [](DateTimeValue value)
                    {
                        value.kind = DateTimeKind::Time;
                        return formatDateTime(value);
                    });
}

xalanc::XObjectPtr yearWorker(xalanc::XPathExecutionContext& context, const ArgumentVector& args)
{
    return numberOf(context, args, kYears,
                    [](const DateTimeValue& value) { return writtenYear(value.year); });
}

xalanc::XObjectPtr leapYearWorker(xalanc::XPathExecutionContext& context,
                                  const ArgumentVector& args)
{
    // A boolean, but NaN for an argument in none of the forms.
    const std::optional<DateTimeValue> value = optionalDateTime(context, args, kYears);
    return value ? context.getXObjectFactory().createBoolean(isLeapYear(value->year))
                 : numberResult(context, kNaN);
}

xalanc::XObjectPtr monthInYearWorker(xalanc::XPathExecutionContext& context,
                                     const ArgumentVector& args)
{
    return numberOf(context, args, kMonths, [](const DateTimeValue& value) { return value.month; });
}

xalanc::XObjectPtr monthNameWorker(xalanc::XPathExecutionContext& context,
                                   const ArgumentVector& args)
{
    return stringOf(context, args, kMonths,
                    [](const DateTimeValue& value) { return kMonthNames[value.month - 1]; });
}

xalanc::XObjectPtr monthAbbreviationWorker(xalanc::XPathExecutionContext& context,
                                           const ArgumentVector& args)
{
    return stringOf(context, args, kMonths,
                    [](const DateTimeValue& value)
                    { return abbreviation(kMonthNames[value.month - 1]); });
}

xalanc::XObjectPtr weekInYearWorker(xalanc::XPathExecutionContext& context,
                                    const ArgumentVector& args)
{
    return numberOf(context, args, kDates, weekInYear);
}

xalanc::XObjectPtr weekInMonthWorker(xalanc::XPathExecutionContext& context,
                                     const ArgumentVector& args)
{
    return numberOf(context, args, kDates, weekInMonth);
}

xalanc::XObjectPtr dayInYearWorker(xalanc::XPathExecutionContext& context,
                                   const ArgumentVector& args)
{
    return numberOf(context, args, kDates, dayInYear);
}

xalanc::XObjectPtr dayInMonthWorker(xalanc::XPathExecutionContext& context,
                                    const ArgumentVector& args)
{
    return numberOf(context, args, kDays, [](const DateTimeValue& value) { return value.day; });
}

xalanc::XObjectPtr dayOfWeekInMonthWorker(xalanc::XPathExecutionContext& context,
                                          const ArgumentVector& args)
{
    return numberOf(context, args, kDates,
                    [](const DateTimeValue& value) { return (value.day - 1) / 7 + 1; });
}

xalanc::XObjectPtr dayInWeekWorker(xalanc::XPathExecutionContext& context,
                                   const ArgumentVector& args)
{
    return numberOf(context, args, kDates, dayInWeek);
}

xalanc::XObjectPtr dayNameWorker(xalanc::XPathExecutionContext& context, const ArgumentVector& args)
{
    return stringOf(context, args, kDates,
                    [](const DateTimeValue& value) { return kDayNames[dayInWeek(value) - 1]; });
}

xalanc::XObjectPtr dayAbbreviationWorker(xalanc::XPathExecutionContext& context,
                                         const ArgumentVector& args)
{
    return stringOf(context, args, kDates,
                    [](const DateTimeValue& value)
                    { return abbreviation(kDayNames[dayInWeek(value) - 1]); });
}

xalanc::XObjectPtr hourInDayWorker(xalanc::XPathExecutionContext& context,
                                   const ArgumentVector& args)
{
    return numberOf(context, args, kTimes, [](const DateTimeValue& value) { return value.hour; });
}

xalanc::XObjectPtr minuteInHourWorker(xalanc::XPathExecutionContext& context,
                                      const ArgumentVector& args)
{
    return numberOf(context, args, kTimes, [](const DateTimeValue& value) { return value.minute; });
}

xalanc::XObjectPtr secondInMinuteWorker(xalanc::XPathExecutionContext& context,
                                        const ArgumentVector& args)
{
    return numberOf(context, args, kTimes,
                    [](const DateTimeValue& value) {
                        return static_cast<double>(value.picoseconds) /
                               static_cast<double>(kPicosecondsPerSecond);
                    });
}

// date:seconds: of the current date/time, a date/time argument, or a duration argument.
std::optional<double> secondsOf(xalanc::XPathExecutionContext& context, const ArgumentVector& args)
{
    if (args.empty())
    {
        const std::optional<DateTimeValue> now = currentDateTime();
        return now ? secondsSinceEpoch(*now) : std::nullopt;
    }
    if (const std::optional<DateTimeValue> value = dateTimeArgument(context, *args[0]))
        return secondsSinceEpoch(*value);
    const std::optional<Duration> duration = durationArgument(context, *args[0]);
    return duration ? durationSeconds(*duration) : std::nullopt;
}

xalanc::XObjectPtr secondsWorker(xalanc::XPathExecutionContext& context, const ArgumentVector& args)
{
    return numberResult(context, secondsOf(context, args).value_or(kNaN));
}

xalanc::XObjectPtr durationWorker(xalanc::XPathExecutionContext& context,
                                  const ArgumentVector& args)
{
    const std::optional<double> value =
        args.empty() ? secondsOf(context, args) : args[0]->num(context);
    const std::optional<Duration> result = value ? durationFromSeconds(*value) : std::nullopt;
    return stringResult(context, result ? formatDuration(*result) : std::string());
}

xalanc::XObjectPtr addWorker(xalanc::XPathExecutionContext& context, const ArgumentVector& args)
{
    const std::optional<DateTimeValue> start = dateTimeArgument(context, *args[0]);
    const std::optional<Duration> step = durationArgument(context, *args[1]);
    const std::optional<DateTimeValue> end =
        start && step ? addDuration(*start, *step) : std::nullopt;
    return stringResult(context, end ? formatDateTime(*end) : std::string());
}

xalanc::XObjectPtr addDurationWorker(xalanc::XPathExecutionContext& context,
                                     const ArgumentVector& args)
{
    const std::optional<Duration> x = durationArgument(context, *args[0]);
    const std::optional<Duration> y = durationArgument(context, *args[1]);
    const std::optional<Duration> sum = x && y ? addDurations(*x, *y) : std::nullopt;
    return stringResult(context, sum ? formatDuration(*sum) : std::string());
}

xalanc::XObjectPtr differenceWorker(xalanc::XPathExecutionContext& context,
                                    const ArgumentVector& args)
{
    const std::optional<DateTimeValue> from = dateTimeArgument(context, *args[0]);
    const std::optional<DateTimeValue> to = dateTimeArgument(context, *args[1]);
    const std::optional<Duration> between = from && to ? difference(*from, *to) : std::nullopt;
    return stringResult(context, between ? formatDuration(*between) : std::string());
}

xalanc::XObjectPtr sumWorker(xalanc::XPathExecutionContext& context, const ArgumentVector& args)
{
    const xalanc::NodeRefListBase& nodes = args[0]->nodeset();
    std::optional<Duration> total;
    xalanc::XalanDOMString text(context.getMemoryManager());
    for (xalanc::NodeRefListBase::size_type i = 0; i < nodes.getLength(); ++i)
    {
        text.clear();
        xalanc::DOMServices::getNodeData(*nodes.item(i), context, text);
        const std::optional<Duration> part = durationOf(text);
        total = part ? addDurations(total.value_or(Duration()), *part) : std::nullopt;
        if (!total)
            break;
    }
    return stringResult(context, total ? formatDuration(*total) : std::string());
}

} // namespace

ExsltDateFunction::ExsltDateFunction(const char* name, std::size_t fewest, std::size_t most,
                                     Worker worker)
    : m_name(name), m_fewest(fewest), m_most(most), m_worker(worker)
{
}

xalanc::XObjectPtr ExsltDateFunction::execute(xalanc::XPathExecutionContext& executionContext,
                                              xalanc::XalanNode* context,
                                              const XObjectArgVectorType& args,
                                              const xercesc::Locator* locator) const
{
    if (args.size() < m_fewest || args.size() > m_most)
        generalError(executionContext, context, locator);
    return m_worker(executionContext, args);
}

ExsltDateFunction* ExsltDateFunction::clone(xalanc::MemoryManager& manager) const
{
    return xalanc::XalanCopyConstruct(manager, *this);
}

const xalanc::XalanDOMString& ExsltDateFunction::getError(xalanc::XalanDOMString& buffer) const
{
    const std::string name = std::string(m_name) + "()";
    const xalanc::XalanMessages::Codes code =
        m_most == 1 && m_fewest == 0 ? xalanc::XalanMessages::FunctionTakesZeroOrOneArg_1Param
        : m_most == 1                ? xalanc::XalanMessages::EXSLTFunctionAcceptsOneArgument_1Param
                      : xalanc::XalanMessages::EXSLTFunctionAcceptsTwoArguments_1Param;
    return xalanc::XalanMessageLoader::getMessage(buffer, code, name.c_str());
}

const ExsltModule& exsltDatesAndTimesModule()
{
    static const ExsltDateFunction kFunctions[] = {
        {"add", 2, 2, addWorker},
        {"add-duration", 2, 2, addDurationWorker},
        {"date", 0, 1, dateWorker},
        {"day-abbreviation", 0, 1, dayAbbreviationWorker},
        {"day-in-month", 0, 1, dayInMonthWorker},
        {"day-in-week", 0, 1, dayInWeekWorker},
        {"day-in-year", 0, 1, dayInYearWorker},
        {"day-name", 0, 1, dayNameWorker},
        {"day-of-week-in-month", 0, 1, dayOfWeekInMonthWorker},
        {"difference", 2, 2, differenceWorker},
        {"duration", 0, 1, durationWorker},
        {"hour-in-day", 0, 1, hourInDayWorker},
        {"leap-year", 0, 1, leapYearWorker},
        {"minute-in-hour", 0, 1, minuteInHourWorker},
        {"month-abbreviation", 0, 1, monthAbbreviationWorker},
        {"month-in-year", 0, 1, monthInYearWorker},
        {"month-name", 0, 1, monthNameWorker},
        {"second-in-minute", 0, 1, secondInMinuteWorker},
        {"seconds", 0, 1, secondsWorker},
        {"sum", 1, 1, sumWorker},
        {"time", 0, 1, timeWorker},
        {"week-in-month", 0, 1, weekInMonthWorker},
        {"week-in-year", 0, 1, weekInYearWorker},
        {"year", 0, 1, yearWorker},
    };
    static const ExsltModule module = []
    {
        ExsltModule functions{"http://exslt.org/dates-and-times", {}};
        for (const ExsltDateFunction& function : kFunctions)
            functions.functions.push_back({function.name(), function});
        return functions;
    }();
    return module;
}

} // namespace prsm::detail
