// The current template rule that xsl:apply-imports works from, kept as XSLT 1.0 defines it.
#include "engine/xslt/CurrentTemplateRule.hpp"

#include <xalanc/XSLT/ElemTemplate.hpp>

namespace prsm::detail
{

void CurrentTemplateRule::push(const xalanc::ElemTemplate* theTemplate)
{
    if (theTemplate != nullptr && theTemplate->getMatchPattern() == nullptr)
        m_rules.push_back(get());
    else
        m_rules.push_back(theTemplate);
}

void CurrentTemplateRule::pop()
{
    if (!m_rules.empty())
        m_rules.pop_back();
}

} // namespace prsm::detail
