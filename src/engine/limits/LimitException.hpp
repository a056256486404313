// The engine exception that ends a transformation or a query which passed one of its limits.
#pragma once

#include <xalanc/PlatformSupport/XSLException.hpp>

#include <string>

namespace prsm::detail
{

// An XSLException, so every path reports it as it reports the engine's own: status -1, the
// message, and the stylesheet place of `locator` when there is one.
class LimitException final : public xalanc::XSLException
{
public:
    LimitException(const std::string& message, const xercesc::Locator* locator);

    const xalanc::XalanDOMChar* getType() const override;
};

} // namespace prsm::detail
