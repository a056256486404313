# Fails when the shared library exports anything beyond its public interface.
execute_process(COMMAND nm -D --defined-only -C ${LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(allowed
    "^(typeinfo( name)? for |vtable for |non-virtual thunk to )?(I18N|ZBL|KelMdMessage|QxXsltFunction|PRSMXslTransformer|PRSMXslLimits|PRSMXslFailure|Dom2Dom|QXXslTransformer_|operator(\\+|<|==|!=)\\(I18NString)"
    # Instantiations of standard and engine templates are weak and harmless to share.
    "^(typeinfo( name)? for |vtable for )?(std::|__gnu_cxx::|xalanc_1_12::Xalan|void std::|bool std::)"
    # ... also those that return a reference to a built-in type (vector<size_t>::emplace_back).
    "^(unsigned |signed )?(char|short|int|long|long long|double|float)[&*] std::"
    "^(_init|_fini|_edata|_end|__bss_start)$"
    # The engine's two number-to-text conversions, replaced so that large numbers cannot overrun
    # the engine's buffer (src/platform/InterposedNumberToString.cpp); the engine must find these definitions.
    "^xalanc_1_12::(NumberToDOMString\\(double|DOMStringHelper::NumberToCharacters\\(double)"
    # The engine's insertion in document order, replaced so that a document node goes before
    # its own nodes (src/engine/xpath/InterposedDocumentOrder.cpp).
    "^xalanc_1_12::MutableNodeRefList::addNodeInDocOrder\\("
    # The engine's sibling axes, stopped once a numbered predicate has its nodes
    # (src/engine/xpath/InterposedSiblingSteps.cpp).
    "^xalanc_1_12::XPath::find(Following|Preceeding)Siblings\\("
    # The engine's match of pattern steps that select by position, the step's nodes from a parent
    # found once
    # (src/engine/xpath/InterposedPositionalPatterns.cpp).
    "^xalanc_1_12::XPath::handleFoundIndex\\("
    # The engine's match of a pattern, no node matching nothing
    # (src/engine/xpath/InterposedMatchScore.cpp).
    "^xalanc_1_12::XPath::getMatchScore\\(xalanc_1_12::XalanNode\\*, xalanc_1_12::PrefixResolver"
    # The engine's string appends, grown by half (src/engine/xpath/InterposedStringGrowth.cpp).
    "^xalanc_1_12::XalanDOMString::append\\("
    # The engine's template tables, built in linear time (src/engine/xslt/InterposedTemplateTables.cpp).
    "^xalanc_1_12::Stylesheet::(addTemplate|postConstruction)\\("
    # The engine's template search, through the patterns of the current mode
    # (src/engine/xslt/InterposedTemplateSearch.cpp).
    "^xalanc_1_12::Stylesheet::findTemplate\\("
    # The engine's whitespace stripping decision, made from the element's names read once
    # (src/engine/xslt/InterposedSpaceStripping.cpp).
    "^xalanc_1_12::StylesheetRoot::internalShouldStripSourceNode\\("
    # The engine's variable lookup, top-level names found by hash
    # (src/engine/xslt/InterposedVariableLookup.cpp).
    "^xalanc_1_12::VariablesStack::(findEntry|markGlobalStackFrame)\\(")
set(unexpected "")
foreach(line IN LISTS lines)
    if(line STREQUAL "")
        continue()
    endif()
    string(REGEX REPLACE "^[0-9a-f]+ [A-Za-z] " "" name "${line}")
    set(ok FALSE)
    foreach(pattern IN LISTS allowed)
        if(name MATCHES "${pattern}")
            set(ok TRUE)
        endif()
    endforeach()
    if(NOT ok)
        string(APPEND unexpected "  ${name}\n")
    endif()
endforeach()
if(NOT unexpected STREQUAL "")
    message(FATAL_ERROR "Unexpected exported symbols:\n${unexpected}")
endif()
