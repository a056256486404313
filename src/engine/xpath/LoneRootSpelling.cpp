// Respells a lone "/" that an operator follows, which the engine's XPath parser refuses.
#include "engine/xpath/LoneRootSpelling.hpp"

#include "platform/EngineText.hpp"

#include <vector>

namespace prsm::detail
{
namespace
{

// Characters after which a "/" starts an absolute path rather than separating steps.
bool opensExpression(xalanc::XalanDOMChar c)
{
    return c == u'(' || c == u'[' || c == u',' || c == u'|' || c == u'=' || c == u'!' ||
           c == u'<' || c == u'>' || c == u'+' || c == u'-';
}

// Tokens that cannot start a step, before which the engine still tries to read one.
bool endsRootAlone(xalanc::XalanDOMChar c)
{
    return c == u'|' || c == u'=' || c == u'!' || c == u'<' || c == u'>' || c == u',' ||
           c == u']' || c == u'+';
}

} // namespace

bool respellLoneRoot(const xalanc::XalanDOMChar* text, std::size_t length,
                     xalanc::XalanDOMString& spelled)
{
    if (text == nullptr)
        return false;
    // Nearly every expression has none: the text is only read until one is found.
    std::vector<std::size_t> lones;
    xalanc::XalanDOMChar quote = 0;
    xalanc::XalanDOMChar previous = 0; // the last character outside blanks
    for (std::size_t i = 0; i < length; ++i)
    {
        const xalanc::XalanDOMChar c = text[i];
        if (quote != 0)
            quote = c == quote ? 0 : quote;
        else if (c == u'\'' || c == u'"')
            quote = c;
        else if (c == u'/' && (i + 1 >= length || text[i + 1] != u'/') &&
                 (i == 0 || text[i - 1] != u'/') && (previous == 0 || opensExpression(previous)))
        {
            std::size_t next = i + 1;
            while (next < length && isXmlSpace(text[next]))
                ++next;
            if (next < length && endsRootAlone(text[next]))
                lones.push_back(i);
        }
        if (!isXmlSpace(c))
            previous = c;
    }
    if (lones.empty())
        return false;
    xalanc::XalanDOMString out(spelled.getMemoryManager());
    out.reserve(static_cast<xalanc::XalanDOMString::size_type>(length + 2 * lones.size()));
    std::size_t from = 0;
    for (const std::size_t lone : lones)
    {
        out.append(text + from, static_cast<xalanc::XalanDOMString::size_type>(lone - from));
        out.append(u"(/)");
        from = lone + 1;
    }
    out.append(text + from, static_cast<xalanc::XalanDOMString::size_type>(length - from));
    spelled.swap(out);
    return true;
}

} // namespace prsm::detail
