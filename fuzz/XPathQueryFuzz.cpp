// Fuzzes XPath queries: any bytes as an expression over one fixed document.
#include "Dom2Dom.hpp"
#include "FuzzSession.hpp"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace
{

const char kDocument[] =
    "<?xml version='1.0'?><catalogue xmlns='urn:c' xmlns:x='urn:x' region='north'>"
    "<item id='1' x:tag='a'><name>Tea</name><price>3.50</price></item>"
    "<item id='2'><name>Caf\xC3\xA9</name><price>2</price><!-- note --></item>"
    "<?pi data?><x:extra>text<b>bold</b> tail</x:extra></catalogue>";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PRSMXslTransformer& transformer = prsm::fuzz::transformer();
    static ScopedDom2Dom& document = []() -> ScopedDom2Dom&
    {
        static ScopedDom2Dom handle(prsm::fuzz::transformer());
        handle->InitializeInputSource(kDocument);
        return handle;
    }();
    const std::string expression(reinterpret_cast<const char*>(data), size);
    std::ostringstream out;
    transformer.doXPath(*document, expression.c_str(), out);
    return 0;
}
