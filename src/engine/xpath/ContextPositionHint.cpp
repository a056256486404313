#include "engine/xpath/ContextPositionHint.hpp"

#include <initializer_list>

namespace prsm::detail
{

xalanc::NodeRefListBase::size_type ContextPositionHint::find(const xalanc::NodeRefListBase& list,
                                                             const xalanc::XalanNode& node)
{
    using size_type = xalanc::NodeRefListBase::size_type;
    if (&list == m_list)
    {
        // The same node again (position() twice in one predicate), or the next one.
        for (size_type index : {m_next - 1, m_next})
            if (index < list.getLength() && list.item(index) == &node)
            {
                m_next = index + 1;
                return m_next;
            }
    }
    const size_type index = list.indexOf(&node);
    if (index == xalanc::NodeRefListBase::npos)
        return 0;
    m_list = &list;
    m_next = index + 1;
    return m_next;
}

} // namespace prsm::detail
