// What every inclusion made while one document is parsed shares.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xercesc/sax/InputSource.hpp>
#include <xercesc/sax2/ContentHandler.hpp>
#include <xercesc/sax2/LexicalHandler.hpp>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace prsm::detail
{

class ParseBudget;

// Parses an included document for a session, through the parser front that parses the document
// including it and under the same budget. Implemented by the parser front.
class IncludeParser
{
public:
    // Parses `input` into `content` and `lexical`; `countsInput` says whether the bytes read are
    // new input to the budget (not when the same resource was read before). Lets every exception
    // of the parse through.
    virtual void parseIncluded(const xercesc::InputSource& input, bool countsInput,
                               xercesc::ContentHandler& content,
                               xercesc::LexicalHandler& lexical) = 0;

protected:
    ~IncludeParser() = default;
};

// An inclusion that failed for want of its resource: it was missing or unreadable, was not
// well-formed before anything of it was used, or the pointer selected nothing. XInclude then
// turns to the fallback. Every other problem ends the parse.
class IncludeFailure : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Where an inclusion happens, as the filter at the xi:include element sees it.
struct IncludeSite
{
    std::string url;          // the resource as the document names it, resolved against its base
    std::u16string pointer;   // the xpointer attribute; empty for the whole document
    std::u16string encoding;  // the encoding attribute, for text
    std::u16string fixedBase; // the xml:base to give each top element; empty for none
    std::u16string inheritedDefaultNamespace; // in scope at the xi:include element
};

// Resolves, reads and parses the resources of xi:include elements met while one document is
// parsed, and keeps what makes inclusion safe: the chain of inclusions open (a resource included
// inside its own inclusion is a loop), their nesting, and what each resource brought the first
// time it was read, so that the budget refuses a resource included over and over before it is
// read again. Failures that end the parse are refused through the budget, naming the include.
class XIncludeSession
{
public:
    // The document being parsed, whose URL or path is `url` (as the host named it: a relative
    // one stays relative, so that the xml:base of what it includes reads as xsltproc writes it);
    // `budget` and `parser` must outlive it.
    XIncludeSession(ParseBudget& budget, IncludeParser& parser, const std::string& url);
    XIncludeSession(const XIncludeSession&) = delete;
    XIncludeSession& operator=(const XIncludeSession&) = delete;

    ParseBudget& budget() const { return m_budget; }

    // Where the resource that a document names `url` (resolved against the document's base) is
    // read from: an absolute URL. Every resource of every inclusion is located here.
    std::string location(const std::string& url) const;

    // Parses the resource of `site` (its part that the pointer selects) into `content` and
    // `lexical`. Throws IncludeFailure when XInclude falls back.
    void includeDocument(const IncludeSite& site, xercesc::ContentHandler& content,
                         xercesc::LexicalHandler* lexical);

    // Passes the characters of the resource of `site` to `content`. Throws IncludeFailure when
    // XInclude falls back.
    void includeText(const IncludeSite& site, xercesc::ContentHandler& content);

private:
    // Refuses the resource at `location` when the access policy does not allow it, or when it
    // has been read before and reading it again would pass the amplification bound.
    void admit(const std::string& location);
    std::string readAll(const std::string& location, bool countsInput);

    ParseBudget& m_budget;
    IncludeParser& m_parser;
    const std::string m_folder; // where relative paths are taken from
    // The location and pointer of each inclusion open, the document being parsed first.
    std::vector<std::pair<std::string, std::u16string>> m_open;
    std::unordered_map<std::string, std::uint64_t> m_characters; // by location, of its first read
};

} // namespace prsm::detail
