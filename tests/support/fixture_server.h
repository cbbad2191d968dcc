#pragma once
// The fixture web server (tools/fixture-server) started on a free port of 127.0.0.1 for the
// duration of a test.
#include <QProcess>
#include <QString>

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

    static QString program();
    static QString generatedContent();

private:
    QProcess m_process;
    QString m_base;
};

} // namespace quillon::test
