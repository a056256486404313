// str:tokenize, str:split and str:replace, the EXSLT string functions the engine lacks.
#pragma once

#include "functions/exslt/ExsltModule.hpp"

namespace prsm::detail
{

// The three functions in http://exslt.org/strings. A wrong argument count ends the evaluation
// through the engine's error report.
//
// str:tokenize(string, string?): a node-set of <token> elements, one for each run of characters
// between delimiters, in order. Each character of the second argument is a delimiter (default:
// tab, line feed, carriage return and space), and empty runs give no token; an empty second
// argument gives one token per character.
//
// str:split(string, string?): like str:tokenize, but the whole second argument (default: one
// space) is the delimiter, matched exactly.
//
// str:replace(string, object, object): the first argument with each occurrence of a search
// string replaced by the replacement at the same position, as a node-set of text and copies of
// the replacement nodes. Search strings are the second argument's string, or the string values of
// its nodes; replacements the third argument's string, or its nodes. Scanning from the left, the
// longest search string that matches wins (the first of equal ones); one without a replacement is
// deleted, and the replacement of an empty search string goes between characters left alone.
const ExsltModule& exsltStringsModule();

} // namespace prsm::detail
