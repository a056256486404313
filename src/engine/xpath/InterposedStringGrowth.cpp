// The engine's string appends, growing a string by half when it runs out of room, for the whole
// process.
//
// XalanDOMString::append (xalanc/XalanDOM/XalanDOMString.cpp) inserts before the string's
// terminator through XalanVector::insert (xalanc/Include/XalanVector.hpp), which reallocates a
// full vector to exactly the new length and copies it whole. A string built piece by piece costs
// the square of its length: the string value of a document of 50,000 text nodes (string(/),
// normalize-space(), a variable's value) took seconds where xsltproc takes milliseconds. The
// definitions below give a string that already holds text room for half again its new length,
// then run the engine's own append, found behind the library (as InterposedDocumentOrder.cpp
// does); a first append still takes exactly what it needs, so strings made in one piece keep
// their size. The engine's fix: grow in XalanVector::insert as push_back does.
#pragma GCC visibility push(default)
#include <xalanc/XalanDOM/XalanDOMString.hpp>
#pragma GCC visibility pop

#include "engine/xslt/EngineMembers.hpp"

namespace
{

using xalanc::XalanDOMString;
using size_type = XalanDOMString::size_type;

void makeRoom(XalanDOMString& string, size_type more)
{
    if (string.empty() || more == 0)
        return;
    const size_type needed = string.length() + more;
    if (needed > string.capacity())
        string.reserve(needed + needed / 2);
}

} // namespace

namespace XALAN_CPP_NAMESPACE
{

XalanDOMString& XalanDOMString::append(const XalanDOMChar* theString, size_type theCount)
{
    using Append = XalanDOMString& (*)(XalanDOMString*, const XalanDOMChar*, size_type);
    static const Append engine =
        engineDefinition<Append>("_ZN11xalanc_1_1214XalanDOMString6appendEPKDsm");
    makeRoom(*this, theCount == size_type(npos) ? length(theString) : theCount);
    return engine(this, theString, theCount);
}

XalanDOMString& XalanDOMString::append(const char* theString, size_type theCount)
{
    using Append = XalanDOMString& (*)(XalanDOMString*, const char*, size_type);
    static const Append engine =
        engineDefinition<Append>("_ZN11xalanc_1_1214XalanDOMString6appendEPKcm");
    // Transcoded text has at most as many characters as the bytes it comes from.
    makeRoom(*this, theCount == size_type(npos) ? length(theString) : theCount);
    return engine(this, theString, theCount);
}

XalanDOMString& XalanDOMString::append(size_type theCount, XalanDOMChar theChar)
{
    using Append = XalanDOMString& (*)(XalanDOMString*, size_type, XalanDOMChar);
    static const Append engine =
        engineDefinition<Append>("_ZN11xalanc_1_1214XalanDOMString6appendEmDs");
    makeRoom(*this, theCount);
    return engine(this, theCount, theChar);
}

} // namespace XALAN_CPP_NAMESPACE
