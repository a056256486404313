// The alternatives of a union pattern, each matched on its own under its own priority.
#include "engine/xslt/PatternAlternatives.hpp"

#include "engine/xpath/ExpressionText.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/DoubleSupport.hpp>
#include <xalanc/XSLT/StylesheetConstructionContext.hpp>

#include <algorithm>

namespace prsm::detail
{

std::vector<std::u16string> patternAlternatives(std::u16string_view pattern)
{
    std::vector<std::u16string> alternatives;
    visitPatternAlternatives(pattern, [&](std::u16string_view alternative)
                             { alternatives.emplace_back(alternative); });
    return alternatives;
}

const xalanc::XPath* PatternAlternatives::patternOf(const xalanc::ElemTemplate& rule,
                                                    const xalanc::XPath& pattern,
                                                    xalanc::StylesheetConstructionContext& context)
{
    if (&pattern != m_pattern)
    {
        m_pattern = &pattern;
        m_alternatives.clear();
        m_next = 0;
        xalanc::XPath::TargetDataVectorType targets(context.getMemoryManager());
        pattern.getTargetData(targets);
        const auto differs = [&](const xalanc::XPath::TargetData& target)
        { return target.getDefaultPriority() != targets.front().getDefaultPriority(); };
        if (targets.size() < 2 || !xalanc::DoubleSupport::isNegativeInfinity(rule.getPriority()) ||
            std::none_of(targets.begin(), targets.end(), differs))
            return nullptr;
        const std::vector<std::u16string> texts =
            patternAlternatives(viewOf(pattern.getExpression().getCurrentPattern()));
        if (texts.size() != targets.size())
            return nullptr;
        for (const std::u16string& text : texts)
            m_alternatives.push_back(context.createMatchPattern(
                rule.getLocator(), xalanc::XalanDOMString(text.c_str(), context.getMemoryManager()),
                rule));
    }
    return m_next < m_alternatives.size() ? m_alternatives[m_next++] : nullptr;
}

} // namespace prsm::detail
