#include "support/local_http_server.h"

#include <QDeadlineTimer>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quillon::test {

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int boundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof(address);
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    return ntohs(address.sin_port);
}

} // namespace

LocalHttpServer::LocalHttpServer() = default;

LocalHttpServer::~LocalHttpServer() {
    m_server.stop();
    if (m_thread.joinable())
        m_thread.join();
}

bool LocalHttpServer::start() {
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        return false;
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // The socket listens already; the loop only has to be running before stop() can end it.
    QDeadlineTimer deadline(10000);
    while (!m_server.is_running() && !deadline.hasExpired())
        QThread::msleep(5);
    return m_server.is_running();
}

QString LocalHttpServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

SilentListener::SilentListener() {
    m_fd = socket(AF_INET, SOCK_STREAM, 0);
    if (m_fd < 0)
        return;
    sockaddr_in address = loopback(0);
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(m_fd, 16) != 0)
        return;
    m_port = boundPort(m_fd);
}

SilentListener::~SilentListener() {
    if (m_fd >= 0)
        close(m_fd);
}

int freeLocalPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address = loopback(0);
    int port = -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0)
        port = boundPort(fd);
    close(fd);
    return port;
}

bool waitForLocalPort(int port, int waitMs) {
    QDeadlineTimer deadline(waitMs);
    do {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0)
            return false;
        sockaddr_in address = loopback(port);
        const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        close(fd);
        if (connected)
            return true;
        QThread::msleep(20);
    } while (!deadline.hasExpired());
    return false;
}

} // namespace quillon::test
