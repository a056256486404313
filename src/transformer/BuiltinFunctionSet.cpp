// The extension functions that every transformer starts with.
#include "transformer/BuiltinFunctionSet.hpp"

#include "functions/BuiltinFunction.hpp"

namespace prsm::detail
{

void installBuiltinFunctions(FunctionTable& table)
{
    for (const BuiltinDescriptor& builtin : builtinDescriptors())
        table[I18NString(builtin.name)] = std::unique_ptr<QxXsltFunction>(builtin.make());
}

} // namespace prsm::detail
