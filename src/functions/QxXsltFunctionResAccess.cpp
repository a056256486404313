// GetLocalizedString: the index table and the message formatting.
#include "functions/QxXsltFunctionResAccess.hpp"

#include "KelMdMessage.hpp"
#include "functions/LeadingInteger.hpp"

#include <iterator>

namespace
{

// The catalogue ids that stylesheets reach by index.
constexpr std::uint32_t kMessageIds[] = {
    2733166516u, 2733212678u, 2733417774u, 2733463936u, 2733088678u, 2732897321u, 2732835219u,
    2733171271u, 2733325581u, 2733459538u, 2732710487u, 2733449079u, 2733522074u, 2732756646u,
    2733153402u, 2733338050u, 2732875383u, 2733060031u, 2533174692u,
};

// The language every message is formatted in.
constexpr const char* kLanguage = "en";

} // namespace

std::uint32_t FunctionGetLocalizedString::messageIdForIndex(std::int32_t index)
{
    // Compared unsigned, so a negative index falls outside the table too.
    const auto position = static_cast<std::uint32_t>(index);
    return position < std::size(kMessageIds) ? kMessageIds[position] : 0u;
}

namespace prsm::detail
{

I18NString localizedString(const std::vector<I18NString>& texts)
{
    const KelMdMessage message(
        FunctionGetLocalizedString::messageIdForIndex(leadingInteger(texts[0].c_str())));
    I18NString out("", nullptr, -1);
    message.format(texts[1].c_str(), kLanguage, out);
    return out;
}

} // namespace prsm::detail
