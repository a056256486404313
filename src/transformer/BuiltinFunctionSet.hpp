// The extension functions every new transformer starts with.
#pragma once

class PRSMXslTransformer;

namespace prsm::detail
{

// Installs the built-in functions into `transformer`'s table, in their fixed order.
void installBuiltinFunctions(PRSMXslTransformer& transformer);

} // namespace prsm::detail
