#pragma once
// The fixture web server (tools/fixture-server) started on a free port of 127.0.0.1 for the
// duration of a test.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace quillon::test {

class FixtureServerProcess {
public:
    // content: the folder it serves; empty for the generated content of the build.
    explicit FixtureServerProcess(const QString& content = {});
    ~FixtureServerProcess();
    FixtureServerProcess(const FixtureServerProcess&) = delete;
    FixtureServerProcess& operator=(const FixtureServerProcess&) = delete;

    // "http://127.0.0.1:PORT/", empty when the server did not start.
    const QString& base() const { return m_base; }
    // Waits until a request whose target ("/fault/slow/...") starts with targetStart has arrived,
    // whether or not it was answered yet; the caller's events are handled meanwhile. False when
    // none came in time.
    bool waitForRequest(const QString& targetStart, int timeoutMs = 30000);

    static QString program();
    static QString generatedContent();

private:
    QProcess m_process;
    QStringList m_requests; // "request METHOD TARGET" lines read so far
    QString m_base;
};

} // namespace quillon::test
