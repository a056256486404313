// The current template rule that xsl:apply-imports works from, kept as XSLT 1.0 defines it.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <vector>

namespace XALAN_CPP_NAMESPACE
{
class ElemTemplate;
}

namespace prsm::detail
{

// Corrects ElemTemplate::startElement (xalanc/XSLT/ElemTemplate.cpp), which makes every
// template it instantiates the current one, named templates too, while
// ElemTemplateElement::findTemplateToTransformChild looks for xsl:apply-imports among the
// imports of the current template's stylesheet. A named template of an imported stylesheet
// (DocBook's process-chunk-element) then finds nothing and falls back to the built-in rules.
// In XSLT 1.0 xsl:call-template leaves the current template rule as it was; so does entering a
// template without a match pattern here. xsl:for-each (a null template) clears it.
class CurrentTemplateRule
{
public:
    void push(const xalanc::ElemTemplate* theTemplate);
    void pop();
    void clear() { m_rules.clear(); }

    // The current template rule, or null.
    const xalanc::ElemTemplate* get() const { return m_rules.empty() ? nullptr : m_rules.back(); }

private:
    std::vector<const xalanc::ElemTemplate*> m_rules;
};

} // namespace prsm::detail
