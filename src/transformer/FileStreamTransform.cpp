// Transformations of files and streams through the transformer's long-lived engine.
#include "PRSMXslTransformer.hpp"
#include "QxXsltFunction.hpp"
#include "transformer/EngineStrings.hpp"
#include "transformer/TableHandOver.hpp"

#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>
#include <xalanc/XalanExtensions/FunctionNodeSet.hpp>
#include <xalanc/XalanTransformer/XalanParsedSource.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>

#include <istream>
#include <ostream>

namespace
{

// Gives a parsed source back to its engine when the call ends, so a transformer used for many
// transformations holds no more than one document at a time.
class ParsedSourceGuard
{
public:
    explicit ParsedSourceGuard(xalanc::XalanTransformer& engine) : m_engine(engine) {}
    ParsedSourceGuard(const ParsedSourceGuard&) = delete;
    ParsedSourceGuard& operator=(const ParsedSourceGuard&) = delete;
    ~ParsedSourceGuard()
    {
        if (m_parsed != nullptr)
            m_engine.destroyParsedSource(m_parsed);
    }

    const xalanc::XalanParsedSource*& slot() { return m_parsed; }
    const xalanc::XalanParsedSource& get() const { return *m_parsed; }

private:
    xalanc::XalanTransformer& m_engine;
    const xalanc::XalanParsedSource* m_parsed = nullptr;
};

xalanc::XSLTInputSource fileInputSource(const I18NString& fileName)
{
    unsigned short* utf16 = nullptr;
    I18NExternalBufferToUTF16(utf16, fileName.getExternalBuffer(), false);
    return xalanc::XSLTInputSource(reinterpret_cast<const XMLCh*>(utf16));
}

} // namespace

namespace prsm::detail
{

// The engine replaces what an earlier call handed over under the same name, so repeated calls
// do not accumulate.
void handOverTables(xalanc::XalanTransformer& engine,
                    const std::map<I18NString, I18NString>& parameters,
                    const std::map<I18NString, std::unique_ptr<QxXsltFunction>>& functions)
{
    for (const auto& [name, value] : parameters)
        engine.setStylesheetParam(engineString(name), engineString(value));

    engine.installExternalFunction(engineString(kXalanExtensionNamespace), engineString("nodeset"),
                                   xalanc::FunctionNodeSet(true));

    const xalanc::XalanDOMString extensionNamespace = engineString(kPRSMExtensionNamespace);
    for (const auto& [name, function] : functions)
        engine.installExternalFunction(extensionNamespace, engineString(name), *function);
}

} // namespace prsm::detail

int PRSMXslTransformer::doTransform(const I18NString& source, const I18NString& stylesheet,
                                    const I18NString& result)
{
    // Without a parsed source the engine has nothing to transform. The status alone explains the
    // refusal: file transformations keep the stored failure text for in-memory failures only.
    if (source.empty())
        return kNoSourceStatus;

    xalanc::XalanTransformer& engine = *m_xalanTransformer;
    ParsedSourceGuard parsed(engine);
    if (const int status = engine.parseSource(fileInputSource(source), parsed.slot(), false))
        return status;

    prsm::detail::handOverTables(engine, m_stylesheetParams, m_externalFunctions);

    xalanc::XSLTResultTarget target;
    target.setFileName(prsm::detail::engineString(result));
    return engine.transform(parsed.get(), fileInputSource(stylesheet), target);
}

int PRSMXslTransformer::doTransform(std::istream& source, const I18NString& stylesheet,
                                    std::ostream& result)
{
    xalanc::XalanTransformer& engine = *m_xalanTransformer;
    ParsedSourceGuard parsed(engine);
    if (const int status =
            engine.parseSource(xalanc::XSLTInputSource(&source), parsed.slot(), false))
        return status;

    prsm::detail::handOverTables(engine, m_stylesheetParams, m_externalFunctions);

    xalanc::XSLTResultTarget target(&result);
    const int status = engine.transform(parsed.get(), fileInputSource(stylesheet), target);
    // Intended: callers reading into a character buffer find the text NUL-terminated.
    result << std::ends;
    return status;
}
