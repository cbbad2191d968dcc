#pragma once
// A cpp-httplib server on 127.0.0.1 at a free port, served from a thread of its own, and a
// listening socket that accepts connections but never answers (for time-outs).
#include <QString>

#include <httplib.h>

#include <thread>

namespace quillon::test {

class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer(); // stops the server and waits for its thread
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Register the handlers first, then start. False when no port could be bound.
    httplib::Server& server() { return m_server; }
    bool start();
    int port() const { return m_port; }
    // "http://127.0.0.1:<port>" + path.
    QString url(const QString& path = QStringLiteral("/")) const;

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = -1;
};

// Listens on 127.0.0.1 and never accepts: the kernel completes the connections, nothing is
// ever sent back.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    bool ok() const { return m_port > 0; }
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = -1;
};

// A port on 127.0.0.1 that was free a moment ago (for programs that take a port number).
int freeLocalPort();
// Whether something accepts connections on 127.0.0.1:port, trying for up to waitMs.
bool waitForLocalPort(int port, int waitMs);

} // namespace quillon::test
