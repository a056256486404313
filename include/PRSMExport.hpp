// Marks the library's public interface; everything else is built with hidden visibility.
#pragma once

// Classes the host derives from (QxXsltFunction) or catches (ZBLAssertError) carry this mark
// too: a hidden typeinfo would be duplicated in the host, and its catch clauses would miss.
#define PRSM_XSLT_API __attribute__((visibility("default")))
