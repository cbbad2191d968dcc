#pragma once
// The fixture web server of the build tree on a free port of 127.0.0.1, started once per
// benchmark program.
#include <QCoreApplication>
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
                        {u"--content"_s, content, u"--port"_s, u"0"_s});
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
