#include "wine/wine_prefix.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

#include "platform/path_mapper_wine.h"
#include "platform/tc_window_programs_wine.h"
#include "support/test_support.h"

namespace quillon::test {

QProcessEnvironment wineEnvironment(const QString& prefix) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), prefix);
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("winemenubuilder.exe=d"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return environment;
}

namespace {

bool runWine(const QString& program, const QString& prefix, const QStringList& arguments, QString* error) {
    QProcess process;
    process.setProcessEnvironment(wineEnvironment(prefix));
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (process.waitForFinished(180000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    *error = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(": ") +
             QString::fromUtf8(process.readAll().right(2000));
    return false;
}

QString wineServer(const QString& wine) {
    const QString sibling = QFileInfo(wine).absolutePath() + QStringLiteral("/wineserver");
    if (QFileInfo(sibling).isExecutable())
        return sibling;
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("wineserver"));
    return onPath.isEmpty() ? QStringLiteral("/usr/lib/wine/wineserver") : onPath;
}

class WinePrefixEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        const QString wine = QString::fromStdString(platform::findWineProgram({}));
        if (wine.isEmpty()) {
            if (test::inCi())
                FAIL() << "Wine is required in CI (tools/install-deps.sh installs it)";
            return;
        }
        const QString sample = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");
        ASSERT_TRUE(m_dir.isValid());
        const QString prefix = m_dir.path() + QStringLiteral("/prefix");
        ASSERT_TRUE(copyTree(sample, prefix)) << "the sample installation was not built";
        QString error;
        ASSERT_TRUE(runWine(wine, prefix, {QStringLiteral("wineboot"), QStringLiteral("-i")}, &error))
            << error.toStdString();
        ASSERT_TRUE(runWine(wine, prefix,
                            {QStringLiteral("reg"), QStringLiteral("add"),
                             QStringLiteral("HKCU\\Software\\Wine\\Drivers"), QStringLiteral("/v"),
                             QStringLiteral("Graphics"), QStringLiteral("/d"), QStringLiteral("null"),
                             QStringLiteral("/f")},
                            &error))
            << error.toStdString();
        // The processes that wineboot left run with the display driver it found; one server for
        // the whole run, and Wine's own processes started with the null driver before any test.
        ASSERT_TRUE(runWine(wineServer(wine), prefix, {QStringLiteral("-k")}, &error)) << error.toStdString();
        QProcess server;
        server.setProcessEnvironment(wineEnvironment(prefix));
        server.setProgram(wineServer(wine));
        server.setArguments({QStringLiteral("-p")});
        ASSERT_TRUE(server.startDetached());
        ASSERT_TRUE(
            runWine(wine, prefix, {QStringLiteral(QUILLON_TC_BRIDGE_PATH), QStringLiteral("state")}, &error))
            << error.toStdString();
        m_world = WineWorld{wine, prefix, QStringLiteral(QUILLON_TC_BRIDGE_PATH),
                            QStringLiteral(QUILLON_TC_STANDIN_PATH)};
        s_world = &m_world;
    }

    void TearDown() override {
        s_world = nullptr;
        if (m_world.prefix.isEmpty())
            return;
        QProcess server;
        server.setProcessEnvironment(wineEnvironment(m_world.prefix));
        server.start(wineServer(m_world.wine), {QStringLiteral("-k")});
        server.waitForFinished(30000);
    }

    static const WineWorld* s_world;

private:
    QTemporaryDir m_dir;
    WineWorld m_world;
};

const WineWorld* WinePrefixEnvironment::s_world = nullptr;

[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new WinePrefixEnvironment);

} // namespace

const WineWorld* wineWorld() {
    return WinePrefixEnvironment::s_world;
}

StandIn::StandIn(const QString& hostExe, const QString& hostLog, const QStringList& options)
    : m_log(hostLog) {
    const WineWorld* world = wineWorld();
    if (!world)
        return;
    const platform::WinePathMapper paths(world->prefix.toStdString());
    const QString windowsLog = QString::fromStdString(paths.toWindowsPath(hostLog.toStdString()));
    m_process.setProcessEnvironment(wineEnvironment(world->prefix));
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(world->wine, QStringList{hostExe, windowsLog} + options);
}

StandIn::~StandIn() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

bool StandIn::ready() {
    const QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        if (readFile(m_log).startsWith("READY"))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(50);
    }
    return false;
}

QStringList StandIn::messages() const {
    QStringList lines = QString::fromUtf8(readFile(m_log)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst();
    return lines;
}

bool StandIn::waitUntilGone(int milliseconds) {
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(milliseconds);
}

} // namespace quillon::test
