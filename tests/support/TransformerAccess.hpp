// Read access to a transformer's tables, for tests only.
#pragma once

#include "PRSMXslTransformer.hpp"

#include <string>
#include <utility>
#include <vector>

namespace prsm::detail
{

struct TransformerAccess
{
    // Parameter names and stored values, in table order, as UTF-8.
    static std::vector<std::pair<std::string, std::string>>
    parameters(const PRSMXslTransformer& transformer)
    {
        std::vector<std::pair<std::string, std::string>> entries;
        for (const auto& [name, value] : transformer.m_stylesheetParams)
            entries.emplace_back(name.c_str(), value.c_str());
        return entries;
    }

    // Function names in table order, as UTF-8.
    static std::vector<std::string> functionNames(const PRSMXslTransformer& transformer)
    {
        std::vector<std::string> names;
        for (const auto& entry : transformer.m_externalFunctions)
            names.emplace_back(entry.first.c_str());
        return names;
    }

    // The table's own object for `name`; throws std::out_of_range when there is none.
    static const QxXsltFunction& function(const PRSMXslTransformer& transformer, const char* name)
    {
        return *transformer.m_externalFunctions.at(I18NString(name));
    }
};

} // namespace prsm::detail
