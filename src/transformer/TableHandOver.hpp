// Handing the transformer's tables to its long-lived engine.
#pragma once

#include "ZBLCore.hpp"

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <map>
#include <memory>

namespace XALAN_CPP_NAMESPACE
{
class XalanTransformer;
}

class QxXsltFunction;

namespace prsm::detail
{

// Hands the parameters, then `nodeset`, then the table's functions to the engine, each table in
// ascending name order.
void handOverTables(xalanc::XalanTransformer& engine,
                    const std::map<I18NString, I18NString>& parameters,
                    const std::map<I18NString, std::unique_ptr<QxXsltFunction>>& functions);

} // namespace prsm::detail
