// GetLocalizedString: a catalogue message picked by a small index.
#pragma once

#include "functions/BuiltinFunction.hpp"

#include <cstdint>
#include <vector>

// GetLocalizedString(index, text): the English text of the catalogue message that the index
// (read like C atol) picks, with `text` inserted. Indices outside 0 to 18 pick message id 0.
// Returns a string object. Not exactly two arguments end the evaluation with the count text;
// an empty first argument raises ZBLAssertError. Nothing is caught.
class FunctionGetLocalizedString final
    : public prsm::detail::BuiltinFunction<FunctionGetLocalizedString,
                                           prsm::detail::BuiltinId::GetLocalizedString>
{
public:
    // The catalogue id for indices 0 to 18, 0 for every other, negative ones included.
    static std::uint32_t messageIdForIndex(std::int32_t index);
};

namespace prsm::detail
{

// The work of GetLocalizedString on its two argument texts.
I18NString localizedString(const std::vector<I18NString>& texts);

} // namespace prsm::detail
