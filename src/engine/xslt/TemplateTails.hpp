// The engine's template lists, appended to at their end (engine/xslt/InterposedTemplateTables.cpp).
#pragma once

namespace prsm::detail
{

// Forgets the end of the template list remembered on this thread. Called as each compilation
// starts: a list of a compilation that failed must not be taken for one of the next.
void forgetTemplateTails();

} // namespace prsm::detail
