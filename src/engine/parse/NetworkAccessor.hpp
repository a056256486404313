// The parser's network reads over libcurl, bounded in time and ending with the operation.
//
// Corrects xercesc/util/NetAccessors/Curl/CurlURLInputStream.cpp (readMore and the constructor):
// the parser's own accessor waits for a server without any bound, so a server that accepts a
// connection and never answers holds the thread, and the host, for ever, whatever the operation's
// timeout. Every network read the parser makes (a host's URL, document(), xsl:include and
// xsl:import, DTDs and entities, XInclude) goes through XMLPlatformUtils::fgNetAccessor, which the
// parser lets a client replace after XMLPlatformUtils::Initialize.
#pragma once

#include <xercesc/util/XMLNetAccessor.hpp>

#include <chrono>

namespace prsm::detail
{

// How long a connection may take, and how long a server may send nothing, before a read fails.
inline constexpr std::chrono::milliseconds kNetworkPatience{30000};

// Reads http, https, ftp and ftps URLs. A read gives up, and the operation running on the thread
// (OperationGuard::current) fails, when the server takes longer than `patience` to connect or
// sends nothing for that long; it stops as soon as that operation passes its time or memory
// bound. Other failures (no such host, a refused connection, an HTTP error status) end the read
// only, as a missing file does.
class NetworkAccessor final : public xercesc::XMLNetAccessor
{
public:
    explicit NetworkAccessor(std::chrono::milliseconds patience = kNetworkPatience);
    ~NetworkAccessor() override;

    const XMLCh* getId() const override;
    xercesc::BinInputStream* makeNew(const xercesc::XMLURL& url,
                                     const xercesc::XMLNetHTTPInfo* httpInfo) override;

private:
    std::chrono::milliseconds m_patience;
};

// Puts a NetworkAccessor in place of the parser's own, which the parser then deletes when it
// stops. Call after each XMLPlatformUtils::Initialize.
void installNetworkAccessor();

} // namespace prsm::detail
