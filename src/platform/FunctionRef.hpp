// A non-owning reference to a callable, for work handed to a function defined in another unit.
#pragma once

#include <type_traits>
#include <utility>

namespace prsm::detail
{

template <class Signature>
class FunctionRef;

// Refers to a callable without copying or allocating; the callable must outlive the reference.
template <class Result, class... Args>
class FunctionRef<Result(Args...)>
{
public:
    template <class Callable,
              class = std::enable_if_t<!std::is_same_v<std::decay_t<Callable>, FunctionRef>>>
    FunctionRef(Callable& callable) // NOLINT: converting by design, like a function reference
        : m_callable(&callable),
          m_call([](void* c, Args... args) -> Result
                 { return (*static_cast<Callable*>(c))(std::forward<Args>(args)...); })
    {
    }

    Result operator()(Args... args) const
    {
        return m_call(m_callable, std::forward<Args>(args)...);
    }

private:
    void* m_callable;
    Result (*m_call)(void*, Args...);
};

} // namespace prsm::detail
