// Transformations of files and streams, with the engine's own statuses and texts.
#include "PRSMXslTransformer.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/parse/SourceDocument.hpp"
#include "engine/xslt/EngineStartup.hpp"
#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"
#include "transformer/TransformerImpl.hpp"

#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>

#include <istream>
#include <ostream>

namespace
{

xalanc::XSLTInputSource fileInputSource(const I18NString& fileName)
{
    return xalanc::XSLTInputSource(prsm::detail::toEngine(fileName), prsm::detail::engineMemory());
}

} // namespace

int PRSMXslTransformer::doTransform(const I18NString& source, const I18NString& stylesheet,
                                    const I18NString& result)
{
    // Without a parsed source the engine has nothing to transform. The status alone explains the
    // refusal: file transformations keep the stored failure text for in-memory failures only.
    prsm::detail::requireEngine("PRSMXslTransformer::doTransform");
    if (source.empty())
    {
        m_impl->m_xalanTransformer->lastFailure() =
            prsm::detail::plainFailure(kNoSourceStatus, PRSMXslFailureKind::Usage,
                                       "no source file named: the source file name is empty");
        return kNoSourceStatus;
    }

    prsm::detail::EngineContext& engine = *m_impl->m_xalanTransformer;
    prsm::detail::OperationGuard guard(engine.limits());
    std::unique_ptr<prsm::detail::SourceDocument> document;
    if (const int status = engine.parse(fileInputSource(source), document, guard))
        return status;

    xalanc::XSLTResultTarget target(prsm::detail::engineMemory());
    target.setFileName(prsm::detail::toEngine(result));
    return engine.transform(*document, stylesheet, target, m_impl->tables(), guard);
}

int PRSMXslTransformer::doTransform(std::istream& source, const I18NString& stylesheet,
                                    std::ostream& result)
{
    prsm::detail::requireEngine("PRSMXslTransformer::doTransform");
    prsm::detail::EngineContext& engine = *m_impl->m_xalanTransformer;
    prsm::detail::OperationGuard guard(engine.limits());
    std::unique_ptr<prsm::detail::SourceDocument> document;
    const xalanc::XSLTInputSource input(&source, prsm::detail::engineMemory());
    if (const int status = engine.parse(input, document, guard))
        return status;

    xalanc::XSLTResultTarget target(&result, prsm::detail::engineMemory());
    const int status = engine.transform(*document, stylesheet, target, m_impl->tables(), guard);
    // Intended: callers reading into a character buffer find the text NUL-terminated.
    result << std::ends;
    return status;
}
