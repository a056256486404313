// Respells a lone "/" that an operator follows, which the engine's XPath parser refuses.
#pragma once

#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <cstddef>

namespace prsm::detail
{

// Corrects the engine's XPathProcessorImpl::LocationPath (XPath/XPathProcessorImpl.cpp): after a
// "/" it reads a relative location path whenever any token follows, so the root node alone
// before an operator ("/ | //b", "ancestor::b|/|.", "/ = $x") fails with "The token '|' was
// unexpected", where XPath 1.0 and xsltproc read the root node. Writes into `spelled` the
// expression with each such "/" written "(/)", which the engine reads as the same node, and
// returns true; returns false, leaving `spelled` alone, when the text has none. Text in quotes
// is left as it is. The engine's fix: in LocationPath, read a relative path after "/" only when
// the next token can start a step.
bool respellLoneRoot(const xalanc::XalanDOMChar* text, std::size_t length,
                     xalanc::XalanDOMString& spelled);

} // namespace prsm::detail
