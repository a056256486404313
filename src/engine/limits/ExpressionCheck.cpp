// A measure of an XPath expression's nesting, taken before the engine's recursive compiler sees it.
#include "engine/limits/ExpressionCheck.hpp"

#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"

#include <algorithm>
#include <pthread.h>
#include <string_view>

namespace prsm::detail
{

using namespace std::string_view_literals;

namespace
{

// Stack the engine may use per nesting level and per binary operator, measured on its compiler
// and evaluator with a margin of two.
constexpr std::size_t kBytesPerLevel = 2048;
constexpr std::size_t kBytesPerOperator = 512;
// Assumed when the thread does not tell its stack: the smallest stack threads commonly get.
constexpr std::size_t kAssumedStackRoom = 256 * 1024;
// Room that stays for everything else on the stack: the engine's own frames and the host's.
constexpr std::size_t kStackReserve = 128 * 1024;

struct Shape
{
    std::size_t depth = 0;
    std::size_t operators = 0;
};

bool isNameChar(xalanc::XalanDOMChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'-' || c == u'.' || c > 0x7F;
}

bool isOperatorWord(const xalanc::XalanDOMChar* word, std::size_t length)
{
    const std::u16string_view text(reinterpret_cast<const char16_t*>(word), length);
    return text == u"or"sv || text == u"and"sv || text == u"div"sv || text == u"mod"sv;
}

// Counts every operator character outside literals and names, so a '*' name test counts too:
// the measure errs towards refusing.
Shape measure(const xalanc::XalanDOMChar* text, std::size_t length)
{
    Shape shape;
    std::size_t depth = 0;
    for (std::size_t at = 0; at < length; ++at)
    {
        const xalanc::XalanDOMChar c = text[at];
        if (c == u'\'' || c == u'"')
        {
            while (at + 1 < length && text[at + 1] != c)
                ++at;
            ++at;
        }
        else if (c == u'(' || c == u'[')
        {
            shape.depth = std::max(shape.depth, ++depth);
        }
        else if (c == u')' || c == u']')
        {
            depth -= depth > 0 ? 1 : 0;
        }
        else if (c == u'+' || c == u'-' || c == u'*' || c == u'=' || c == u'<' || c == u'>' ||
                 c == u'|')
        {
            ++shape.operators;
        }
        else if (isNameChar(c))
        {
            const std::size_t start = at;
            while (at + 1 < length && isNameChar(text[at + 1]))
                ++at;
            if (isOperatorWord(text + start, at + 1 - start))
                ++shape.operators;
        }
    }
    return shape;
}

// The bytes between the current frame and the far end of this thread's stack. Read from the
// system once per thread: for the main thread that reads a file.
std::size_t stackRoom()
{
    thread_local const char* t_low = nullptr;
    thread_local bool t_known = false;
    if (!t_known)
    {
        t_known = true;
        pthread_attr_t attributes;
        if (pthread_getattr_np(pthread_self(), &attributes) == 0)
        {
            void* low = nullptr;
            std::size_t size = 0;
            if (pthread_attr_getstack(&attributes, &low, &size) == 0)
                t_low = static_cast<const char*>(low);
            pthread_attr_destroy(&attributes);
        }
    }
    if (t_low == nullptr)
        return kAssumedStackRoom;
    const char* here = static_cast<const char*>(__builtin_frame_address(0));
    return here > t_low ? static_cast<std::size_t>(here - t_low) : 0;
}

std::string excerpt(const xalanc::XalanDOMChar* text, std::size_t length)
{
    constexpr std::size_t kShown = 40;
    const xalanc::XalanDOMString shown(text, engineMemory(), std::min(length, kShown));
    return "\"" + utf8Of(shown) + (length > kShown ? "...\"" : "\"");
}

} // namespace

std::string expressionRefusal(const xalanc::XalanDOMChar* expression, std::size_t length,
                              const PRSMXslLimits& limits)
{
    if (expression == nullptr || length == 0)
        return {};
    const Shape shape = measure(expression, length);
    const std::size_t limit = limits.maxExpressionDepth;
    if (limit > 0 && shape.depth > limit)
        return "the expression " + excerpt(expression, length) + " nests " +
               std::to_string(shape.depth) + " levels deep, more than the limit of " +
               std::to_string(limit) + " (PRSMXslLimits::maxExpressionDepth)";

    const std::size_t need = shape.depth * kBytesPerLevel + shape.operators * kBytesPerOperator;
    const std::size_t room = stackRoom();
    if (need + kStackReserve > room)
        return "the expression " + excerpt(expression, length) + " nests " +
               std::to_string(shape.depth) + " levels deep with " +
               std::to_string(shape.operators) +
               " operators, more than the stack of this thread can evaluate";
    return {};
}

} // namespace prsm::detail
