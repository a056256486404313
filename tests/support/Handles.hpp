// Helpers around document handles, for tests.
#pragma once

#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"

#include <ostream>
#include <sstream>
#include <string>

namespace prsm::test
{

using Handle = ScopedDom2Dom;

// What Serialize writes, every byte of it.
inline std::string serialized(const Handle& handle)
{
    std::ostringstream out;
    handle->Serialize(out);
    return out.str();
}

// Serialize's ending: a line end and one NUL.
inline const std::string kLineEndAndNul("\n\0", 2);

// Sets a fresh handle up as `state` says: "input" and "stream input" parse <doc/>, "failed input"
// fails to parse, "tree output", "stream output" (into `sink`), or "fresh" leaves it alone.
// Returns what the set-up call returned.
inline bool setUpAs(Dom2Dom& handle, const std::string& state, std::ostream& sink)
{
    std::istringstream stream("<doc/>");
    if (state == "input")
        return handle.InitializeInputSource("<doc/>");
    if (state == "stream input")
        return handle.InitializeInputSource(stream, "doc.xml");
    if (state == "failed input")
        return handle.InitializeInputSource("<doc>");
    if (state == "tree output")
        return handle.InitializeOutputTarget();
    if (state == "stream output")
        return handle.InitializeOutputTarget(sink);
    return state == "fresh";
}

} // namespace prsm::test
