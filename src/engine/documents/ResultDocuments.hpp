// The secondary result documents of one transformation, under the transformer's write policy.
#pragma once

#include "PRSMXslWritePolicy.hpp"
#include "engine/documents/DocumentFormat.hpp"

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xercesc/sax/Locator.hpp>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace XALAN_CPP_NAMESPACE
{
class FormatterListener;
class StylesheetExecutionContext;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

class DocumentListener;
class DocumentSink;

// Opens each document where the policy lets it go, refuses a second document at a path this
// transformation already wrote, and completes documents innermost first. Documents completed
// stay when the transformation later fails; those still open then are dropped whole.
class ResultDocuments
{
public:
    // `mainResult` is the main result file, or empty when the result goes elsewhere: relative
    // hrefs resolve against its folder, else against the policy's base folder, and no document
    // may replace it. `policy` must outlive this.
    ResultDocuments(const PRSMXslWritePolicy& policy, std::string mainResult);
    ResultDocuments(const ResultDocuments&) = delete;
    ResultDocuments& operator=(const ResultDocuments&) = delete;
    ~ResultDocuments();

    // Opens the document `href` in `format` and returns where its content goes, valid until
    // close(). Throws DocumentException naming the document and placed at `locator`.
    xalanc::FormatterListener& open(const std::u16string& href, const DocumentFormat& format,
                                    const xalanc::StylesheetExecutionContext& context,
                                    const xercesc::Locator* locator);

    // Completes the innermost open document: a file is moved into place whole. Throws
    // DocumentException naming the document.
    void close(const xercesc::Locator* locator);

private:
    struct Open;

    [[noreturn]] void refuse(const std::string& href, const std::string& why,
                             const xercesc::Locator* locator) const;

    const PRSMXslWritePolicy& m_policy;
    std::string m_mainResult;
    std::string m_base; // absolute; found at the first document
    std::set<std::string> m_paths;
    std::vector<std::unique_ptr<Open>> m_open;
};

// Implemented by an execution context that runs transformations with secondary documents.
class DocumentHost
{
public:
    // The documents of the running transformation, or null outside one.
    virtual ResultDocuments* resultDocuments() const = 0;

protected:
    ~DocumentHost() = default;
};

} // namespace prsm::detail
