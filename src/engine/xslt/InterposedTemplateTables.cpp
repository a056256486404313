// The engine's template tables, built in time proportional to their size, for the whole process.
//
// Two members of the engine's Stylesheet (xalanc/XSLT/Stylesheet.cpp) take the square of a
// large stylesheet's size to compile it. Stylesheet::addTemplate walks the list of every template
// so far to append the new one at its end; an xsl:include adds its templates to the including
// stylesheet, so DocBook's html/docbook.xsl appends some 1,900 templates to one list.
// Stylesheet::postConstruction then adds every pattern that matches any element (*, node(), a
// prefix's *) to the list of each element name, one insertion at a time from the list's front
// (addToTable and addToList): hundreds of names times hundreds of such patterns. Together about
// an eighth of the compile of docbook.xsl. The engine calls both through its procedure linkage
// table or a virtual table, so the library's definitions below are the ones it runs, as with
// the other interposed members (engine/xpath/InterposedDocumentOrder.cpp):
// - addTemplate hands the engine the last template of the list as the first, so that its walk
//   ends at once, and gives the list its own first template back afterwards;
// - postConstruction lets the engine run with the lists of those patterns put aside, then
//   merges each into every element list in one pass. Both lists are ordered as the engine keeps
//   them (higher priority first, then the later pattern first), so the merge gives the lists
//   that the insertions would; where a priority is NaN, which orders nothing, the engine's own
//   insertions run.
// The engine's fix: keep the last template, and merge the sorted lists.
#pragma GCC visibility push(default)
#include <xalanc/XSLT/ElemTemplate.hpp>
#include <xalanc/XSLT/Stylesheet.hpp>
#include <xalanc/XSLT/StylesheetConstructionContext.hpp>
#include <xalanc/XSLT/XalanMatchPatternData.hpp>
#pragma GCC visibility pop

#include "engine/xslt/EngineMembers.hpp"
#include "engine/xslt/TemplateTails.hpp"

#include <cmath>

namespace
{

using xalanc::ElemTemplate;
using xalanc::Stylesheet;
using xalanc::StylesheetConstructionContext;
using PatternList = Stylesheet::PatternTableVectorType;
using PatternTable = Stylesheet::PatternTableMapType;

PRSM_ENGINE_MEMBER(FirstTemplate, Stylesheet, ElemTemplate*, m_firstTemplate);
PRSM_ENGINE_MEMBER(IsWrapperless, Stylesheet, bool, m_isWrapperless);
PRSM_ENGINE_MEMBER(ElementTable, Stylesheet, PatternTable, m_elementPatternTable);
PRSM_ENGINE_MEMBER(ElementAnyList, Stylesheet, PatternList, m_elementAnyPatternList);
PRSM_ENGINE_MEMBER(AttributeTable, Stylesheet, PatternTable, m_attributePatternTable);
PRSM_ENGINE_MEMBER(AttributeAnyList, Stylesheet, PatternList, m_attributeAnyPatternList);

// The last template appended on this thread, and the list it ends: one list at a time, as a
// stylesheet and the modules it includes are compiled.
struct Tail
{
    const Stylesheet* stylesheet = nullptr;
    const ElemTemplate* first = nullptr;
    ElemTemplate* last = nullptr;
};
thread_local Tail t_tail;

// Whether the engine's addToList would place `pattern` before `other`.
bool goesBefore(const xalanc::XalanMatchPatternData* pattern,
                const xalanc::XalanMatchPatternData* other)
{
    const double priority = pattern->getPriorityOrDefault();
    const double otherPriority = other->getPriorityOrDefault();
    return priority > otherPriority ||
           (priority == otherPriority && pattern->getPosition() > other->getPosition());
}

bool hasNaN(const PatternList& list)
{
    for (const xalanc::XalanMatchPatternData* pattern : list)
        if (std::isnan(pattern->getPriorityOrDefault()))
            return true;
    return false;
}

void mergeInto(PatternTable& table, const PatternList& any)
{
    if (any.empty())
        return;
    for (auto& entry : table)
    {
        PatternList& list = entry.second;
        PatternList merged(list.getMemoryManager());
        merged.reserve(list.size() + any.size());
        auto next = list.begin();
        for (const xalanc::XalanMatchPatternData* pattern : any)
        {
            while (next != list.end() && !goesBefore(pattern, *next))
                merged.push_back(*next++);
            merged.push_back(pattern);
        }
        while (next != list.end())
            merged.push_back(*next++);
        list.swap(merged);
    }
}

bool anyHasNaN(const PatternTable& table, const PatternList& any)
{
    if (hasNaN(any))
        return true;
    for (const auto& entry : table)
        if (hasNaN(entry.second))
            return true;
    return false;
}

} // namespace

namespace prsm::detail
{

void forgetTemplateTails()
{
    t_tail = Tail();
}

} // namespace prsm::detail

namespace XALAN_CPP_NAMESPACE
{

void Stylesheet::addTemplate(ElemTemplate* theTemplate,
                             StylesheetConstructionContext& constructionContext)
{
    using Engine = void (*)(Stylesheet*, ElemTemplate*, StylesheetConstructionContext&);
    static const Engine engine =
        engineDefinition<Engine>("_ZN11xalanc_1_1210Stylesheet11addTemplateEPNS_12ElemTemplateERNS_"
                                 "29StylesheetConstructionContextE");
    ElemTemplate*& first = this->*memberOf(FirstTemplate());
    ElemTemplate* const realFirst = first;
    const bool isKnown = !(this->*memberOf(IsWrapperless())) && realFirst != nullptr &&
                         t_tail.stylesheet == this && t_tail.first == realFirst &&
                         t_tail.last != nullptr && t_tail.last->getNextSiblingElem() == nullptr;
    if (isKnown)
        first = t_tail.last;
    // The list keeps its own first template whatever the engine reports.
    struct Restore
    {
        ElemTemplate*& first;
        ElemTemplate* realFirst;
        bool isKnown;
        ~Restore()
        {
            if (isKnown)
                first = realFirst;
        }
    } restore{first, realFirst, isKnown};
    engine(this, theTemplate, constructionContext);
    if (!(this->*memberOf(IsWrapperless())))
        t_tail = Tail{this, realFirst != nullptr ? realFirst : theTemplate, theTemplate};
}

void Stylesheet::postConstruction(StylesheetConstructionContext& constructionContext)
{
    using Engine = void (*)(Stylesheet*, StylesheetConstructionContext&);
    static const Engine engine = engineDefinition<Engine>(
        "_ZN11xalanc_1_1210Stylesheet16postConstructionERNS_29StylesheetConstructionContextE");
    PatternTable& elements = this->*memberOf(ElementTable());
    PatternTable& attributes = this->*memberOf(AttributeTable());
    PatternList& anyElement = this->*memberOf(ElementAnyList());
    PatternList& anyAttribute = this->*memberOf(AttributeAnyList());
    if (anyHasNaN(elements, anyElement) || anyHasNaN(attributes, anyAttribute))
    {
        engine(this, constructionContext);
        return;
    }
    PatternList asideElement(anyElement.getMemoryManager());
    PatternList asideAttribute(anyAttribute.getMemoryManager());
    asideElement.swap(anyElement);
    asideAttribute.swap(anyAttribute);
    struct PutBack
    {
        PatternList& list;
        PatternList& aside;
        ~PutBack() { list.swap(aside); }
    } putBackElement{anyElement, asideElement}, putBackAttribute{anyAttribute, asideAttribute};
    engine(this, constructionContext);
    mergeInto(elements, asideElement);
    mergeInto(attributes, asideAttribute);
}

} // namespace XALAN_CPP_NAMESPACE
