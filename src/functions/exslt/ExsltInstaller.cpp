// Installs this library's EXSLT functions next to the engine's own.
#include "functions/exslt/ExsltInstaller.hpp"

#include "functions/exslt/ExsltCommonFunctions.hpp"
#include "functions/exslt/ExsltDateFunctions.hpp"
#include "functions/exslt/ExsltDynamicFunctions.hpp"
#include "functions/exslt/ExsltSetFunctions.hpp"
#include "functions/exslt/ExsltStringFunctions.hpp"
#include "functions/exslt/SaxonFunctions.hpp"

#include <xalanc/XSLT/XSLTProcessorEnvSupportDefault.hpp>

#include <array>

namespace prsm::detail
{
namespace
{

std::array<const ExsltModule*, 7> modules()
{
    return {&exsltCommonModule(),  &exsltStringsModule(), &exsltDatesAndTimesModule(),
            &exsltDynamicModule(), &exsltSetsModule(),    &xalanEvaluateModule(),
            &saxonModule()};
}

} // namespace

void installExsltFunctions(xalanc::MemoryManager& manager)
{
    try
    {
        for (const ExsltModule* module : modules())
        {
            const xalanc::XalanDOMString uri(module->namespaceUri, manager);
            for (const ExsltFunction& function : module->functions)
                xalanc::XSLTProcessorEnvSupportDefault::installExternalFunctionGlobal(
                    uri, xalanc::XalanDOMString(function.name(), manager), function);
        }
    }
    catch (...)
    {
        // Taking out a function that never went in does nothing.
        uninstallExsltFunctions(manager);
        throw;
    }
}

void uninstallExsltFunctions(xalanc::MemoryManager& manager)
{
    for (const ExsltModule* module : modules())
    {
        const xalanc::XalanDOMString uri(module->namespaceUri, manager);
        for (const ExsltFunction& function : module->functions)
            xalanc::XSLTProcessorEnvSupportDefault::uninstallExternalFunctionGlobal(
                uri, xalanc::XalanDOMString(function.name(), manager));
    }
}

} // namespace prsm::detail
