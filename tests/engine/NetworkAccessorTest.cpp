// The parser's network reads: a silent server is given up within the accessor's patience, and
// one that cannot be reached fails as a missing file does.
#include "engine/parse/NetworkAccessor.hpp"

#include "engine/limits/OperationGuard.hpp"
#include "support/SilentServer.hpp"

#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/BinInputStream.hpp>
#include <xercesc/util/XMLURL.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace
{

xercesc::XMLURL urlOf(const std::string& text)
{
    const std::u16string wide(text.begin(), text.end());
    return xercesc::XMLURL(wide.c_str());
}

TEST(NetworkAccessor, GivesUpOnASilentServerAndFailsTheOperation)
{
    const prsm::test::SilentServer server;
    prsm::detail::NetworkAccessor accessor(std::chrono::milliseconds(300));
    prsm::detail::OperationGuard guard{PRSMXslLimits()};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(std::unique_ptr<xercesc::BinInputStream>(
                     accessor.makeNew(urlOf(server.url() + "x.xml"), nullptr)),
                 xercesc::SAXParseException);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    ASSERT_NE(guard.failure(), nullptr);
    EXPECT_NE(guard.failure()->find("sent nothing for 0.3 seconds"), std::string::npos)
        << *guard.failure();
}

TEST(NetworkAccessor, ARefusedConnectionFailsTheReadOnly)
{
    const std::string url = []
    {
        const prsm::test::SilentServer closed;
        return closed.url();
    }();
    prsm::detail::NetworkAccessor accessor;
    prsm::detail::OperationGuard guard{PRSMXslLimits()};
    EXPECT_THROW(
        std::unique_ptr<xercesc::BinInputStream>(accessor.makeNew(urlOf(url + "x"), nullptr)),
        xercesc::NetAccessorException);
    EXPECT_EQ(guard.failure(), nullptr);
}

} // namespace
