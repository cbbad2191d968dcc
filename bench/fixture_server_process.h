#pragma once
// The fixture web server of the build tree on a free port of 127.0.0.1, started once per
// benchmark program.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>

namespace quillon::bench {

using namespace Qt::StringLiterals;

// The build tree the benchmark programs live in.
inline QString buildDir() {
    return QCoreApplication::applicationDirPath() + u"/.."_s;
}

class FixtureServer {
public:
    explicit FixtureServer(const QString& content) {
        m_process.start(buildDir() + u"/tools/fixture-server/quillon-fixture-server"_s,
                        {u"--content"_s, content, u"--port"_s, u"0"_s, u"--request-log"_s, u"-"_s});
        if (!m_process.waitForStarted(10000))
            return;
        while (!m_process.canReadLine() && m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(10000);
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        if (line.startsWith(u"listening on "_s))
            m_base = line.mid(13);
    }
    ~FixtureServer() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    FixtureServer(const FixtureServer&) = delete;
    FixtureServer& operator=(const FixtureServer&) = delete;

    // "http://127.0.0.1:PORT/", empty when the server did not start.
    const QString& base() const { return m_base; }

    // Waits until the server announces a request whose target starts with targetStart; the
    // announcements read on the way are consumed. False when none came in time.
    bool waitForRequest(const QString& targetStart, int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        while (true) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
                if (line.startsWith(u"request "_s) && line.section(u' ', 2).startsWith(targetStart))
                    return true;
            }
            if (deadline.hasExpired() ||
                !m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                return false;
        }
    }

    static QString generatedContent() { return buildDir() + u"/tools/fixture-server/content"_s; }

private:
    QProcess m_process;
    QString m_base;
};

// The server of the generated content.
inline FixtureServer& server() {
    static FixtureServer instance(FixtureServer::generatedContent());
    return instance;
}

} // namespace quillon::bench
