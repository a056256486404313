// What the library's definitions of engine members keep on a thread for the transformation
// running on it (engine/xslt/InterposedSpaceStripping.cpp,
// engine/xslt/InterposedTemplateSearch.cpp).
#pragma once

namespace prsm::detail
{

// Each forgets the tables built on this thread for the stylesheet transformed last. Called as
// each transformation starts: a stylesheet freed since may have left its address to another.
void forgetSpaceStripping();
void forgetModeLists();

} // namespace prsm::detail
