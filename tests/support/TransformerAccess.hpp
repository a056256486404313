// Read access to a transformer's tables, for tests only.
#pragma once

#include "PRSMXslTransformer.hpp"

namespace prsm::detail
{

struct TransformerAccess
{
    static const auto& parameters(const PRSMXslTransformer& t) { return t.m_stylesheetParams; }
    static const auto& functions(const PRSMXslTransformer& t) { return t.m_externalFunctions; }
};

} // namespace prsm::detail
