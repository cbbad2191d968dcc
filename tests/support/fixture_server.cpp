#include "support/fixture_server.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

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
    m_process.start(program(), {u"--content"_s, content.isEmpty() ? generatedContent() : content, u"--port"_s,
                                u"0"_s, u"--request-log"_s, u"-"_s});
    if (!m_process.waitForStarted(10000))
        return;
    while (!m_process.canReadLine() && m_process.state() == QProcess::Running)
        m_process.waitForReadyRead(10000);
    const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
    if (line.startsWith(u"listening on "_s))
        m_base = line.mid(13);
}

bool FixtureServerProcess::waitForRequest(const QString& targetStart, int timeoutMs) {
    const auto arrived = [&] {
        while (m_process.canReadLine())
            m_requests.append(QString::fromUtf8(m_process.readLine()).trimmed());
        return std::any_of(m_requests.cbegin(), m_requests.cend(), [&](const QString& line) {
            return line.startsWith(u"request "_s) && line.section(u' ', 2).startsWith(targetStart);
        });
    };
    if (arrived())
        return true;
    // Without an application, nothing of the caller's runs meanwhile: the server's output is
    // simply waited for.
    if (!QCoreApplication::instance()) {
        const QDeadlineTimer deadline(timeoutMs);
        while (!arrived() && m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
        }
        return arrived();
    }
    // The caller's events go on meanwhile: a window sends its requests from its event loop.
    QEventLoop loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &loop, [&] {
        if (arrived())
            loop.quit();
    });
    QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
    loop.exec();
    return arrived();
}

FixtureServerProcess::~FixtureServerProcess() {
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

} // namespace quillon::test
