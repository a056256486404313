// Where a stylesheet's secondary result documents (exsl:document) may go.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

// One secondary result document, as a document handler and a written-document observer see it.
struct PRSMXslResultDocument
{
    std::string href;     // as the stylesheet computed it, UTF-8
    std::string path;     // href resolved against the base output folder, made absolute
    std::string method;   // "xml", "html" or "text"; empty until the first element decides it
    std::string encoding; // as the stylesheet gave it; empty for the writer's default
};

// Gives the stream one document is written to, or null to refuse it (the transformation then
// fails naming the document). The host owns the stream; it must stay valid until the
// transformation returns. The document is complete once the observer has seen it.
using PRSMXslDocumentHandler = std::function<std::ostream*(const PRSMXslResultDocument&)>;

// Told of each document once it is complete (renamed into place, or flushed to the handler's
// stream), in the order they complete.
using PRSMXslDocumentObserver = std::function<void(const PRSMXslResultDocument&)>;

// What exsl:document may write, set per transformer with PRSMXslTransformer::setWritePolicy.
// The default refuses every document: writing files is a capability the host grants.
struct PRSMXslWritePolicy
{
    // Folders (UTF-8 paths) under which documents may be written as files; empty refuses every
    // file. A document whose path, after "." and ".." and every symbolic link of its existing
    // folders are resolved, lies outside all of them is refused; so is a relative href whose
    // base output folder lies outside them. "/" allows every path, as xsltproc does.
    std::vector<std::string> writableFolders;

    // The folder relative hrefs resolve against on the stream and in-memory paths; empty for
    // the current folder. The file path resolves them against the result file's folder.
    std::string baseFolder;

    // Whether folders missing below a writable folder may be created (with the umask's mode).
    bool mayCreateFolders = true;

    // When set, every document goes to the stream it gives instead of a file, and
    // writableFolders is not consulted: for a host without a writable disk.
    PRSMXslDocumentHandler handler;

    // When set, told of each completed document.
    PRSMXslDocumentObserver observer;
};
