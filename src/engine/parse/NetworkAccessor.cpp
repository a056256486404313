// The parser's network reads over libcurl, bounded in time and ending with the operation.
#include "engine/parse/NetworkAccessor.hpp"

#include "engine/limits/OperationGuard.hpp"
#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"

#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/BinInputStream.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLURL.hpp>

#include <algorithm>
#include <cstring>
#include <curl/curl.h>
#include <sstream>
#include <string>

namespace prsm::detail
{
namespace
{

// How often a read that waits looks at its operation's bounds.
constexpr int kPollMilliseconds = 50;

// Redirects stay on the network: a server never sends the parser to a local file.
constexpr char kProtocols[] = "http,https,ftp,ftps";

const XMLCh kId[] = {'p', 'r', 's', 'm', '-', 'c', 'u', 'r', 'l', 0};

class NetworkStream final : public xercesc::BinInputStream
{
public:
    NetworkStream(const xercesc::XMLURL& url, std::chrono::milliseconds patience)
        : m_url(utf8Of(url.getURLText())), m_patience(patience), m_multi(curl_multi_init()),
          m_easy(curl_easy_init())
    {
        if (m_multi == nullptr || m_easy == nullptr)
        {
            cleanup();
            throwNet(xercesc::XMLExcepts::NetAcc_InitFailed);
        }
        curl_easy_setopt(m_easy, CURLOPT_URL, m_url.c_str());
        curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &NetworkStream::take);
        curl_easy_setopt(m_easy, CURLOPT_PROTOCOLS_STR, kProtocols);
        curl_easy_setopt(m_easy, CURLOPT_REDIR_PROTOCOLS_STR, kProtocols);
        curl_easy_setopt(m_easy, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(m_easy, CURLOPT_MAXREDIRS, 6L);
        // An error page is not the document: it fails as a missing file does.
        curl_easy_setopt(m_easy, CURLOPT_FAILONERROR, 1L);
        // Signals would reach the host's threads; the deadline is kept by pump() instead.
        curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(patience.count()));
        const long idleSeconds =
            std::max<long>(1, static_cast<long>((patience.count() + 999) / 1000));
        curl_easy_setopt(m_easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(m_easy, CURLOPT_LOW_SPEED_TIME, idleSeconds);
        curl_multi_add_handle(m_multi, m_easy);
        try
        {
            // The parser reads the content type before the first byte, as from the parser's own
            // accessor; a server that cannot be reached fails here, where the parser expects it.
            pump();
        }
        catch (...)
        {
            cleanup();
            throw;
        }
        const char* contentType = nullptr;
        curl_easy_getinfo(m_easy, CURLINFO_CONTENT_TYPE, &contentType);
        if (contentType != nullptr)
            m_contentType.assign(contentType, contentType + std::strlen(contentType));
    }

    ~NetworkStream() override { cleanup(); }

    XMLFilePos curPos() const override { return m_position; }

    XMLSize_t readBytes(XMLByte* const toFill, const XMLSize_t maxToRead) override
    {
        if (m_taken == m_pending.size())
        {
            m_pending.clear();
            m_taken = 0;
            pump();
        }
        const std::size_t count = std::min<std::size_t>(maxToRead, m_pending.size() - m_taken);
        std::memcpy(toFill, m_pending.data() + m_taken, count);
        m_taken += count;
        m_position += count;
        return count;
    }

    const XMLCh* getContentType() const override
    {
        return m_contentType.empty() ? nullptr : m_contentType.c_str();
    }

private:
    static std::size_t take(char* data, std::size_t size, std::size_t count, void* self)
    {
        auto* stream = static_cast<NetworkStream*>(self);
        stream->m_pending.append(data, size * count);
        return size * count;
    }

    // Lets the transfer run until bytes are waiting, it has ended, or the operation must stop.
    void pump()
    {
        while (m_taken == m_pending.size() && !m_isDone)
        {
            int running = 0;
            curl_multi_perform(m_multi, &running);
            int queued = 0;
            while (CURLMsg* message = curl_multi_info_read(m_multi, &queued))
            {
                if (message->msg == CURLMSG_DONE)
                {
                    m_isDone = true;
                    if (message->data.result != CURLE_OK)
                        fail(message->data.result);
                }
            }
            if (m_taken != m_pending.size() || m_isDone)
                return;
            if (OperationGuard* guard = OperationGuard::current())
                if (const std::string* reason = guard->step())
                    stop(*reason);
            int ready = 0;
            curl_multi_poll(m_multi, nullptr, 0, kPollMilliseconds, &ready);
        }
    }

    [[noreturn]] void fail(CURLcode result)
    {
        switch (result)
        {
        case CURLE_UNSUPPORTED_PROTOCOL:
            throw xercesc::MalformedURLException(__FILE__, __LINE__,
                                                 xercesc::XMLExcepts::URL_UnsupportedProto);
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            throwNet(xercesc::XMLExcepts::NetAcc_TargetResolution);
        case CURLE_COULDNT_CONNECT:
            throwNet(xercesc::XMLExcepts::NetAcc_ConnSocket);
        case CURLE_HTTP_RETURNED_ERROR:
        case CURLE_REMOTE_FILE_NOT_FOUND:
            throwNet(xercesc::XMLExcepts::File_CouldNotOpenFile);
        case CURLE_OPERATION_TIMEDOUT:
            if (OperationGuard* guard = OperationGuard::current())
            {
                std::ostringstream reason;
                reason << "the network resource \"" << m_url << "\" sent nothing for "
                       << static_cast<double>(m_patience.count()) / 1000 << " seconds";
                guard->fail(reason.str());
                stop(*guard->failure());
            }
            throwNet(xercesc::XMLExcepts::NetAcc_ReadSocket);
        default:
            throwNet(xercesc::XMLExcepts::NetAcc_ReadSocket);
        }
    }

    // Ends the parse as a bound does (ParseBudget::refuse): past the parser's error handler, so
    // that document() adds no warnings of its own to the operation's failure.
    [[noreturn]] void stop(const std::string& reason) const
    {
        throw xercesc::SAXParseException(toEngine(reason.c_str()).c_str(), nullptr,
                                         toEngine(m_url.c_str()).c_str(), 0, 0, &engineMemory());
    }

    [[noreturn]] void throwNet(xercesc::XMLExcepts::Codes code) const
    {
        throw xercesc::NetAccessorException(__FILE__, __LINE__, code,
                                            toEngine(m_url.c_str()).c_str());
    }

    void cleanup()
    {
        if (m_multi != nullptr && m_easy != nullptr)
            curl_multi_remove_handle(m_multi, m_easy);
        if (m_easy != nullptr)
            curl_easy_cleanup(m_easy);
        if (m_multi != nullptr)
            curl_multi_cleanup(m_multi);
        m_easy = nullptr;
        m_multi = nullptr;
    }

    const std::string m_url;
    const std::chrono::milliseconds m_patience;
    CURLM* m_multi;
    CURL* m_easy;
    std::string m_pending;
    std::size_t m_taken = 0;
    XMLFilePos m_position = 0;
    bool m_isDone = false;
    std::basic_string<XMLCh> m_contentType;
};

} // namespace

NetworkAccessor::NetworkAccessor(std::chrono::milliseconds patience) : m_patience(patience)
{
    if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK)
        throw xercesc::NetAccessorException(__FILE__, __LINE__,
                                            xercesc::XMLExcepts::NetAcc_InitFailed);
}

NetworkAccessor::~NetworkAccessor()
{
    curl_global_cleanup();
}

const XMLCh* NetworkAccessor::getId() const
{
    return kId;
}

xercesc::BinInputStream* NetworkAccessor::makeNew(const xercesc::XMLURL& url,
                                                  const xercesc::XMLNetHTTPInfo* httpInfo)
{
    // The parser asks for nothing but GET; other methods would send data the host never saw.
    if (httpInfo != nullptr && httpInfo->fHTTPMethod != xercesc::XMLNetHTTPInfo::GET)
        throw xercesc::NetAccessorException(__FILE__, __LINE__,
                                            xercesc::XMLExcepts::NetAcc_UnsupportedMethod);
    return new NetworkStream(url, m_patience); // the parser owns it from here
}

void installNetworkAccessor()
{
    xercesc::XMLNetAccessor*& accessor = xercesc::XMLPlatformUtils::fgNetAccessor;
    if (dynamic_cast<NetworkAccessor*>(accessor) != nullptr)
        return;
    auto* replacement = new NetworkAccessor();
    delete accessor;
    accessor = replacement;
}

} // namespace prsm::detail
