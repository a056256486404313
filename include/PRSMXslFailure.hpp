// What the last operation of a transformer came to, for hosts that branch on the kind of failure.
#pragma once

#include <string>

// The kinds of failure; a host branches on these, never on the text.
enum class PRSMXslFailureKind
{
    None,       // the operation succeeded
    Usage,      // a misused call or handle: no document, not an output, one handle as both,
                // the library not started, a stale handle, an empty source name
    Source,     // a document that does not parse, a missing file included
    Stylesheet, // a stylesheet or an expression that does not compile, a missing stylesheet
    Runtime,    // an error while transforming or evaluating, xsl:message terminate="yes" included
    Limit,      // a refusal by PRSMXslLimits; the message names the field that refused
    Output,     // a result that cannot be written (an unwritable file, a tree that cannot hold it)
    Host        // an exception from a host's extension function or message sink, its message kept
};

// The last operation of a transformer, as PRSMXslTransformer::lastFailure returns it.
struct PRSMXslFailure
{
    // The status the operation returned: 0 after a success, else one of the statuses documented
    // in PRSMXslTransformer.hpp. An operation that let an exception through records the status it
    // would have returned had it caught it.
    int status = 0;
    PRSMXslFailureKind kind = PRSMXslFailureKind::None;
    // For a person, in UTF-8, without the place: empty after a success.
    std::string message;
    // The stylesheet or document the failure lies in, empty where unknown.
    std::string uri;
    // 1-based place in `uri`; 0 where unknown.
    int line = 0;
    int column = 0;
};

// The name of `kind` as written in this header ("Limit"), for logs.
inline const char* PRSMXslFailureKindName(PRSMXslFailureKind kind)
{
    switch (kind)
    {
    case PRSMXslFailureKind::None:
        return "None";
    case PRSMXslFailureKind::Usage:
        return "Usage";
    case PRSMXslFailureKind::Source:
        return "Source";
    case PRSMXslFailureKind::Stylesheet:
        return "Stylesheet";
    case PRSMXslFailureKind::Runtime:
        return "Runtime";
    case PRSMXslFailureKind::Limit:
        return "Limit";
    case PRSMXslFailureKind::Output:
        return "Output";
    case PRSMXslFailureKind::Host:
        return "Host";
    }
    return "Unknown";
}
