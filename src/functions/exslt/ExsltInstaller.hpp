// Installs this library's EXSLT functions next to the engine's own.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/Include/XalanMemoryManagement.hpp>

namespace prsm::detail
{

// Installs this library's EXSLT functions into the engine's process-wide function table, where
// stylesheets and XPath-only queries both find them: exsl:node-set (replacing the engine's),
// str:tokenize, str:split, str:replace, the
// date functions other than date:date-time, and dyn:map. Call after the engine has started and
// while no transformation runs; `manager` allocates the names. Lets the engine's exceptions
// through, after taking out whatever it had installed.
void installExsltFunctions(xalanc::MemoryManager& manager);

// Takes the functions installExsltFunctions installed out of the table again. Call before the
// engine stops and while no transformation runs. Lets the engine's exceptions through.
void uninstallExsltFunctions(xalanc::MemoryManager& manager);

} // namespace prsm::detail
