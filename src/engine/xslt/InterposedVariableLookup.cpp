// The engine's lookup of a variable reference, with the top-level variables found by their name's
// hash, for the whole process.
//
// The engine finds the value of $name (VariablesStack::findEntry, xalanc/XSLT/VariablesStack.cpp)
// by walking its stack of variables from the top, comparing each name through two virtual calls:
// the current template's variables and parameters down to its frame, then, for a reference to a
// top-level variable, every top-level variable and parameter from the last declared down to the
// first. DocBook's HTML stylesheets declare some 1,000 of those and read them everywhere
// ($generate.toc, $html.ext), so a tenth of a book's transformation went into that walk. The
// engine calls the member through its procedure linkage table, so the library's definition below
// is the one it runs, as with the other interposed members
// (engine/xpath/InterposedDocumentOrder.cpp): its walk of the template's frame is the engine's,
// with the local parts compared first; the top-level part, once the engine has marked it complete
// (VariablesStack::markGlobalStackFrame, interposed too), is looked up in a table of (name hash,
// position) built on the first lookup, which gives the position the walk would: the highest that
// holds a variable of that name, below the nearest frame marker. The table is the calling thread's
// and serves the one stack it was built for; marking a frame, which every transformation does on
// its own thread before it reads a top-level variable, discards it.
#pragma GCC visibility push(default)
#include <xalanc/XPath/XalanQName.hpp>
#include <xalanc/XSLT/VariablesStack.hpp>
#pragma GCC visibility pop

#include "engine/xslt/EngineMembers.hpp"
#include "platform/EngineText.hpp"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace
{

using prsm::detail::isSameText;
using prsm::detail::viewOf;
using xalanc::VariablesStack;
using xalanc::XalanQName;
using Entry = VariablesStack::StackEntry;
using Stack = VariablesStack::VariableStackStackType;
using Index = VariablesStack::size_type;

PRSM_ENGINE_MEMBER(EntriesOf, VariablesStack, Stack, m_stack);
PRSM_ENGINE_MEMBER(GlobalEndOf, VariablesStack, Index, m_globalStackFrameIndex);
PRSM_ENGINE_MEMBER(GlobalMarkedOf, VariablesStack, bool, m_globalStackFrameMarked);

std::size_t nameHash(const XalanQName& name)
{
    return prsm::detail::nameHash(viewOf(name.getNamespace()), viewOf(name.getLocalPart()));
}

// XalanQName::equals with one virtual call for most names: `local` is the local part of `name`.
bool isNamed(const Entry& entry, const XalanQName& name, std::u16string_view local)
{
    const XalanQName& entryName = *entry.getName();
    return isSameText(viewOf(entryName.getLocalPart()), local) &&
           isSameText(viewOf(entryName.getNamespace()), viewOf(name.getNamespace()));
}

// The top-level variables of one stack: (name hash, position), by hash, the higher position
// first among equal hashes.
struct GlobalTable
{
    const VariablesStack* stack = nullptr;
    Index end = 0;
    std::vector<std::pair<std::size_t, Index>> positions;
};
thread_local GlobalTable t_globals;

bool byHashThenHigher(const std::pair<std::size_t, Index>& one,
                      const std::pair<std::size_t, Index>& other)
{
    return one.first != other.first ? one.first < other.first : one.second > other.second;
}

const GlobalTable& globalsOf(const VariablesStack& stack, const Stack& entries, Index end)
{
    if (t_globals.stack == &stack && t_globals.end == end)
        return t_globals;
    t_globals.stack = &stack;
    t_globals.end = end;
    t_globals.positions.clear();
    for (Index i = end - 1; i > 0; --i)
    {
        const Entry& entry = entries[i];
        if (entry.getType() == Entry::eContextMarker)
            break;
        if (entry.getType() == Entry::eVariable)
            t_globals.positions.emplace_back(nameHash(*entry.getName()), i);
    }
    std::sort(t_globals.positions.begin(), t_globals.positions.end(), byHashThenHigher);
    return t_globals;
}

} // namespace

namespace XALAN_CPP_NAMESPACE
{

VariablesStack::size_type VariablesStack::findEntry(const XalanQName& qname, bool fIsParam,
                                                    bool fSearchGlobalSpace)
{
    Stack& entries = this->*memberOf(EntriesOf());
    const Index notFound = Index(entries.size());
    const std::u16string_view local = viewOf(qname.getLocalPart());
    // A context marker at the bottom of the stack ends every walk at 1.
    for (Index i = getCurrentStackFrameIndex() - 1; i > 0; --i)
    {
        StackEntry& entry = entries[i];
        const StackEntry::eType type = entry.getType();
        if (type == StackEntry::eVariable || type == StackEntry::eActiveParam)
        {
            if (isNamed(entry, qname, local))
                return i;
        }
        else if (type == StackEntry::eParam)
        {
            if (fIsParam && isNamed(entry, qname, local))
            {
                entry.activate();
                return i;
            }
        }
        else if (type == StackEntry::eContextMarker)
            break;
    }
    const Index globalEnd = this->*memberOf(GlobalEndOf());
    if (fIsParam || !fSearchGlobalSpace || globalEnd <= 1)
        return notFound;
    if (this->*memberOf(GlobalMarkedOf()))
    {
        const GlobalTable& globals = globalsOf(*this, entries, globalEnd);
        const std::pair<std::size_t, Index> first(nameHash(qname), notFound);
        for (auto at = std::lower_bound(globals.positions.begin(), globals.positions.end(), first,
                                        byHashThenHigher);
             at != globals.positions.end() && at->first == first.first; ++at)
            if (isNamed(entries[at->second], qname, local))
                return at->second;
        return notFound;
    }
    for (Index i = globalEnd - 1; i > 0; --i)
    {
        const StackEntry& entry = entries[i];
        if (entry.getType() == StackEntry::eVariable)
        {
            if (isNamed(entry, qname, local))
                return i;
        }
        else if (entry.getType() == StackEntry::eContextMarker)
            break;
    }
    return notFound;
}

void VariablesStack::markGlobalStackFrame()
{
    using Engine = void (*)(VariablesStack*);
    static const Engine engine =
        engineDefinition<Engine>("_ZN11xalanc_1_1214VariablesStack20markGlobalStackFrameEv");
    t_globals.stack = nullptr;
    engine(this);
}

} // namespace XALAN_CPP_NAMESPACE
