// A host of PRSM_XSLTransformer: prints badges for team.xml through badges.xsl, with a stylesheet
// parameter and an extension function of its own, or the library's failure text.
// Usage: prsm_host [FOLDER]   (where team.xml and badges.xsl are; this source folder by default)
#include "Dom2Dom.hpp"
#include "PRSMVersion.hpp"
#include "PRSMXslTransformer.hpp"
#include "QxXsltFunction.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <exception>
#include <fstream>
#include <iostream>
#include <string>

namespace
{

// "Grace Brewster Hopper" gives "G.B.H."; an initial outside ASCII is kept whole.
std::string initialsOf(const std::string& name)
{
    std::string initials;
    bool atWordStart = true;
    bool inInitial = false;
    for (const char c : name)
    {
        const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
        if (inInitial && !continuation)
        {
            initials += '.';
            inInitial = false;
        }
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            atWordStart = true;
        else if (atWordStart || inInitial)
        {
            initials += c;
            inInitial = true;
            atWordStart = false;
        }
    }
    if (inInitial)
        initials += '.';
    return initials;
}

// host:initials(name) in a stylesheet: the initials of the string value of `name`.
class InitialsFunction : public QxXsltFunction
{
public:
    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const XObjectArgVectorType& args,
                               const xercesc::Locator* locator) const override
    {
        // Reports getError() through the engine, which ends the transformation.
        if (args.size() != 1)
            generalError(executionContext, context, locator);
        const I18NString name = XalanDOMStringToI18NString(args[0]->str(executionContext));
        const I18NString initials(initialsOf(name.c_str()).c_str());
        return executionContext.getXObjectFactory().createString(
            I18NStringToXalanDOMString(initials));
    }

    InitialsFunction* clone() const override { return new InitialsFunction(*this); }

    xalanc::XalanDOMString getError() const override
    {
        return xalanc::XalanDOMString("host:initials() takes one argument");
    }
};

int printBadges(const std::string& folder)
{
    const ScopedXslLibrary library;
    PRSMXslTransformer transformer;
    transformer.setStylesheetParam("event", "Spring meet-up");
    transformer.installExternalFunction("initials", InitialsFunction());

    const std::string documentPath = folder + "/team.xml";
    std::ifstream document(documentPath, std::ios::binary);
    if (!document)
    {
        std::cerr << "prsm_host: cannot read " << documentPath << '\n';
        return 1;
    }
    const ScopedDom2Dom source(transformer);
    const ScopedDom2Dom result(transformer);
    if (!source->InitializeInputSource(document, documentPath.c_str()))
    {
        std::cerr << "prsm_host: " << documentPath << ": " << transformer.getLastError() << '\n';
        return 1;
    }
    result->InitializeOutputTarget(std::cout);
    const std::string stylesheet = folder + "/badges.xsl";
    if (transformer.doTransform(*source, stylesheet.c_str(), *result) != 0)
    {
        std::cerr << "prsm_host: " << transformer.getLastError() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    std::cerr << "prsm_host on PRSM_XSLTransformer " PRSM_XSLT_VERSION_STRING "\n";
    try
    {
        return printBadges(argc > 1 ? argv[1] : PRSM_HOST_DATA_DIR);
    }
    catch (const std::exception& error)
    {
        std::cerr << "prsm_host: " << error.what() << '\n';
        return 1;
    }
}
