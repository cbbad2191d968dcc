// The Windows build of quillon-cli where a Windows user meets it: under Wine, in the prefix the
// other tests share, on the sample installation. It must see the installation exactly as the
// Linux build does, and install updates with backups. Runs when build/windows holds the Windows
// programs (tools/build-windows.sh); QUILLON_REQUIRE_WINDOWS_BUILD makes their absence a failure.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/path_mapper_wine.h"
#include "support/fixture_server.h"
#include "support/test_support.h"
#include "wine/wine_prefix.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const QString kWindowsCli = QStringLiteral(QUILLON_WINDOWS_BUILD_DIR "/src/cli/quillon-cli.exe");
const QString kSample = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");

QString canonical(const QString& path) {
    return QString::fromStdString(std::filesystem::weakly_canonical(path.toStdString()).string());
}

class WindowsBuildUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        QUILLON_REQUIRE_WINE();
        if (!QFileInfo(kWindowsCli).isFile()) {
            if (qEnvironmentVariableIsSet("QUILLON_REQUIRE_WINDOWS_BUILD"))
                FAIL() << "no Windows build at " << kWindowsCli.toStdString();
            GTEST_SKIP() << "no Windows build (tools/build-windows.sh makes it)";
        }
        prefix = test::wineWorld()->prefix;
        tcDir = prefix + u"/drive_c/totalcmd"_s;
        // Other tests of the program change Total Commander's folder; these start from the sample
        // and leave it as they found it.
        restoreSample();
        ASSERT_TRUE(server.base().size() > 0);
        const QByteArray sites = "[Sites]\nCatalogue=" + server.base().toUtf8() +
                                 "\nTotalCommander=" + server.base().toUtf8() + "\n";
        const QString downloads = m_dir.path() + u"/downloads"_s;
        const QString temp = m_dir.path() + u"/temp"_s;
        ASSERT_TRUE(QDir().mkpath(downloads) && QDir().mkpath(temp));
        ASSERT_TRUE(test::writeFile(linuxSettings() + u"/Quillon.ini"_s, sites));
        ASSERT_TRUE(test::writeFile(windowsSettings() + u"/Quillon.ini"_s,
                                    "[Configuration]\nDownloadDir=" + windowsPath(downloads).toUtf8() +
                                        "\\\nTempDirectory=" + windowsPath(temp).toUtf8() + "\\\n" + sites));
    }

    void TearDown() override {
        if (!prefix.isEmpty())
            restoreSample();
    }

    void restoreSample() const {
        ASSERT_TRUE(QDir(tcDir).removeRecursively());
        ASSERT_TRUE(test::copyTree(kSample + u"/drive_c/totalcmd"_s, tcDir));
    }

    QString linuxSettings() const { return m_dir.path() + u"/linux"_s; }
    QString windowsSettings() const { return m_dir.path() + u"/windows"_s; }
    QString windowsPath(const QString& hostPath) const {
        return QString::fromStdString(
            platform::WinePathMapper(prefix.toStdString()).toWindowsPath(hostPath.toStdString()));
    }

    test::CliResult linuxCli(const QStringList& arguments) const {
        return test::runCli(QStringList{u"--wine-prefix"_s, prefix, u"--settings-dir"_s, linuxSettings()} +
                                arguments,
                            {}, 180000);
    }

    test::CliResult windowsCli(const QStringList& arguments) const {
        QProcess process;
        process.setProcessEnvironment(test::wineEnvironment(prefix));
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(test::wineWorld()->wine,
                      QStringList{kWindowsCli, u"--settings-dir"_s, windowsPath(windowsSettings())} +
                          arguments);
        test::CliResult result;
        if (!process.waitForFinished(180000)) {
            process.kill();
            process.waitForFinished();
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    // The rows with every path as the host path it names, and each program's own row under one
    // name: the two builds name the same files in their own worlds.
    QJsonArray comparableRows(const QByteArray& json, const QString& program) const {
        const platform::WinePathMapper paths(prefix.toStdString());
        QJsonArray rows;
        for (const QJsonValue value : QJsonDocument::fromJson(json).object().value(u"items"_s).toArray()) {
            QJsonObject row = value.toObject();
            QString path = row.value(u"path"_s).toString();
            if (path.size() > 2 && path.at(1) == u':')
                path = QString::fromStdString(paths.toHostPath(QDir::toNativeSeparators(path).toStdString()));
            if (path.startsWith(u'/'))
                path = canonical(path) == canonical(program) ? u"(the program itself)"_s : canonical(path);
            row.insert(u"path"_s, path);
            rows.append(row);
        }
        return rows;
    }

    test::FixtureServerProcess server;
    QString prefix, tcDir;

private:
    QTemporaryDir m_dir;
};

TEST_F(WindowsBuildUnderWine, SeesTheInstallationAsTheLinuxBuildDoes) {
    const QString linuxProgram = QStringLiteral(QUILLON_CLI_PATH);
    for (const QString& command : {u"list"_s, u"check"_s}) {
        SCOPED_TRACE(command.toStdString());
        const test::CliResult onLinux = linuxCli({command, u"--json"_s});
        const test::CliResult onWindows = windowsCli({command, u"--json"_s});
        ASSERT_EQ(onLinux.exitCode, 0) << onLinux.err.toStdString();
        ASSERT_EQ(onWindows.exitCode, 0) << onWindows.err.toStdString();
        const QJsonArray linuxRows = comparableRows(onLinux.out, linuxProgram);
        const QJsonArray windowsRows = comparableRows(onWindows.out, kWindowsCli);
        // Total Commander, every plugin of the sample and Quillon's own rows.
        EXPECT_GE(linuxRows.size(), 8) << onLinux.out.toStdString();
        ASSERT_EQ(windowsRows.size(), linuxRows.size()) << onWindows.out.toStdString();
        for (qsizetype i = 0; i < linuxRows.size(); ++i)
            EXPECT_EQ(QJsonDocument(windowsRows.at(i).toObject()).toJson().toStdString(),
                      QJsonDocument(linuxRows.at(i).toObject()).toJson().toStdString());
    }
}

TEST_F(WindowsBuildUnderWine, InstallsEveryUpdateWithBackups) {
    const QString linuxProgram = QStringLiteral(QUILLON_CLI_PATH);
    const QJsonArray before = comparableRows(linuxCli({u"list"_s, u"--json"_s}).out, linuxProgram);
    const test::CliResult run =
        windowsCli({u"update"_s, u"--install"_s, u"--all"_s, u"--yes"_s, u"--json"_s});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const QJsonArray requests = QJsonDocument::fromJson(run.out).object().value(u"requests"_s).toArray();
    // The sample has an update for Total Commander and three of its plugins.
    ASSERT_EQ(requests.size(), 4) << run.out.toStdString();
    const platform::WinePathMapper paths(prefix.toStdString());
    for (const QJsonValue request : requests) {
        const QString item = request.toObject().value(u"item"_s).toString();
        SCOPED_TRACE(item.toStdString());
        EXPECT_EQ(request.toObject().value(u"result"_s).toString(), u"installed"_s);
        // What the update replaced is kept in a backup beside it.
        const QString folder =
            QFileInfo(QString::fromStdString(paths.toHostPath(QDir::toNativeSeparators(item).toStdString())))
                .absolutePath();
        EXPECT_FALSE(QDir(folder).entryList({u"backup_*.zip"_s}, QDir::Files).isEmpty())
            << folder.toStdString();
    }
    // The Linux build reads the same installed versions from what the Windows build wrote.
    const test::CliResult onLinux = linuxCli({u"list"_s, u"--json"_s});
    const test::CliResult onWindows = windowsCli({u"list"_s, u"--json"_s});
    const QJsonArray after = comparableRows(onLinux.out, linuxProgram);
    EXPECT_NE(after, before);
    EXPECT_EQ(comparableRows(onWindows.out, kWindowsCli), after);
}

} // namespace
} // namespace quillon
