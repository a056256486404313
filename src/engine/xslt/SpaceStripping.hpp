// The engine's decision to strip a whitespace node of the source
// (engine/xslt/InterposedSpaceStripping.cpp).
#pragma once

namespace prsm::detail
{

// Forgets the table of the stylesheet that decided last on this thread. Called as each
// transformation starts: a stylesheet freed since may have left its address to another.
void forgetSpaceStripping();

} // namespace prsm::detail
