// What the library's definitions of engine members keep for the transformation running
// (engine/xslt/InterposedSpaceStripping.cpp, engine/xslt/InterposedTemplateSearch.cpp,
// engine/xpath/InterposedPositionalPatterns.cpp).
#pragma once

#include <memory>

namespace XALAN_CPP_NAMESPACE
{
class StylesheetExecutionContext;
class XPathExecutionContext;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

// Forgets the table built on this thread for the stylesheet transformed last. Called as each
// transformation starts: a stylesheet freed since may have left its address to another.
void forgetSpaceStripping();

// The patterns of each template list in each mode, made as the transformations of one execution
// context ask for them. Kept by the context rather than the thread: a host function that
// transforms on another transformer while a template is chosen must not change the lists being
// walked.
class ModeLists
{
public:
    ModeLists();
    ~ModeLists();
    ModeLists(const ModeLists&) = delete;
    ModeLists& operator=(const ModeLists&) = delete;

    // Forgets them all, as each transformation starts and ends: a stylesheet freed since may
    // have left its address to another.
    void clear();

    struct Table;
    Table& table() { return *m_table; }

private:
    std::unique_ptr<Table> m_table;
};

// The mode lists of `context`, or null for a context that is not the library's.
ModeLists* modeListsOf(XALAN_CPP_NAMESPACE::StylesheetExecutionContext& context);

// The nodes that pattern steps with a positional predicate give from each parent
// (engine/xpath/InterposedPositionalPatterns.cpp), kept by the context for the transformation
// running, as the mode lists are.
class PositionalSteps
{
public:
    PositionalSteps();
    ~PositionalSteps();
    PositionalSteps(const PositionalSteps&) = delete;
    PositionalSteps& operator=(const PositionalSteps&) = delete;

    // Forgets them all, as each transformation starts and ends.
    void clear();

    struct Table;
    Table& table() { return *m_table; }

private:
    std::unique_ptr<Table> m_table;
};

// The positional steps of `context`, or null for a context that is not the library's.
PositionalSteps* positionalStepsOf(XALAN_CPP_NAMESPACE::XPathExecutionContext& context);

} // namespace prsm::detail
