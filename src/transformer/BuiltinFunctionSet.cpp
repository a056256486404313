// The extension functions every new transformer starts with.
#include "transformer/BuiltinFunctionSet.hpp"

namespace prsm::detail
{

void installBuiltinFunctions(PRSMXslTransformer&) {}

} // namespace prsm::detail
