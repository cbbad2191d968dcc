// quillon-cli check --notify on a private session bus (the test runs under dbus-run-session) with
// a notification server of the test's own: one notification for a new update, none for the same
// update the next day, one again when a newer version appears.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariantMap>

#include <gtest/gtest.h>

#include "support/fixture_server.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const QString kSamplePrefix = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");
const QString kPath = u"/org/freedesktop/Notifications"_s;
const QString kInterface = u"org.freedesktop.Notifications"_s;

class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList summaries;

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString&,
                const QStringList&, const QVariantMap&, int) {
        summaries.append(summary);
        const uint id = static_cast<uint>(summaries.size());
        // Closed by the user right away: the waiting program must take it as its answer.
        QTimer::singleShot(0, this, [id] {
            QDBusMessage closed = QDBusMessage::createSignal(kPath, kInterface, u"NotificationClosed"_s);
            closed << id << 2u;
            QDBusConnection::sessionBus().send(closed);
        });
        return id;
    }
};

struct CliRun {
    int exitCode = -1;
    QByteArray err;
};

// The program runs while this process serves the bus: its call would otherwise wait on us.
CliRun checkNotify(const QString& settings) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LANG"_s, u"C.UTF-8"_s);
    process.setProcessEnvironment(env);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    process.start(
        QString::fromUtf8(QUILLON_CLI_PATH),
        {u"--wine-prefix"_s, kSamplePrefix, u"--settings-dir"_s, settings, u"check"_s, u"--notify"_s});
    loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), process.readAllStandardError()};
}

TEST(CheckNotify, NewUpdatesAreAnnouncedOnce) {
    QUILLON_SKIP_UNLESS(QFileInfo::exists(kSamplePrefix + u"/user.reg"_s) &&
                            QFileInfo::exists(test::FixtureServerProcess::program()),
                        "the sample installation or the fixture server was not built");
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected()) << "run under dbus-run-session";
    NotificationServer server;
    ASSERT_TRUE(bus.registerService(kInterface));
    ASSERT_TRUE(bus.registerObject(kPath, &server, QDBusConnection::ExportAllSlots));

    QTemporaryDir dir;
    const QString content = dir.path() + u"/content"_s;
    const QString settings = dir.path() + u"/settings"_s;
    ASSERT_TRUE(test::writeFile(content + u"/whatsnew.htm"_s,
                                "<p>Total Commander 11.51 is now available for Windows</p>"));
    ASSERT_TRUE(
        test::writeFile(content + u"/download.htm"_s, "<h1>Download version 11.51 of Total Commander</h1>"));
    test::FixtureServerProcess fixtures(content);
    ASSERT_FALSE(fixtures.base().isEmpty());
    ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s,
                                "[Sites]\nCatalogue=" + fixtures.base().toUtf8() +
                                    "\nTotalCommander=" + fixtures.base().toUtf8() + "\n"));
    struct Day {
        const char* packerVersion;
        qsizetype notifications; // in all, after this day's check
        const char* lastSummary;
    };
    const Day days[] = {
        {"2.2", 1, "1 update available: Sample Packer Online 2.2"},
        {"2.2", 1, "1 update available: Sample Packer Online 2.2"},
        {"2.3", 2, "1 update available: Sample Packer Online 2.3"},
    };
    for (const Day& day : days) {
        ASSERT_TRUE(test::writeFile(
            content + u"/get_plugins_list.php"_s,
            QByteArray("<html><body><pre>intro|A first record, never matched|0.1|01.01.2020|util|x32| "
                       "sampack|Sample Packer Online-|") +
                day.packerVersion + "|15.09.2024|packer|x64|x64| </pre></body></html>"));
        const CliRun run = checkNotify(settings);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        ASSERT_EQ(server.summaries.size(), day.notifications) << day.packerVersion;
        EXPECT_EQ(server.summaries.back(), QString::fromUtf8(day.lastSummary));
    }
}

} // namespace
} // namespace quillon

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "check_notify_test.moc"
