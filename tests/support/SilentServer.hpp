// A local TCP server that takes connections and never answers.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace prsm::test
{

// The system completes each connection into the listening queue, so a client connects, sends its
// request and then waits for an answer that never comes, until the server goes.
class SilentServer
{
public:
    SilentServer() : m_socket(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(m_socket, 64) != 0 ||
            ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no local server socket");
        m_url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    ~SilentServer() { ::close(m_socket); }

    // The server's address, ending in '/'.
    const std::string& url() const { return m_url; }

private:
    int m_socket;
    std::string m_url;
};

} // namespace prsm::test
