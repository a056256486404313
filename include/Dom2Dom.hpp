// A handle on one XML document held in memory, for chained transformations and XPath queries.
#pragma once

#include "PRSMExport.hpp"

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <iosfwd>
#include <memory>

namespace XALAN_CPP_NAMESPACE
{
class FormatterToSourceTree;
class XSLTInputSource;
class XSLTResultTarget;
class XalanDocument;
class XalanDocumentBuilder;
class XalanParsedSource;
class XalanTransformer;
} // namespace XALAN_CPP_NAMESPACE

class PRSMXslTransformer;

// Made and destroyed only by PRSMXslTransformer::createDom2Dom and destroyDom2Dom. A fresh handle
// is set up exactly once: as an input (parsed XML) or as an output (a tree built in memory, or
// the caller's stream). Every later set-up call returns false and changes nothing. Set-up and
// Serialize let the engine's exceptions through. Destroy a handle before its transformer.
class PRSM_XSLT_API Dom2Dom
{
public:
    Dom2Dom(const Dom2Dom&) = delete;
    Dom2Dom& operator=(const Dom2Dom&) = delete;

    // Parses the NUL-terminated XML text in place (no copy; null reads as empty). Returns whether
    // a document was parsed; after a failed parse the handle refuses everything and the
    // transformer's getLastError() holds the engine's text.
    bool InitializeInputSource(const char* xmlText);

    // Parses a document read from `in`, with `systemId` (null for none) for relative references.
    bool InitializeInputSource(std::istream& in, const char* systemId);

    // Makes the handle an output whose result is built as a tree in memory, which can then be
    // serialised, queried, or used as the input of another transformation.
    bool InitializeOutputTarget();

    // Makes the handle an output that writes the result as text to `out`, which must outlive
    // every transformation into the handle.
    bool InitializeOutputTarget(std::ostream& out);

    // Clears the error state of `out`; writes a tree output's XML declaration and root element,
    // then, for every handle, a line end and one NUL character.
    void Serialize(std::ostream& out);

private:
    friend class PRSMXslTransformer;

    explicit Dom2Dom(PRSMXslTransformer* owner);
    ~Dom2Dom();

    xalanc::XalanDocument* GetDocument() { return m_document; }

    // Parses `source` through the transformer's engine and records the outcome as an input.
    bool parse(const xalanc::XSLTInputSource& source);

    xalanc::XalanTransformer* m_xalanTransformer;
    xalanc::XalanDocument* m_document = nullptr;
    bool m_inputInitialized = false;
    const xalanc::XalanParsedSource* m_parsedSource = nullptr;
    int m_parseResult = 0;
    bool m_outputInitialized = false;
    std::unique_ptr<xalanc::XSLTResultTarget> m_resultTarget;
    std::unique_ptr<xalanc::FormatterToSourceTree> m_formatter;
    xalanc::XalanDocumentBuilder* m_documentBuilder = nullptr;
};
