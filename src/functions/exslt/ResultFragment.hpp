// The nodes an extension function makes for its node-set result, in a document of their own.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XPath/XObject.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <cstddef>
#include <memory>

namespace XALAN_CPP_NAMESPACE
{
class XPathExecutionContext;
class XalanNode;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

// Builds the top-level nodes of one node-set result, each appended after the last, in a document
// that the result owns. finish() hands them to the engine together with nodes of other documents
// added on the way; the engine's object factory holds that node-set until it resets at the end of
// the transformation or query, so nodes selected out of the result stay valid as long as the
// engine's own. Lets the engine's exceptions through; a builder not finished frees its document.
class ResultFragment
{
public:
    explicit ResultFragment(xalanc::XPathExecutionContext& executionContext);
    ~ResultFragment();

    ResultFragment(const ResultFragment&) = delete;
    ResultFragment& operator=(const ResultFragment&) = delete;

    // Appends the element <name>text</name> in no namespace; empty text leaves it empty.
    void appendElement(const xalanc::XalanDOMChar* name, const xalanc::XalanDOMChar* text,
                       std::size_t length);

    // Appends exsl:<localName> (namespace http://exslt.org/common, declared on it) holding `text`.
    void appendCommonElement(const xalanc::XalanDOMChar* localName,
                             const xalanc::XalanDOMString& text);

    // Appends text; text appended next to text joins the same text node.
    void appendText(const xalanc::XalanDOMChar* text, std::size_t length);

    // Appends a deep copy of `node`: an element with the namespaces in scope on it, text, a
    // comment, a processing instruction, or the children of a document or fragment. Attributes
    // and namespace nodes add nothing.
    void appendCopy(const xalanc::XalanNode& node);

    // Adds a node of another document to the result as it is.
    void addNode(xalanc::XalanNode& node);

    // The appended top-level nodes and the added nodes, in document order, as a node-set. Call
    // once; the builder is spent afterwards.
    xalanc::XObjectPtr finish();

private:
    struct State;

    std::unique_ptr<State> m_state;
};

} // namespace prsm::detail
