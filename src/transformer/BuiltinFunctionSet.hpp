// The extension functions that every transformer starts with.
#pragma once

class PRSMXslTransformer;

namespace prsm::detail
{

// Installs the eight built-in functions into `transformer` through installExternalFunction, in
// this order: GetLocalizedString, GetDateTime, TimerCreate, TimerStart, TimerStop, TimerTotal,
// TimerReset, TimerDestroy. Each replaces a function of the same name. Lets allocation failures
// through.
void installBuiltinFunctions(PRSMXslTransformer& transformer);

} // namespace prsm::detail
