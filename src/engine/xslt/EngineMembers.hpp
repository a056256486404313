// What the library's definitions of engine members (engine/xslt/Interposed*.cpp,
// engine/xpath/Interposed*.cpp) reach of the engine: its own definitions, and private members.
//
// An explicit instantiation may name any member ([temp.explicit]): each PRSM_ENGINE_MEMBER
// instantiates a Grant whose friend function hands the member pointer out, as memberOf(Tag()).
// For use inside an unnamed namespace of a source file, where Grant is declared.
#pragma once

#include <dlfcn.h>

namespace
{

// The engine's own definition of the member whose mangled name is `symbol`: the next one after
// the library's in the lookup order, as a function of type `Definition` (the object first).
template <class Definition>
Definition engineDefinition(const char* symbol)
{
    return reinterpret_cast<Definition>(dlsym(RTLD_NEXT, symbol));
}

template <class Tag, typename Tag::Type member>
struct Grant
{
    friend typename Tag::Type memberOf(Tag) { return member; }
};

} // namespace

#define PRSM_ENGINE_MEMBER(Tag, Class, MemberType, name)                                           \
    struct Tag                                                                                     \
    {                                                                                              \
        using Type = MemberType Class::*;                                                          \
        friend Type memberOf(Tag);                                                                 \
    };                                                                                             \
    template struct Grant<Tag, &Class::name>
