// The internal interface through which the transformer makes, reads and destroys handles.
#pragma once

#include <memory>

class Dom2Dom;

namespace prsm::detail
{

class EngineContext;
class HandleState;

struct HandleAccess
{
    // A fresh handle sharing `engine`; the caller owns it. Throws only std::bad_alloc.
    static Dom2Dom* create(std::shared_ptr<EngineContext> engine);
    // Destroys `handle`; null is allowed.
    static void destroy(Dom2Dom* handle) noexcept;
    static HandleState& state(Dom2Dom& handle) noexcept;
};

} // namespace prsm::detail
