// The engine exception that ends a transformation whose secondary result document failed.
#pragma once

#include <xalanc/PlatformSupport/XSLException.hpp>

#include <string>

namespace prsm::detail
{

// An XSLException, so every path reports it as it reports the engine's own: status -1, the
// message (which names the document), and the stylesheet place of `locator` when there is one.
class DocumentException final : public xalanc::XSLException
{
public:
    DocumentException(const std::string& message, const xercesc::Locator* locator);

    const xalanc::XalanDOMChar* getType() const override;
};

} // namespace prsm::detail
