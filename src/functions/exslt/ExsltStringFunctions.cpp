// str:tokenize, str:split and str:replace, the EXSLT string functions the engine lacks.
#include "functions/exslt/ExsltStringFunctions.hpp"

#include "functions/exslt/ResultFragment.hpp"

#include <xalanc/DOMSupport/DOMServices.hpp>
#include <xalanc/Include/XalanMemoryManagement.hpp>
#include <xalanc/PlatformSupport/XalanMessageLoader.hpp>
#include <xalanc/XPath/MutableNodeRefList.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <algorithm>
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

// Calls `found` with each offset at which `pattern` occurs in `text`, each after the end of the
// one before, in linear time (Knuth-Morris-Pratt).
template <class Found>
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
            found(i + 1 - pattern.size());
            matched = 0;
        }
    }
}

bool isNodeSet(const xalanc::XObject& object)
{
    const xalanc::XObject::eObjectType type = object.getType();
    return type == xalanc::XObject::eTypeNodeSet || type == xalanc::XObject::eTypeNodeSetNodeProxy;
}

const xalanc::XalanDOMString& countError(xalanc::XalanDOMString& buffer,
                                         xalanc::XalanMessages::Codes code, const char* name)
{
    return xalanc::XalanMessageLoader::getMessage(buffer, code, name);
}

} // namespace

xalanc::XObjectPtr ExsltTokenize::execute(xalanc::XPathExecutionContext& executionContext,
                                          xalanc::XalanNode* context,
                                          const XObjectArgVectorType& args,
                                          const xercesc::Locator* locator) const
{
    if (args.size() != 1 && args.size() != 2)
        generalError(executionContext, context, locator);
    const Text text = textOf(args[0]->str(executionContext));
    const Text delimiters = args.size() == 2 ? textOf(args[1]->str(executionContext)) : u"\t\n\r ";

    ResultFragment result(executionContext);
    if (delimiters.empty())
    {
        appendEachCharacter(result, text);
        return result.finish();
    }
    const DelimiterSet delimiterSet(delimiters);
    std::size_t tokenStart = 0;
    for (std::size_t i = 0; i < text.size();)
    {
        const std::size_t length = characterLength(text, i);
        if (delimiterSet.contains(text.substr(i, length)))
        {
            if (i > tokenStart)
                appendToken(result, text.substr(tokenStart, i - tokenStart));
            tokenStart = i + length;
        }
        i += length;
    }
    if (text.size() > tokenStart)
        appendToken(result, text.substr(tokenStart));
    return result.finish();
}

ExsltTokenize* ExsltTokenize::clone(xalanc::MemoryManager& manager) const
{
    return xalanc::XalanCopyConstruct(manager, *this);
}

const xalanc::XalanDOMString& ExsltTokenize::getError(xalanc::XalanDOMString& buffer) const
{
    return countError(buffer, xalanc::XalanMessages::EXSLTFunctionAccepts1Or2Argument_1Param,
                      "tokenize()");
}

xalanc::XObjectPtr ExsltSplit::execute(xalanc::XPathExecutionContext& executionContext,
                                       xalanc::XalanNode* context, const XObjectArgVectorType& args,
                                       const xercesc::Locator* locator) const
{
    if (args.size() != 1 && args.size() != 2)
        generalError(executionContext, context, locator);
    const Text text = textOf(args[0]->str(executionContext));
    const Text pattern = args.size() == 2 ? textOf(args[1]->str(executionContext)) : u" ";

    ResultFragment result(executionContext);
    if (pattern.empty())
    {
        appendEachCharacter(result, text);
        return result.finish();
    }
    std::size_t tokenStart = 0;
    forEachOccurrence(text, pattern,
                      [&](std::size_t position)
                      {
                          if (position > tokenStart)
                              appendToken(result, text.substr(tokenStart, position - tokenStart));
                          tokenStart = position + pattern.size();
                      });
    if (text.size() > tokenStart)
        appendToken(result, text.substr(tokenStart));
    return result.finish();
}

ExsltSplit* ExsltSplit::clone(xalanc::MemoryManager& manager) const
{
    return xalanc::XalanCopyConstruct(manager, *this);
}

const xalanc::XalanDOMString& ExsltSplit::getError(xalanc::XalanDOMString& buffer) const
{
    return countError(buffer, xalanc::XalanMessages::EXSLTFunctionAccepts1Or2Argument_1Param,
                      "split()");
}

xalanc::XObjectPtr ExsltReplace::execute(xalanc::XPathExecutionContext& executionContext,
                                         xalanc::XalanNode* context,
                                         const XObjectArgVectorType& args,
                                         const xercesc::Locator* locator) const
{
    if (args.size() != 3)
        generalError(executionContext, context, locator);
    const Text text = textOf(args[0]->str(executionContext));

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

ExsltReplace* ExsltReplace::clone(xalanc::MemoryManager& manager) const
{
    return xalanc::XalanCopyConstruct(manager, *this);
}

const xalanc::XalanDOMString& ExsltReplace::getError(xalanc::XalanDOMString& buffer) const
{
    return countError(buffer, xalanc::XalanMessages::FunctionTakesThreeArguments_1Param,
                      "replace()");
}

const ExsltModule& exsltStringsModule()
{
    static const ExsltTokenize tokenize;
    static const ExsltSplit split;
    static const ExsltReplace replace;
    static const ExsltModule module{
        "http://exslt.org/strings",
        {{"tokenize", tokenize}, {"split", split}, {"replace", replace}}};
    return module;
}

} // namespace prsm::detail
