// The private state of a document handle, and what the transformer reads of it.
#pragma once

#include "PRSMXslFailure.hpp"

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <cstdint>
#include <iosfwd>
#include <memory>

namespace XALAN_CPP_NAMESPACE
{
class FormatterToSourceTree;
class XSLTInputSource;
class XSLTResultTarget;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class EngineContext;
class SourceDocument;

// A handle is set up once, and what it became never changes.
enum class HandleKind
{
    Fresh,
    Input,
    FailedInput,
    TreeOutput,
    StreamOutput
};

class HandleState
{
public:
    explicit HandleState(std::shared_ptr<EngineContext> engine);
    HandleState(const HandleState&) = delete;
    HandleState& operator=(const HandleState&) = delete;
    ~HandleState();

    // The set-up calls: each returns false and changes nothing unless the handle is fresh. They
    // and serialize throw std::logic_error unless the engine still runs under the start-up that
    // the handle was made in.
    bool setUpInput(const xalanc::XSLTInputSource& source);
    bool setUpTreeOutput();
    bool setUpStreamOutput(std::ostream& out);

    void serialize(std::ostream& out) const;

    HandleKind kind() const { return m_kind; }
    // Whether the engine still runs under the start-up that the handle was made in.
    bool isCurrent() const;
    // The engine's status of a failed input, else 0.
    int parseResult() const { return m_parseResult; }
    // The account of a failed input's parse, else an empty one.
    const PRSMXslFailure& parseFailure() const { return m_parseFailure; }
    // The document of an input or a tree output, else null.
    const SourceDocument* document() const { return m_document.get(); }
    // Whether the document is a tree output that holds no document element (nothing delivered
    // yet, or a result a tree cannot hold, refused before its first element). The engine cannot
    // query or transform such a tree: XPath::findRoot (xalanc/XPath/XPath.cpp) takes a document
    // without a document element for a result tree fragment's factory and climbs past its root
    // to a null parent, so "/" crashes. Operations refuse it instead.
    bool isEmptyTree() const;
    // The target of an output, else null.
    xalanc::XSLTResultTarget* resultTarget() const { return m_resultTarget.get(); }

private:
    std::shared_ptr<EngineContext> m_xalanTransformer;
    std::uint64_t m_generation;
    HandleKind m_kind = HandleKind::Fresh;
    int m_parseResult = 0;
    PRSMXslFailure m_parseFailure;
    std::unique_ptr<SourceDocument> m_document;
    std::unique_ptr<xalanc::FormatterToSourceTree> m_formatter; // writes into m_document
    std::unique_ptr<xalanc::XSLTResultTarget> m_resultTarget;   // writes through m_formatter
};

} // namespace prsm::detail
