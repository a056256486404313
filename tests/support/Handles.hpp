// Document handles that give themselves back to their transformer, for tests.
#pragma once

#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"

#include <ostream>
#include <sstream>
#include <string>

namespace prsm::test
{

// Owns one handle of `transformer` and destroys it through destroyDom2Dom.
class Handle
{
public:
    explicit Handle(PRSMXslTransformer& transformer)
        : m_transformer(transformer), m_handle(transformer.createDom2Dom())
    {
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { m_transformer.destroyDom2Dom(m_handle); }

    Dom2Dom& operator*() const { return *m_handle; }
    Dom2Dom* operator->() const { return m_handle; }

    // What Serialize writes, every byte of it.
    std::string serialized() const
    {
        std::ostringstream out;
        m_handle->Serialize(out);
        return out.str();
    }

private:
    PRSMXslTransformer& m_transformer;
    Dom2Dom* m_handle;
};

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
