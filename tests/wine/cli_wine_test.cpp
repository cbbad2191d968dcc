// quillon-cli with Total Commander's window in a real Wine prefix: start-up takes the window's
// title and executable, updating Total Commander closes it first and starts it again, and
// updating a plugin sends it the command that comes before a plugin's files are replaced.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "support/fixture_server.h"
#include "support/test_support.h"
#include "wine/wine_prefix.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

QString canonical(const QString& path) {
    return QString::fromStdString(std::filesystem::weakly_canonical(path.toStdString()).string());
}

class CliUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        QUILLON_REQUIRE_WINE();
        prefix = test::wineWorld()->prefix;
        ini = prefix + u"/drive_c/users/quillon/AppData/Roaming/GHISLER/wincmd.ini"_s;
        settings = m_dir.path() + u"/settings"_s;
    }

    test::CliResult cli(const QStringList& arguments, const QString& wine = {}) const {
        QStringList all{u"--wine-prefix"_s, prefix, u"--settings-dir"_s, settings, u"/i="_s + ini};
        if (!wine.isEmpty())
            all << u"--wine"_s << wine;
        return test::runCli(all + arguments, {}, 180000);
    }

    // The stand-in for Total Commander's window, copied to exe (in place of what is there) and
    // started; none when it did not come up.
    std::unique_ptr<test::StandIn> startStandIn(const QString& exe) const {
        QFile::remove(exe);
        if (!QDir().mkpath(QFileInfo(exe).absolutePath()) || !QFile::copy(test::wineWorld()->standIn, exe))
            return nullptr;
        auto standIn = std::make_unique<test::StandIn>(exe, m_dir.path() + u"/messages.log"_s);
        return standIn->ready() ? std::move(standIn) : nullptr;
    }

    // Wine through a wrapper that notes every start, and the fixture site as both sites.
    void wrapWineAndServe() {
        starts = m_dir.path() + u"/starts.log"_s;
        wrapper = m_dir.path() + u"/wine"_s;
        ASSERT_TRUE(test::writeFile(wrapper, "#!/bin/sh\nprintf '%s\\n' \"$*\" >>'" + starts.toUtf8() +
                                                 "'\nexec '" + test::wineWorld()->wine.toUtf8() +
                                                 "' \"$@\"\n"));
        ASSERT_TRUE(QFile::setPermissions(wrapper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        server = std::make_unique<test::FixtureServerProcess>();
        ASSERT_FALSE(server->base().isEmpty());
        const QString downloads = m_dir.path() + u"/downloads"_s;
        const QString temp = m_dir.path() + u"/temp"_s;
        ASSERT_TRUE(QDir().mkpath(downloads) && QDir().mkpath(temp) && QDir().mkpath(settings));
        ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s,
                                    "[Configuration]\nDownloadDir=" + downloads.toUtf8() +
                                        "/\nTempDirectory=" + temp.toUtf8() +
                                        "/\n[Sites]\nCatalogue=" + server->base().toUtf8() +
                                        "\nTotalCommander=" + server->base().toUtf8() + "\n"));
    }

    QString installOne(const QString& file) const {
        const test::CliResult run =
            cli({u"update"_s, u"--install"_s, u"--yes"_s, u"--json"_s, file}, wrapper);
        const QJsonArray requests = QJsonDocument::fromJson(run.out).object().value(u"requests"_s).toArray();
        if (requests.size() != 1)
            return QString::fromUtf8(run.out + run.err);
        return requests.first().toObject().value(u"result"_s).toString();
    }

    QStringList wineStarts() const {
        return QString::fromUtf8(test::readFile(starts)).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir m_dir;
    QString prefix, ini, settings, starts, wrapper;
    std::unique_ptr<test::FixtureServerProcess> server;
};

TEST_F(CliUnderWine, StartUpTakesTheWindowsTitleAndExecutableWithTheChosenWine) {
    const QString standInExe = prefix + u"/drive_c/standin2/TOTALCMD64.EXE"_s;
    const auto standIn = startStandIn(standInExe);
    ASSERT_TRUE(standIn);

    // The setting in Quillon.ini is read after start-up first asked for the window; --wine is
    // for one run and goes before it.
    const QString wine = test::wineWorld()->wine;
    const QString missing = m_dir.path() + u"/missing/wine"_s;
    const QString running = u"Total Commander 11.03 - Stand-in"_s;
    const QString installed = canonical(prefix + u"/drive_c/totalcmd/TOTALCMD64.EXE"_s);
    struct Case {
        const char* name;
        QString option;
        QString setting;
        QString title;
        QString exe;
    };
    const Case cases[] = {
        {"wine", wine, {}, running, canonical(standInExe)},
        {"no wine", missing, {}, QString(), installed},
        {"setting without wine", {}, missing, QString(), installed},
        {"setting", {}, wine, running, canonical(standInExe)},
        {"option over setting", wine, missing, running, canonical(standInExe)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir().mkpath(settings));
        ASSERT_TRUE(
            test::writeFile(settings + u"/Quillon.ini"_s, "[Wine]\nProgram=" + c.setting.toUtf8() + "\n"));
        const test::CliResult run = cli({u"locate"_s, u"--json"_s}, c.option);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QJsonObject tc =
            QJsonDocument::fromJson(run.out).object().value(u"totalCommander"_s).toObject();
        EXPECT_EQ(tc.value(u"windowTitle"_s).toString(), c.title) << run.out.toStdString();
        EXPECT_EQ(canonical(tc.value(u"exe"_s).toString()), c.exe);
    }
}

TEST_F(CliUnderWine, UpdatingTotalCommanderClosesItAndStartsItAgain) {
    const QString tcExe = prefix + u"/drive_c/totalcmd/TOTALCMD64.EXE"_s;
    ASSERT_TRUE(QFileInfo::exists(tcExe));
    const auto standIn = startStandIn(tcExe);
    ASSERT_TRUE(standIn);
    wrapWineAndServe();
    EXPECT_EQ(installOne(u"TOTALCMD64.EXE"_s), u"installed"_s);

    EXPECT_EQ(standIn->messages(), QStringList{u"COMMAND 24340"_s});
    EXPECT_TRUE(standIn->waitUntilGone(10000));
    const QStringList started = wineStarts();
    qsizetype closed = -1, launched = -1;
    for (qsizetype i = 0; i < started.size(); ++i) {
        if (started[i].endsWith(u" close"_s))
            closed = i;
        else if (canonical(started[i]) == canonical(tcExe))
            launched = i;
    }
    EXPECT_GE(closed, 0) << started.join(u" | "_s).toStdString();
    EXPECT_GT(launched, closed) << started.join(u" | "_s).toStdString();
}

TEST_F(CliUnderWine, UpdatingAPluginSendsTheRunningTotalCommanderItsCommand) {
    const auto standIn = startStandIn(prefix + u"/drive_c/standin3/TOTALCMD64.EXE"_s);
    ASSERT_TRUE(standIn);
    wrapWineAndServe();
    EXPECT_EQ(installOne(u"sampack.wcx64"_s), u"installed"_s);
    EXPECT_EQ(standIn->messages(), QStringList{u"COMMAND 2913"_s});
}

} // namespace
} // namespace quillon
