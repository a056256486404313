// Hostile inputs that the tests check are refused and the benchmarks time the refusal of.
#pragma once

#include <string>

namespace prsm::test
{

inline std::string repeated(const std::string& text, int count)
{
    std::string result;
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

// Nine levels of ten references each: a billion "lol"s.
inline std::string billionLaughs()
{
    std::string dtd = "<!ENTITY l0 'lol'>";
    for (int level = 1; level <= 9; ++level)
        dtd += "<!ENTITY l" + std::to_string(level) + " '" +
               repeated("&l" + std::to_string(level - 1) + ";", 10) + "'>";
    return "<!DOCTYPE doc [" + dtd + "]><doc>&l9;</doc>";
}

} // namespace prsm::test
