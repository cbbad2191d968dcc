// quillon-cli update on a copy of the sample installation against the fixture catalogue: the
// updatable plugin is downloaded and installed, what it replaces is backed up first; without a
// catalogue nothing is touched and the run fails.
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/fixture_server.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const QString kSamplePrefix = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");

class CliUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo::exists(kSamplePrefix + u"/user.reg"_s) ||
            !QFileInfo::exists(test::FixtureServerProcess::program())) {
            if (qEnvironmentVariableIsSet("CI"))
                FAIL() << "the sample installation or the fixture server was not built";
            GTEST_SKIP() << "the sample installation or the fixture server was not built";
        }
        prefix = m_dir.path() + u"/prefix"_s;
        settings = m_dir.path() + u"/settings"_s;
        ASSERT_TRUE(test::copyTree(kSamplePrefix, prefix));
        ASSERT_TRUE(QDir().mkpath(m_dir.path() + u"/downloads"_s));
        ASSERT_TRUE(QDir().mkpath(m_dir.path() + u"/temp"_s));
    }
    void writeSettings(const QString& catalogue, const QString& tcSite) {
        ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s,
                                    "[Configuration]\nPreInstallAction=1\nDownloadDir=" +
                                        (m_dir.path() + u"/downloads/"_s).toUtf8() + "\nTempDirectory=" +
                                        (m_dir.path() + u"/temp/"_s).toUtf8() + "\n[Sites]\nCatalogue=" +
                                        catalogue.toUtf8() + "\nTotalCommander=" + tcSite.toUtf8() + "\n"));
    }
    test::CliResult update(const QStringList& files) const {
        QStringList args{u"--wine-prefix"_s, prefix, u"--settings-dir"_s, settings, u"update"_s,
                         u"--install"_s, u"--yes"_s, u"--json"_s};
        return test::runCli(args + files, {}, 120000);
    }
    // Files below the folder whose name matches the pattern.
    static QStringList find(const QString& folder, const QString& pattern) {
        QStringList found;
        QDirIterator it(folder, {pattern}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(it.next());
        return found;
    }

    QTemporaryDir m_dir;
    QString prefix;
    QString settings;
};

TEST_F(CliUpdate, InstallsTheUpdatablePluginAndBacksUpWhatItReplaces) {
    test::FixtureServerProcess server;
    ASSERT_FALSE(server.base().isEmpty());
    writeSettings(server.base(), server.base());

    const test::CliResult result = update({u"sampack.wcx64"_s});
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    const QJsonArray requests = json.value(u"requests"_s).toArray();
    ASSERT_EQ(requests.size(), 1) << result.out.toStdString() << result.err.toStdString();
    EXPECT_EQ(requests.first().toObject().value(u"result"_s).toString(), u"installed"_s)
        << result.out.toStdString() << result.err.toStdString();
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();

    const QStringList backups = find(prefix, u"backup_*_QN.zip"_s);
    ASSERT_EQ(backups.size(), 1) << "no backup of the replaced files";
    EXPECT_TRUE(QFileInfo(backups.first()).absolutePath().endsWith(u"/sampack"_s, Qt::CaseInsensitive))
        << backups.first().toStdString();
    // The package folder is gone and nothing was left in the temporary directory.
    EXPECT_TRUE(find(m_dir.path() + u"/temp"_s, u"*"_s).isEmpty());
}

TEST_F(CliUpdate, NoCatalogueMeansExitStatusOneAndNothingTouched) {
    QTemporaryDir emptyContent;
    test::FixtureServerProcess server(emptyContent.path());
    ASSERT_FALSE(server.base().isEmpty());
    writeSettings(server.base(), server.base());
    const QByteArray before = test::readFile(find(prefix, u"sampack.wcx64"_s).value(0));

    const test::CliResult result = update({});
    EXPECT_EQ(result.exitCode, 1) << result.out.toStdString() << result.err.toStdString();
    EXPECT_FALSE(result.err.isEmpty());
    EXPECT_EQ(test::readFile(find(prefix, u"sampack.wcx64"_s).value(0)), before);
    EXPECT_TRUE(find(prefix, u"backup_*_QN.zip"_s).isEmpty());
}

} // namespace
} // namespace quillon
