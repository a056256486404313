// The alternatives of a union pattern, each matched on its own under its own priority.
#pragma once

#include <xalanc/XPath/XPath.hpp>
#include <xalanc/XSLT/ElemTemplate.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace XALAN_CPP_NAMESPACE
{
class StylesheetConstructionContext;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

// The texts of the alternatives of `pattern`, split at each | outside string literals,
// brackets and parentheses; the pattern itself when it has one.
std::vector<std::u16string> patternAlternatives(std::u16string_view pattern);

// XSLT 1.0 (5.5) treats a template whose pattern has alternatives as one rule per alternative,
// each with its own default priority. The engine's Stylesheet::addTemplate
// (xalanc/XSLT/Stylesheet.cpp) makes one table entry per alternative with that priority, but
// every entry matches with the whole pattern: an entry placed high by its alternative's priority
// then takes nodes that only a lower alternative matches. Shown by match="s|s[@t='v']" next to
// match="s[@t='i']", which takes every s, t='i' too (dblatex's simplelist templates); xsltproc
// takes s[@t='i'] for it. Given the entries as the engine makes them, in order, this gives each
// the pattern of its own alternative, compiled once for its template; null where the whole
// pattern serves as well (one alternative, or all under one priority).
class PatternAlternatives
{
public:
    const xalanc::XPath* patternOf(const xalanc::ElemTemplate& rule, const xalanc::XPath& pattern,
                                   xalanc::StylesheetConstructionContext& context);

private:
    const xalanc::XPath* m_pattern = nullptr; // the union the entries are made for now
    std::vector<const xalanc::XPath*> m_alternatives;
    std::size_t m_next = 0;
};

} // namespace prsm::detail
