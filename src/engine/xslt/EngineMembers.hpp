// Private members of the engine's classes, for the library's definitions of engine members
// (engine/xslt/InterposedTemplateTables.cpp, engine/xslt/InterposedSpaceStripping.cpp).
//
// An explicit instantiation may name any member ([temp.explicit]): each PRSM_ENGINE_MEMBER
// instantiates a Grant whose friend function hands the member pointer out, as memberOf(Tag()).
// For use inside an unnamed namespace of a source file, where Grant is declared.
#pragma once

namespace
{

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
