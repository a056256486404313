// str:tokenize, str:split and str:replace, the EXSLT string functions the engine lacks, and
// str:padding and str:encode-uri, which the engine builds one piece at a time into a string that
// grows by exactly each piece, in time quadratic in their length, without a pause to check the
// operation's limits (XalanEXSLTString.cpp, XalanEXSLTFunctionPadding::execute and
// XalanEXSLTFunctionEncodeURI::execute).
#include "functions/exslt/ExsltStringFunctions.hpp"

#include "functions/WorkCheck.hpp"
#include "functions/exslt/NodeText.hpp"
#include "functions/exslt/ResultFragment.hpp"
#include "platform/FunctionRef.hpp"

#include <xalanc/DOMSupport/DOMServices.hpp>
#include <xalanc/PlatformSupport/DoubleSupport.hpp>
#include <xalanc/PlatformSupport/XalanTranscodingServices.hpp>
#include <xalanc/XPath/MutableNodeRefList.hpp>
#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace prsm::detail
{
namespace
{

using Text = std::u16string_view;

constexpr xalanc::XalanDOMChar kToken[] = u"token";

Text textOf(const xalanc::XalanDOMString& string)
{
    return Text(string.c_str(), string.length());
}

// The UTF-16 units of the character at `position`: a surrogate pair counts as one character.
std::size_t characterLength(Text text, std::size_t position)
{
    const bool isPair = position + 1 < text.size() && text[position] >= 0xD800 &&
                        text[position] <= 0xDBFF && text[position + 1] >= 0xDC00 &&
                        text[position + 1] <= 0xDFFF;
    return isPair ? 2 : 1;
}

// The string value of argument `index`, built as nodeText builds it for a node.
std::u16string argumentText(const ExsltCall& call, std::size_t index)
{
    const xalanc::XObject& argument = *call.args[index];
    if (argument.getType() == xalanc::XObject::eTypeNodeSet ||
        argument.getType() == xalanc::XObject::eTypeNodeSetNodeProxy)
    {
        const xalanc::NodeRefListBase& nodes = argument.nodeset();
        return nodes.getLength() == 0
                   ? std::u16string()
                   : nodeText(*nodes.item(0), call.executionContext, call.locator);
    }
    const xalanc::XalanDOMString& text = argument.str(call.executionContext);
    return std::u16string(text.c_str(), text.length());
}

void appendToken(ResultFragment& result, Text token)
{
    result.appendElement(kToken, token.data(), token.size());
}

void appendEachCharacter(ResultFragment& result, Text text)
{
    for (std::size_t i = 0; i < text.size(); i += characterLength(text, i))
        appendToken(result, text.substr(i, characterLength(text, i)));
}

// Whether a character is one of the delimiters, in constant time for any number of them.
class DelimiterSet
{
public:
    explicit DelimiterSet(Text delimiters) : m_basic(0x10000, false)
    {
        for (std::size_t i = 0; i < delimiters.size(); i += characterLength(delimiters, i))
        {
            if (characterLength(delimiters, i) == 1)
                m_basic[delimiters[i]] = true;
            else
                m_pairs.push_back(delimiters.substr(i, 2));
        }
    }

    bool contains(Text character) const
    {
        if (character.size() == 1)
            return m_basic[character[0]];
        for (const Text pair : m_pairs)
            if (pair == character)
                return true;
        return false;
    }

private:
    std::vector<bool> m_basic;
    std::vector<Text> m_pairs;
};

// Called with the offset and the length of each delimiter found in a text.
using Found = FunctionRef<void(std::size_t position, std::size_t length)>;

// Calls `found` with each character of `text` that is one of `delimiters`.
void forEachDelimiter(Text text, Text delimiters, Found found)
{
    const DelimiterSet delimiterSet(delimiters);
    for (std::size_t i = 0, length = 0; i < text.size(); i += length)
    {
        length = characterLength(text, i);
        if (delimiterSet.contains(text.substr(i, length)))
            found(i, length);
    }
}

// Calls `found` with each occurrence of `pattern` in `text`, each after the end of the one
// before, in linear time (Knuth-Morris-Pratt).
void forEachOccurrence(Text text, Text pattern, Found found)
{
    std::vector<std::size_t> border(pattern.size(), 0);
    for (std::size_t i = 1, length = 0; i < pattern.size(); ++i)
    {
        while (length > 0 && pattern[i] != pattern[length])
            length = border[length - 1];
        if (pattern[i] == pattern[length])
            ++length;
        border[i] = length;
    }
    for (std::size_t i = 0, matched = 0; i < text.size(); ++i)
    {
        while (matched > 0 && text[i] != pattern[matched])
            matched = border[matched - 1];
        if (text[i] == pattern[matched])
            ++matched;
        if (matched == pattern.size())
        {
            found(i + 1 - pattern.size(), pattern.size());
            matched = 0;
        }
    }
}

// The runs of the first argument between the delimiters that `forEach` finds in it, as <token>
// elements; empty runs give no token. The second argument, `defaultDelimiters` when it is left
// out, says what delimits; when it is empty, each character is a token.
xalanc::XObjectPtr tokens(const ExsltCall& call, Text defaultDelimiters,
                          void (*forEach)(Text text, Text delimiters, Found found))
{
    xalanc::XPathExecutionContext& executionContext = call.executionContext;
    const std::u16string whole = argumentText(call, 0);
    const Text text(whole);
    const Text delimiters =
        call.args.size() == 2 ? textOf(call.args[1]->str(executionContext)) : defaultDelimiters;

    ResultFragment result(executionContext);
    if (delimiters.empty())
    {
        appendEachCharacter(result, text);
        return result.finish();
    }
    std::size_t tokenStart = 0;
    auto appendTokenBefore = [&](std::size_t position, std::size_t length)
    {
        if (position > tokenStart)
            appendToken(result, text.substr(tokenStart, position - tokenStart));
        tokenStart = position + length;
    };
    forEach(text, delimiters, appendTokenBefore);
    if (text.size() > tokenStart)
        appendToken(result, text.substr(tokenStart));
    return result.finish();
}

xalanc::XObjectPtr tokenizeWorker(const ExsltCall& call)
{
    return tokens(call, u"\t\n\r ", forEachDelimiter);
}

xalanc::XObjectPtr splitWorker(const ExsltCall& call)
{
    return tokens(call, u" ", forEachOccurrence);
}

bool isNodeSet(const xalanc::XObject& object)
{
    const xalanc::XObject::eObjectType type = object.getType();
    return type == xalanc::XObject::eTypeNodeSet || type == xalanc::XObject::eTypeNodeSetNodeProxy;
}

xalanc::XObjectPtr replaceWorker(const ExsltCall& call)
{
    xalanc::XPathExecutionContext& executionContext = call.executionContext;
    const xalanc::Function::XObjectArgVectorType& args = call.args;
    const std::u16string whole = argumentText(call, 0);
    const Text text(whole);

    std::vector<std::u16string> searches;
    xalanc::MutableNodeRefList replacementNodes(executionContext.getMemoryManager());
    if (isNodeSet(*args[1]))
    {
        xalanc::MutableNodeRefList nodes(executionContext.getMemoryManager());
        nodes.addNodesInDocOrder(args[1]->nodeset(), executionContext);
        xalanc::XalanDOMString value(executionContext.getMemoryManager());
        for (xalanc::NodeRefListBase::size_type i = 0; i < nodes.getLength(); ++i)
        {
            value.clear();
            xalanc::DOMServices::getNodeData(*nodes.item(i), executionContext, value);
            searches.emplace_back(textOf(value));
        }
    }
    else
    {
        searches.emplace_back(textOf(args[1]->str(executionContext)));
    }
    const bool isReplacementText = !isNodeSet(*args[2]);
    const Text replacementText =
        isReplacementText ? textOf(args[2]->str(executionContext)) : Text();
    if (!isReplacementText)
        replacementNodes.addNodesInDocOrder(args[2]->nodeset(), executionContext);

    ResultFragment result(executionContext);
    // Appends the replacement of search string `index`; one without a replacement is deleted.
    const auto appendReplacement = [&](std::size_t index)
    {
        if (isReplacementText && index == 0)
            result.appendText(replacementText.data(), replacementText.size());
        else if (!isReplacementText && index < replacementNodes.getLength())
            result.appendCopy(*replacementNodes.item(index));
    };
    const auto hasReplacement = [&](std::size_t index)
    {
        return isReplacementText ? index == 0 && !replacementText.empty()
                                 : index < replacementNodes.getLength();
    };

    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // Only the first empty search string counts, and only when it has something to insert.
    const auto firstEmpty =
        std::find_if(searches.begin(), searches.end(),
                     [](const std::u16string& search) { return search.empty(); });
    std::size_t emptySearch = static_cast<std::size_t>(firstEmpty - searches.begin());
    if (firstEmpty == searches.end() || !hasReplacement(emptySearch))
        emptySearch = kNone;

    std::size_t untouched = 0; // start of the text not yet appended
    for (std::size_t position = 0; position < text.size();)
    {
        std::size_t match = kNone;
        std::size_t matchLength = 0;
        for (std::size_t i = 0; i < searches.size(); ++i)
        {
            const Text search = searches[i];
            if (search.size() > matchLength && text.substr(position, search.size()) == search)
            {
                match = i;
                matchLength = search.size();
            }
        }
        if (match == kNone)
        {
            if (emptySearch != kNone && untouched < position)
            {
                result.appendText(text.data() + untouched, position - untouched);
                appendReplacement(emptySearch);
                untouched = position;
            }
            position += characterLength(text, position);
            continue;
        }
        result.appendText(text.data() + untouched, position - untouched);
        appendReplacement(match);
        position += matchLength;
        untouched = position;
    }
    result.appendText(text.data() + untouched, text.size() - untouched);
    return result.finish();
}

// Units written between two checks of the operation's limits: a fraction of a millisecond.
constexpr std::size_t kPaddingPiece = 1 << 16;

xalanc::XObjectPtr paddingWorker(const ExsltCall& call)
{
    xalanc::XPathExecutionContext& executionContext = call.executionContext;
    const double length = xalanc::DoubleSupport::round(call.args[0]->num(executionContext));
    static const xalanc::XalanDOMChar kSpace[] = u" ";
    const std::u16string given = call.args.size() == 2 ? argumentText(call, 1) : std::u16string();
    const xalanc::XalanDOMChar* padding = call.args.size() == 2 ? given.c_str() : kSpace;
    const std::size_t paddingLength = call.args.size() == 2 ? given.size() : 1;
    // NaN and negative lengths make the empty string, as 0 does.
    constexpr double kLongest = std::numeric_limits<xalanc::XalanDOMString::size_type>::max() - 1;
    if (!(length >= 1) || paddingLength == 0)
        return executionContext.getXObjectFactory().createString(
            xalanc::XalanDOMString(executionContext.getMemoryManager()));
    const auto total = static_cast<std::size_t>(std::min(length, kLongest));

    // Doubling what is written copies each unit a few times, whatever the padding's length;
    // pieces stay whole repetitions of the padding until the last.
    std::u16string text(padding, std::min(total, paddingLength));
    const std::size_t wholePiece =
        std::max(kPaddingPiece / paddingLength, std::size_t(1)) * paddingLength;
    while (text.size() < total)
    {
        checkWork(executionContext, call.locator);
        text.append(text, 0, std::min({text.size(), total - text.size(), wholePiece}));
    }
    xalanc::XPathExecutionContext::GetCachedString cached(executionContext);
    cached.get().assign(text.data(), static_cast<xalanc::XalanDOMString::size_type>(text.size()));
    return executionContext.getXObjectFactory().createString(cached);
}

// Characters of the text between two checks of the operation's limits.
constexpr std::size_t kEncodingPiece = 1 << 14;

void appendEscapedOctet(std::u16string& result, unsigned octet)
{
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    result += u'%';
    result += kHex[(octet >> 4) & 0xF];
    result += kHex[octet & 0xF];
}

// ASCII characters that are always escaped, besides controls and DEL.
bool isExcluded(char16_t c)
{
    return std::u16string_view(u" \"#%<>\\^`{|}").find(c) != std::u16string_view::npos;
}

bool isReserved(char16_t c)
{
    return std::u16string_view(u"$&+,/:;=?@[]").find(c) != std::u16string_view::npos;
}

// As the engine encodes: UTF-8 only (another encoding makes the empty string), every octet of a
// character outside ASCII escaped, a lone surrogate encoded as the engine encodes it.
xalanc::XObjectPtr encodeUriWorker(const ExsltCall& call)
{
    xalanc::XPathExecutionContext& executionContext = call.executionContext;
    const std::u16string given = argumentText(call, 0);
    const Text text(given);
    const bool escapeReserved = call.args[1]->boolean(executionContext);
    const bool isUtf8 = call.args.size() == 2 || xalanc::XalanTranscodingServices::encodingIsUTF8(
                                                     call.args[2]->str(executionContext));
    std::u16string result;
    if (isUtf8)
        result.reserve(text.size());
    for (std::size_t i = 0; isUtf8 && i < text.size(); ++i)
    {
        if (i % kEncodingPiece == 0)
            checkWork(executionContext, call.locator);
        const char16_t c = text[i];
        if (c <= 0x7F)
        {
            if (c < 32 || c > 126 || isExcluded(c) || (escapeReserved && isReserved(c)))
                appendEscapedOctet(result, c);
            else
                result += c;
        }
        else if (c <= 0x7FF)
        {
            appendEscapedOctet(result, (c >> 6) | 0xC0);
            appendEscapedOctet(result, (c & 0x3F) | 0x80);
        }
        else if ((c & 0xFC00) == 0xD800)
        {
            const unsigned high = (c & 0x03FF) + 0x40;
            const unsigned low = ++i < text.size() ? text[i] & 0x03FF : 0;
            appendEscapedOctet(result, 0xF0 + ((high & 0x0300) >> 8));
            appendEscapedOctet(result, 0x80 + ((high & 0x00FC) >> 2));
            appendEscapedOctet(result, 0x80 + ((high & 0x0003) << 4) + ((low & 0x03C0) >> 6));
            appendEscapedOctet(result, 0x80 + (low & 0x003F));
        }
        else
        {
            appendEscapedOctet(result, (c >> 12) | 0xE0);
            appendEscapedOctet(result, ((c & 0x0FC0) >> 6) | 0x80);
            appendEscapedOctet(result, (c & 0x3F) | 0x80);
        }
    }
    xalanc::XPathExecutionContext::GetCachedString cached(executionContext);
    cached.get().assign(result.data(),
                        static_cast<xalanc::XalanDOMString::size_type>(result.size()));
    return executionContext.getXObjectFactory().createString(cached);
}

} // namespace

const ExsltModule& exsltStringsModule()
{
    static const ExsltModule module{"http://exslt.org/strings",
                                    {{"tokenize", kOneOrTwoArguments, tokenizeWorker},
                                     {"split", kOneOrTwoArguments, splitWorker},
                                     {"replace", kThreeArguments, replaceWorker},
                                     {"padding", kOneOrTwoArguments, paddingWorker},
                                     {"encode-uri", kTwoOrThreeArguments, encodeUriWorker}}};
    return module;
}

} // namespace prsm::detail
