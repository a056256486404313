// Message formatting: a pattern per language with "%1" as the place of the inserted text.
#include "ZBLCore.hpp"

#include <cstring>

ZBLMessage::~ZBLMessage() = default;

void ZBLMessage::format(const char* text, const char* language, I18NString& out) const
{
    const char* source = language != nullptr ? pattern(language) : nullptr;
    if (source == nullptr)
        source = pattern("en");
    if (source == nullptr)
        source = "";
    const std::string insert = text != nullptr ? text : "";

    std::string result;
    for (const char* at = source; *at != '\0';)
    {
        if (at[0] == '%' && at[1] == '1')
        {
            result += insert;
            at += 2;
        }
        else
        {
            result += *at++;
        }
    }
    out = I18NString(result.c_str(), nullptr, static_cast<int>(result.size()));
}
