// Bounds that keep hostile documents, stylesheets and expressions from exhausting the host.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What one operation of a transformer may consume, set with PRSMXslTransformer::setLimits. Each
// bound applies to every parse (source files and streams, stylesheets, handle inputs, and every
// document a stylesheet loads through xsl:include, xsl:import or document()), every
// transformation and every query. The defaults protect a host that never sets them. An operation
// that a bound stops fails as that operation fails on any error: a status and a text naming the
// bound. A bound of 0 removes that bound.
struct PRSMXslLimits
{
    // Entity references one parse may expand, nested ones included: a "billion laughs" document
    // is refused here. The parser spends some microseconds on each, so the default refuses one in
    // well under a tenth of a second.
    std::size_t maxEntityExpansions = 10000;

    // How many times its input (the bytes of the document and of its external entities) the
    // text and attribute values of one parsed document may grow once they pass 1,000,000
    // characters: refuses a large entity referenced over and over.
    std::size_t maxAmplification = 10;

    // Element nesting of one parsed document.
    std::size_t maxElementDepth = 5000;

    // Attributes of one element of a parsed document, namespace declarations included. The
    // engine spends time on the square of their number in places where it checks no bound
    // (building the element, copying it), so an element with 50,000 would hold a transformation
    // for seconds past its timeout.
    std::size_t maxAttributes = 10000;

    // Nesting of template instantiations, named or matched, and of dynamic evaluations
    // (dyn:evaluate, dyn:map, xalan:evaluate) in one transformation or query. Above the element
    // nesting, so that any document that parses can be walked by recursive templates.
    std::size_t maxCallDepth = 6000;

    // Nesting of parentheses and predicates in one XPath expression, those that dynamic
    // evaluation compiles from strings included. An expression is also
    // refused when the stack left on the calling thread could not hold its evaluation.
    std::size_t maxExpressionDepth = 256;

    // Wall-clock seconds one operation may run.
    double timeoutSeconds = 0;

    // Megabytes by which the process's resident memory may grow during one operation.
    std::size_t maxMemoryMegabytes = 0;

    // Timers the process-wide timer table may hold when a transformation of this transformer
    // adds one (TimerCreate, or a first use of an id).
    std::size_t maxTimers = 100000;

    // Whether resources that documents and stylesheets name (external DTDs and entities,
    // document(), xsl:include, xsl:import) may come from the network. Refused by default: a
    // refused resource is never contacted. Files named by the host itself are never refused.
    bool allowNetwork = false;

    // Whether parsed documents may carry a document type declaration. False refuses every
    // DTD, and with it every entity and every defaulted attribute.
    bool allowDtd = true;

    // Folders whose files (and the files below them) resources may be read from; empty allows
    // every local file.
    std::vector<std::string> allowedDirectories;

    // Whether parsed documents are processed for XInclude 1.0 (sources, handle inputs and what
    // document() loads; not stylesheets): each xi:include element is replaced by the document,
    // the element of it that its xpointer selects, or the text it names, or by its xi:fallback
    // when that cannot be read. Included resources obey every other field here, count towards
    // the bounds of the document that includes them, and may nest 40 levels deep; an inclusion
    // inside its own inclusion is refused as a loop.
    bool processXInclude = false;

    // Which XML catalogs (OASIS XML Catalogs) map the public and system identifiers and URIs of
    // those resources to local copies before the rules above are applied: System takes those
    // xsltproc takes (the files or file: URLs of XML_CATALOG_FILES, separated by spaces, when it
    // is set, else /etc/xml/catalog), Listed takes catalogFiles in order, None takes none.
    // allowedDirectories also bounds what a catalog maps to, except the files that its public,
    // system and uri entries name. A missing or malformed catalog is passed over with a warning.
    enum class Catalogs
    {
        System,
        Listed,
        None
    };
    Catalogs catalogs = Catalogs::System;
    std::vector<std::string> catalogFiles;

    // Whether each identifier that a catalog maps is told to the message sink, as a warning
    // naming the identifier and the file it maps to.
    bool reportCatalogResolutions = false;
};
