// GetDateTime: the time of day cut from the clock's stamp.
#include "functions/QxXsltFunctionDateTime.hpp"
#include "support/FakeClock.hpp"
#include "support/FunctionCall.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace
{

using prsm::test::FakeClock;
using prsm::test::FunctionCall;

constexpr const char* kCountText = "qxfunc:GetDateTime() function takes no arguments!";

TEST(DateTime, IsTheTimeOfDayWithoutTheDate)
{
    const struct
    {
        const char* stamp;
        const char* text;
    } cases[] = {
        {"20240315090503042", "09:05:03.042"},
        {"20240101000001000", "00:00:01.000"},
        {"20241231235959999", "23:59:59.999"},
        {"2024031509050304256789", "09:05:03.04256"}, // up to five fraction digits
        {"2024031509", "09::."},                      // a short stamp gives empty pieces
    };
    FakeClock clock;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.stamp);
        clock.setStamp(c.stamp);
        EXPECT_EQ(std::string(prsm::detail::dateTimeText().c_str()), c.text);
    }
}

TEST(DateTime, FunctionReturnsTheTextAndRejectsArguments)
{
    FakeClock clock("20240315090503042");
    FunctionCall call;
    const FunctionGetDateTime function;
    EXPECT_EQ(call(function, {}), "09:05:03.042");
    EXPECT_EQ(call.engineError(function, {1.0}), kCountText);
    EXPECT_EQ(call.engineError(function, {std::string("a"), std::string("b")}), kCountText);

    const std::unique_ptr<FunctionGetDateTime> copy(function.clone());
    EXPECT_EQ(call(*copy, {}), "09:05:03.042");
    EXPECT_EQ(QxXsltFunction::XalanDOMStringToI18NString(copy->getError()), I18NString(kCountText));
}

} // namespace
