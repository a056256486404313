// The transformer: XSLT transformations and XPath queries, and the process-wide start and stop.
#pragma once

#include "PRSMExport.hpp"
#include "PRSMXslFailure.hpp"
#include "ZBLCore.hpp"

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

class Dom2Dom;
class QxXsltFunction;
struct PRSMXslLimits;
struct PRSMXslWritePolicy;

// The namespace URI under which stylesheets call the installed extension functions.
inline constexpr const char kPRSMExtensionNamespace[] = "urn:prsm:xslt-extensions";

// The engine's own extension namespace, under which `nodeset` is offered.
inline constexpr const char kXalanExtensionNamespace[] = "http://xml.apache.org/xalan";

// Starts the parser and the engine on the first outstanding call and counts every call.
// The argument is not read. Returns 0. Lets start-up exceptions through, leaving the count as it
// was. Safe to call from several threads at once.
PRSM_XSLT_API long QXXslTransformer_Initialize(const char* reserved);

// Uncounts one Initialize; the call that balances the last one stops the engine, then the parser.
// A call with nothing outstanding does nothing. The argument is not read. Returns 0. Safe to call
// from several threads at once, and while transformers and handles exist: the stop releases what
// each holds of the engine, and until the next Initialize their calls are refused as the class
// comments say (a handle made before a stop stays refused). No operation of any transformer or
// handle may run on another thread during the call that stops the engine.
PRSM_XSLT_API long QXXslTransformer_Terminate(const char* reserved);

// One xsl:message or engine warning of a transformation, as a message sink receives it.
struct PRSMXslMessage
{
    enum class Kind
    {
        Message,
        Warning
    };
    Kind kind;
    std::string text;     // UTF-8
    std::string location; // the stylesheet or document it comes from, empty where unknown
    long long line;       // -1 where unknown
    long long column;     // -1 where unknown
};

using PRSMXslMessageSink = std::function<void(const PRSMXslMessage&)>;

// How a transformation came by its compiled stylesheet, for tools that report where time goes.
struct PRSMXslStylesheetUse
{
    bool isReused = false;       // a stylesheet compiled before was used again
    double compileSeconds = 0.0; // time spent compiling; 0 when reused
};

// A stylesheet held in memory, for the transformations that take one instead of a file.
struct PRSMXslStylesheetText
{
    // The stylesheet's XML, in UTF-8 or in the encoding its declaration names.
    std::string xml;
    // The URI that its relative xsl:include, xsl:import and document() references resolve
    // against, and that its failures name; empty for the current folder.
    std::string baseUri;
};

// Compiled stylesheets are kept for reuse by every transformer of the process, one per stylesheet
// file, while the file keeps its modification time and size; a stylesheet that fails to compile
// is never kept. Sets how many are kept, least recently used out first (64 by default); 0 switches
// reuse off. Safe to call from any thread.
PRSM_XSLT_API void QXXslTransformer_SetStylesheetCacheSize(std::size_t entries);

// Forgets every kept stylesheet, for instance after rewriting one within one clock tick; the next
// use compiles it again. Safe to call from any thread. The last Terminate does the same.
PRSM_XSLT_API void QXXslTransformer_ClearStylesheetCache();

// Runs XSLT 1.0 transformations with string parameters and extension functions, and XPath queries
// over in-memory documents.
//
// Statuses, each with the PRSMXslFailureKind that lastFailure() gives it:
//   0    success (None).
//   -1   the engine's XSLException: a stylesheet or expression that does not compile
//        (Stylesheet), an error while transforming or evaluating, xsl:message terminate="yes"
//        included (Runtime), a refusal by the limits (Limit), a result file that cannot be
//        written (Output), a transformation started from a host function on its own
//        transformer (Usage).
//   -2   the parser's SAXParseException or SAXException: a document or stylesheet that does not
//        parse or is missing (Source, or Stylesheet for a stylesheet and its modules), or a
//        parse refused by the limits (Limit).
//   -3   the parser's XMLException: as -2.
//   -4   the engine's XalanDOMException: a result a tree output cannot hold (Output).
//   -5   any other exception, on the paths that catch everything: a host's extension function
//        or message sink threw (Host, its message kept by lastFailure()); and on every path,
//        memory that ran out (Runtime), with a text that begins "Out of memory".
//   kNoSourceStatus, kNoDocumentStatus, kNoTargetStatus, kNotInitializedStatus below (Usage).
//   A handle input's own parse status, returned again by every operation on that handle (the
//   kind of that parse's failure).
//
// Create between QXXslTransformer_Initialize and _Terminate. Calls on one transformer and its
// handles must not overlap; separate transformers are independent.
//
// Two kinds of operation: set-up, file and stream transformations and handle set-up let every
// exception through; the in-memory transformation and doXPath catch everything, store a report
// that getLastError() returns, and answer with a status of -1 to -5.
//
// Nothing is written to the host's standard streams: engine warnings and xsl:message output are
// discarded, and parse errors reach the host only through statuses and getLastError().
//
// Every operation runs under the transformer's limits (PRSMXslLimits.hpp), so hostile input
// fails like any other bad input. The constructor, the destructor, getLastError and the table and
// limit setters work at any time; every other call needs the library started: the pass-through
// ones throw std::logic_error otherwise, the reporting ones return kNotInitializedStatus.
class PRSM_XSLT_API PRSMXslTransformer
{
public:
    // A transformer with its own engine and the eight built-in functions installed.
    PRSMXslTransformer();
    ~PRSMXslTransformer();

    PRSMXslTransformer(const PRSMXslTransformer&) = delete;
    PRSMXslTransformer& operator=(const PRSMXslTransformer&) = delete;

    // The last failure text: the report of the last failed in-memory transformation or query once
    // there has been one (later successes leave it in place), else the engine's own last error.
    // Owned by the transformer; valid until the next operation on it.
    const char* getLastError();

    // What the last operation of this transformer or of its handles came to, on every path:
    // file, stream and in-memory transformations, queries and handle parses; an empty account
    // (kind None, status 0) after a success. Unlike getLastError, a success clears it, so it
    // always describes the last operation. Set-up calls (parameters, functions, limits) and the
    // handle factory leave it alone.
    PRSMXslFailure lastFailure() const;

    // Adds or replaces the extension function `name` in the system's extension namespace. The
    // table keeps a clone(); the caller's object may go right after the call. Throws
    // std::invalid_argument if clone() returns null.
    void installExternalFunction(const I18NString& name, const QxXsltFunction& function);

    // Sets the stylesheet parameter `name` to the string `value`, for this and later
    // transformations. The value is passed as an XPath string literal in apostrophes; an
    // apostrophe inside it is not escaped and ends the literal, and a value that then does not
    // compile fails each transformation with the engine's text. Throws std::invalid_argument for
    // an empty name.
    void setStylesheetParam(const I18NString& name, const I18NString& value);

    // Sets the stylesheet parameter `name` to exactly the string `value` (UTF-8), whatever it
    // holds: apostrophes, quotation marks and XPath syntax are text, never evaluated, as
    // prsm-xslt's --stringparam. Replaces what any setter stored under that name. Throws
    // std::invalid_argument for an empty name.
    void setStylesheetParamString(const I18NString& name, const I18NString& value);

    // Sets the stylesheet parameter `name` to the value of the XPath expression `expression`,
    // evaluated when each transformation starts ("2 + 3", "'text'", "/doc/@id"), replacing what
    // either setter stored under that name. An expression that does not compile fails the
    // transformations that use it.
    void setStylesheetParamExpression(const I18NString& name, const I18NString& expression);

    // Delivers every xsl:message and engine warning of later transformations, on every path, to
    // `sink`, in order and on the calling thread; an empty sink (the default) discards them.
    // An exception from the sink ends that transformation as a failure of the engine would.
    void setMessageSink(PRSMXslMessageSink sink);

    // Whether later transformations accept, as xsltproc does, what the engine refuses in a
    // stylesheet written for xsltproc: an attribute that XSLT 1.0 does not define on an XSLT
    // element of a version 1.0 stylesheet (<xsl:otherwise test="...">) is then ignored, with a
    // warning to the message sink. Its results then read as xsltproc's too: numbers that are no
    // integers are written rounded to 15 significant digits (20.736, not 20.735999999999997),
    // the keys of an xsl:sort without lang are ordered by code point, and the namespaces that a
    // module excludes stay excluded in the modules included after it. False (the default)
    // keeps the engine's strictness, which ends such a transformation as a stylesheet error, and
    // its ICU collation; numbers are then written in the fewest digits that XPath 1.0 allows.
    void setXsltprocCompatible(bool compatible);

    // How the last file, stream or in-memory transformation came by its stylesheet; all zero
    // before the first and after one that failed before it reached the stylesheet.
    PRSMXslStylesheetUse lastStylesheetUse() const;

    // Replaces the limits of every later operation of this transformer and of its handles.
    void setLimits(const PRSMXslLimits& limits);

    // The limits in force; the defaults of PRSMXslLimits until setLimits.
    const PRSMXslLimits& limits() const;

    // Replaces what exsl:document may write in later transformations (PRSMXslWritePolicy.hpp).
    // Until then it writes nothing: each document fails its transformation with a text naming
    // this setting.
    void setWritePolicy(const PRSMXslWritePolicy& policy);

    // The write policy in force.
    const PRSMXslWritePolicy& writePolicy() const;

    // Compiles the stylesheet file `stylesheet` as doTransform would, transforming nothing, and
    // keeps it for reuse (unless QXXslTransformer_SetStylesheetCacheSize(0) switched reuse off,
    // when it only reports whether the stylesheet compiles): the transformations that follow, by
    // this transformer or by another with the same limits and compatibility on any thread, find
    // it compiled, and one that asks for it while it compiles waits for it. For a host that knows
    // its stylesheet before its documents, to compile on one thread while it parses on another.
    // Returns 0 or the engine's status with its text in getLastError(); a stylesheet that fails
    // is not kept, so the transformation reports the failure again. Lets other exceptions
    // through.
    int prepareStylesheet(const I18NString& stylesheet);

    // Transforms the file `source` by the stylesheet file `stylesheet` into the file `result`.
    // Returns 0 on success or the engine's nonzero status, -5 when memory ran out; the engine's
    // text is then in getLastError() while no in-memory report is stored. A source that does not
    // parse returns before the result file is created. An empty `source` returns kNoSourceStatus,
    // creates nothing and leaves getLastError() as it was. Lets other exceptions through.
    int doTransform(const I18NString& source, const I18NString& stylesheet,
                    const I18NString& result);

    // Transforms the document read from `source` into `result`, then writes one NUL character,
    // also after a failed transformation. A source that does not parse returns before anything
    // is written. Returns 0 or the engine's nonzero status, -5 when memory ran out. Lets other
    // exceptions through.
    int doTransform(std::istream& source, const I18NString& stylesheet, std::ostream& result);

    // As the stream doTransform above, with a stylesheet held in memory. A text is kept for reuse
    // as a file is, by its content and base URI: the same text compiles once while its modules
    // stay unchanged. Lets exceptions through.
    int doTransform(std::istream& source, const PRSMXslStylesheetText& stylesheet,
                    std::ostream& result);

    // Transforms the document held by `source` into the target of `result`, both made by this
    // transformer. Never throws: returns 0, the input's own parse status, kNoDocumentStatus or
    // kNoTargetStatus for a misused handle (passing one handle as both is such a misuse),
    // kNotInitializedStatus, or -1 to -5 with a report in getLastError(); a report of the engine
    // names the stylesheet, line and column where it knows them.
    int doTransform(Dom2Dom& source, const I18NString& stylesheet, Dom2Dom& result);

    // As the handle doTransform above, with a stylesheet held in memory, kept for reuse by
    // content as the stream overload says. Never throws.
    int doTransform(Dom2Dom& source, const PRSMXslStylesheetText& stylesheet, Dom2Dom& result);

    // Evaluates `expression` over the document of `doc` and writes a single selected node as XML
    // or a string result as text; other results write nothing. Never throws: returns 0, the
    // input's parse status, kNoDocumentStatus, kNotInitializedStatus, or -1 to -5 with a report in
    // getLastError().
    // The installed extension functions are not offered to the expression: a query reads the
    // document and nothing else, so it can run any number of times without side effects (the
    // timers) and without the transformer's functions outliving a transformation.
    int doXPath(Dom2Dom& doc, const I18NString& expression, std::ostream& out);

    // As doXPath, but writes every kind of result: a number or boolean as its XPath string, a
    // node-set as one node per line (an element as XML, an attribute as name="value", other
    // nodes as their string value), an empty node-set as nothing. Same statuses as doXPath.
    int doXPathAll(Dom2Dom& doc, const I18NString& expression, std::ostream& out);

    // A new, fresh handle bound to this transformer; the caller owns it until destroyDom2Dom
    // (or holds it in a ScopedDom2Dom). The handle may outlive the transformer (see Dom2Dom).
    Dom2Dom* createDom2Dom();

    // Destroys the handle (null is allowed), whichever transformer made it, and sets the caller's
    // pointer to null.
    void destroyDom2Dom(Dom2Dom*& document);

    // Status of a file transformation given an empty source file name.
    static constexpr int kNoSourceStatus = -10;
    // Status of an in-memory operation whose input handle holds no document: a fresh handle, a
    // stream output, or a tree output that no transformation has written an element into.
    static constexpr int kNoDocumentStatus = -11;
    // Status of an in-memory transformation whose output handle is not an output.
    static constexpr int kNoTargetStatus = -12;
    // Status of an in-memory operation while the library is not started, or on a handle made
    // before the library was last stopped.
    static constexpr int kNotInitializedStatus = -13;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

// Holds one QXXslTransformer_Initialize for its own lifetime and balances it with
// QXXslTransformer_Terminate when it goes. Lets start-up exceptions through.
class ScopedXslLibrary
{
public:
    ScopedXslLibrary() { QXXslTransformer_Initialize(nullptr); }
    ScopedXslLibrary(const ScopedXslLibrary&) = delete;
    ScopedXslLibrary& operator=(const ScopedXslLibrary&) = delete;
    ~ScopedXslLibrary() { QXXslTransformer_Terminate(nullptr); }
};

// Owns one handle of a transformer and gives it back through that transformer's destroyDom2Dom
// when it goes, so the transformer must outlive this holder (the handle itself need not). Lets
// createDom2Dom's exceptions through.
class ScopedDom2Dom
{
public:
    explicit ScopedDom2Dom(PRSMXslTransformer& transformer)
        : m_transformer(transformer), m_handle(transformer.createDom2Dom())
    {
    }
    ScopedDom2Dom(const ScopedDom2Dom&) = delete;
    ScopedDom2Dom& operator=(const ScopedDom2Dom&) = delete;
    ~ScopedDom2Dom() { m_transformer.destroyDom2Dom(m_handle); }

    Dom2Dom& operator*() const { return *m_handle; }
    Dom2Dom* operator->() const { return m_handle; }
    Dom2Dom* get() const { return m_handle; }

private:
    PRSMXslTransformer& m_transformer;
    Dom2Dom* m_handle;
};
