// saxon:systemId(), which xsltproc also offers and DocBook's stylesheets ask for.
#pragma once

#include "functions/exslt/ExsltModule.hpp"

namespace prsm::detail
{

// systemId() in Saxon 6's namespace http://icl.com/saxon: the URI the document of the context
// node was read from, as the engine resolved it for document() and xml:base; empty for a tree
// built by the stylesheet. DocBook's namespaced stylesheets, which wrap a DocBook 4 document in
// their namespace through exsl:node-set(), give the wrapped root an xml:base from it so that the
// document's relative image and file names still resolve; without it they warn and write those
// names relative to wherever the output goes.
const ExsltModule& saxonModule();

} // namespace prsm::detail
