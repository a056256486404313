// The extension functions that every transformer starts with.
#pragma once

#include "engine/xslt/EngineTables.hpp"

namespace prsm::detail
{

// Puts a new copy of each of the eight built-in functions into `table`, in the order of their
// descriptors, each replacing a function of the same name. Throws only std::bad_alloc.
void installBuiltinFunctions(FunctionTable& table);

} // namespace prsm::detail
