// What the engines of one transformer keep from one transformation to the next.
#pragma once

#include "engine/parse/ParserLiaison.hpp"
#include "engine/xslt/EngineTables.hpp"

#include <xalanc/XPath/XObjectFactoryDefault.hpp>
#include <xalanc/XPath/XPathFactoryBlock.hpp>
#include <xalanc/XSLT/XSLTProcessorEnvSupportDefault.hpp>

#include <cstdint>
#include <vector>

namespace prsm::detail
{

class GuardedExecutionContext;
class IdleReader;

// The parser, DOM support, environment and factories that every engine of one transformer runs
// with, in the roles the engine's own transformer gives them, and the transformer's functions
// installed in the environment. They are made once, because making them and installing the
// functions costs about as much as a small transformation; each engine leaves them as it found
// them: no document, object or expression of its transformation stays behind. One engine at a
// time. Members are declared in construction order, so each goes before what it refers to.
class EngineSupport
{
public:
    EngineSupport(xalanc::MemoryManager& manager, GuardedExecutionContext& context,
                  IdleReader& idleReader);
    EngineSupport(const EngineSupport&) = delete;
    EngineSupport& operator=(const EngineSupport&) = delete;
    ~EngineSupport();

    // Installs the functions of `tables`, in ascending name order, unless this revision of them
    // is installed already; a function that left the table leaves the environment.
    void installFunctions(const EngineTables& tables);

    // Marks the support as lent to an engine; false when it is lent already (a host function
    // starting a transformation on the transformer running it), and then it stays lent as it was.
    bool lend()
    {
        const bool wasLent = m_isLent;
        m_isLent = true;
        return !wasLent;
    }
    void takeBack() { m_isLent = false; }

    xalanc::MemoryManager& manager() const { return m_manager; }
    ParserLiaison& liaison() { return m_liaison; }
    DocumentSupport& domSupport() { return m_domSupport; }
    xalanc::XSLTProcessorEnvSupportDefault& envSupport() { return m_envSupport; }
    xalanc::XObjectFactoryDefault& objectFactory() { return m_objectFactory; }
    xalanc::XPathFactoryBlock& xpathFactory() { return m_xpathFactory; }
    GuardedExecutionContext& context() { return m_context; }

private:
    xalanc::MemoryManager& m_manager;
    ParserLiaison m_liaison;
    DocumentSupport m_domSupport;
    xalanc::XSLTProcessorEnvSupportDefault m_envSupport;
    xalanc::XObjectFactoryDefault m_objectFactory;
    xalanc::XPathFactoryBlock m_xpathFactory;
    GuardedExecutionContext& m_context;
    std::vector<I18NString> m_installed;
    std::uint64_t m_installedRevision = 0;
    bool m_isLent = false;
};

} // namespace prsm::detail
