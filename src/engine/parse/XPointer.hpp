// The pointers of xi:include that select one element: shorthand names and the element() scheme.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace prsm::detail
{

// One pointer part. It selects the element whose ID is `id` (any element when `id` is empty, then
// the document stands for it), then walks down `steps`: each the 1-based position of an element
// among the element children of the one before.
struct ElementPointer
{
    std::u16string id;
    std::vector<std::size_t> steps;

    // Whether an element matches, given the IDs and positions of it and its ancestors, the
    // document element first.
    bool matches(const std::vector<std::u16string>& ids,
                 const std::vector<std::size_t>& positions) const;
};

// The parts of the xpointer attribute `pointer` that select an element, in the order to try
// them: a shorthand name, or each element() part of a scheme-based pointer. Parts of other
// schemes are passed over, as a processor that does not know a scheme does. Empty when the
// pointer is malformed or has no such part.
std::vector<ElementPointer> elementPointers(std::u16string_view pointer);

} // namespace prsm::detail
