// quillon-cli update on a copy of the sample installation against the fixture catalogue: the
// updatable plugin is downloaded and installed, what it replaces is backed up first; without a
// catalogue nothing is touched and the run fails.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/fixture_server.h"
#include "support/sample_copy_test.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class CliUpdate : public test::SampleCopyTest {
protected:
    void writeSettings(const QString& base) {
        ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, settingsText(base)));
    }
    test::CliResult update(const QStringList& files) const {
        QStringList args{u"--wine-prefix"_s, prefix,         u"--settings-dir"_s, settings,
                         u"update"_s,        u"--install"_s, u"--yes"_s,          u"--json"_s};
        return test::runCli(args + files, {}, 120000);
    }
};

TEST_F(CliUpdate, InstallsTheUpdatablePluginAndBacksUpWhatItReplaces) {
    test::FixtureServerProcess server;
    ASSERT_FALSE(server.base().isEmpty());
    writeSettings(server.base());

    const test::CliResult result = update({u"sampack.wcx64"_s});
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    const QJsonArray requests = json.value(u"requests"_s).toArray();
    ASSERT_EQ(requests.size(), 1) << result.out.toStdString() << result.err.toStdString();
    EXPECT_EQ(requests.first().toObject().value(u"result"_s).toString(), u"installed"_s)
        << result.out.toStdString() << result.err.toStdString();
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    // The desktop program's one-time question is still to be asked.
    EXPECT_FALSE(test::readFile(settings + u"/Quillon.ini"_s).contains("OneTimeUpdateQuestion=True"));

    const QStringList backups = findFiles(prefix, u"backup_*_QN.zip"_s);
    ASSERT_EQ(backups.size(), 1) << "no backup of the replaced files";
    EXPECT_TRUE(QFileInfo(backups.first()).absolutePath().endsWith(u"/sampack"_s, Qt::CaseInsensitive))
        << backups.first().toStdString();
    // The package folder is gone and nothing was left in the temporary directory.
    EXPECT_TRUE(findFiles(m_dir.path() + u"/temp"_s, u"*"_s).isEmpty());
}

TEST_F(CliUpdate, NoCatalogueMeansExitStatusOneAndNothingTouched) {
    QTemporaryDir emptyContent;
    test::FixtureServerProcess server(emptyContent.path());
    ASSERT_FALSE(server.base().isEmpty());
    writeSettings(server.base());
    const QByteArray before = test::readFile(findFiles(prefix, u"sampack.wcx64"_s).value(0));

    const test::CliResult result = update({});
    EXPECT_EQ(result.exitCode, 1) << result.out.toStdString() << result.err.toStdString();
    EXPECT_FALSE(result.err.isEmpty());
    EXPECT_EQ(test::readFile(findFiles(prefix, u"sampack.wcx64"_s).value(0)), before);
    EXPECT_TRUE(findFiles(prefix, u"backup_*_QN.zip"_s).isEmpty());
}

TEST_F(CliUpdate, InstallOptionInstallsWhenTheWindowsQuestionWasDeclinedAndLeavesTheChoiceAlone) {
    test::FixtureServerProcess server;
    ASSERT_FALSE(server.base().isEmpty());
    const QString ini = settings + u"/Quillon.ini"_s;
    ASSERT_TRUE(test::writeFile(
        ini,
        settingsText(server.base(),
                     "[Configuration]\nInstallAfterDL=False\n[Additional]\nOneTimeUpdateQuestion=True\n")));
    const test::CliResult result = update({u"sampack.wcx64"_s});
    const QJsonArray requests = QJsonDocument::fromJson(result.out).object().value(u"requests"_s).toArray();
    ASSERT_EQ(requests.size(), 1) << result.out.toStdString() << result.err.toStdString();
    EXPECT_EQ(requests.first().toObject().value(u"result"_s).toString(), u"installed"_s);
    EXPECT_FALSE(test::readFile(ini).contains("InstallAfterDL=True"));
}

} // namespace
} // namespace quillon
