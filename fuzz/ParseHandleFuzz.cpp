// Fuzzes the parse of a handle's input: any bytes as a document, then a walk over what parsed.
#include "Dom2Dom.hpp"
#include "FuzzSession.hpp"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PRSMXslTransformer& transformer = prsm::fuzz::transformer();
    const std::string text(reinterpret_cast<const char*>(data), size);
    ScopedDom2Dom handle(transformer);
    if (handle->InitializeInputSource(text.c_str()))
    {
        std::ostringstream out;
        transformer.doXPath(*handle, "count(//node()) + count(//@*)", out);
        transformer.doXPath(*handle, "/*", out);
    }
    return 0;
}
