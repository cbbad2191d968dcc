#include "support/fixture_server.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include "support/test_support.h"
#include "test_paths.h"

using namespace Qt::StringLiterals;

namespace quillon::test {

QString FixtureServerProcess::program() {
    return QStringLiteral(QUILLON_BUILD_DIR "/tools/fixture-server/quillon-fixture-server");
}

QString FixtureServerProcess::generatedContent() {
    return QStringLiteral(QUILLON_BUILD_DIR "/tools/fixture-server/content");
}

FixtureServerProcess::FixtureServerProcess(const QString& content) {
    if (!m_requests.open())
        return;
    m_process.start(program(), {u"--content"_s, content.isEmpty() ? generatedContent() : content, u"--port"_s,
                                u"0"_s, u"--request-log"_s, m_requests.fileName()});
    if (!m_process.waitForStarted(10000))
        return;
    while (!m_process.canReadLine() && m_process.state() == QProcess::Running)
        m_process.waitForReadyRead(10000);
    const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
    if (line.startsWith(u"listening on "_s))
        m_base = line.mid(13);
}

bool FixtureServerProcess::waitForRequest(const QString& targetStart, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    do {
        for (const QByteArray& line : readFile(m_requests.fileName()).split('\n')) {
            if (QString::fromUtf8(line).section(u' ', 1).startsWith(targetStart))
                return true;
        }
        // A window sends its requests from its event loop.
        QCoreApplication::processEvents();
        QThread::msleep(10);
    } while (!deadline.hasExpired());
    return false;
}

FixtureServerProcess::~FixtureServerProcess() {
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

} // namespace quillon::test
