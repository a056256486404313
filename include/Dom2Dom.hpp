// A handle on one XML document held in memory, for chained transformations and XPath queries.
#pragma once

#include "PRSMExport.hpp"

#include <iosfwd>
#include <memory>

namespace prsm::detail
{
class HandleState;
struct HandleAccess;
} // namespace prsm::detail

// Made and destroyed only by PRSMXslTransformer::createDom2Dom and destroyDom2Dom. A fresh handle
// is set up exactly once: as an input (parsed XML) or as an output (a tree built in memory, or
// the caller's stream). Every later set-up call returns false and changes nothing. Set-up and
// Serialize let the engine's exceptions through, and throw std::logic_error while the library is
// stopped or once it has been stopped since the handle was made. A handle shares its
// transformer's engine state and limits instead of referring to the transformer, so it may
// outlive the transformer: it works on, and any transformer's destroyDom2Dom destroys it, after
// its own is gone or after the library stopped.
class PRSM_XSLT_API Dom2Dom
{
public:
    Dom2Dom(const Dom2Dom&) = delete;
    Dom2Dom& operator=(const Dom2Dom&) = delete;

    // Parses the NUL-terminated XML text (null reads as empty) during the call, reading it where
    // it lies without copying it; the handle keeps the parsed document, not the text, which the
    // caller may free or change once the call returns. Returns whether a document was parsed;
    // after a failed parse the handle refuses everything and the transformer's getLastError()
    // holds the engine's text.
    bool InitializeInputSource(const char* xmlText);

    // Parses a document read from `in`, with `systemId` (null for none) for relative references.
    bool InitializeInputSource(std::istream& in, const char* systemId);

    // Parses the document that `name` names: a file name, whatever characters it holds, or a
    // URI (file:, or http: and the like when the limits allow the network). Read as the file
    // paths of transformations read their sources, under the same limits.
    bool InitializeInputResource(const char* name);

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
    // The library's internal interface to handles: creation, destruction and the state.
    friend struct prsm::detail::HandleAccess;

    explicit Dom2Dom(std::unique_ptr<prsm::detail::HandleState> state);
    ~Dom2Dom();

    std::unique_ptr<prsm::detail::HandleState> m_state;
};
