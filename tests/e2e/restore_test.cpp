// quillon-cli restore on a copy of the sample installation after an update from the fixture
// catalogue: the backup the update left gives back the old bytes and version, the restore's own
// backup gives back the new ones, and nothing is touched without a choice.
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "support/fixture_server.h"
#include "support/sample_copy_test.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

struct CliRun {
    int exitCode = -1;
    QJsonObject json;
    std::string log;
};

class CliRestore : public test::SampleCopyTest {
protected:
    void SetUp() override {
        test::SampleCopyTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (!test::requireMingw())
            GTEST_SKIP() << "the packages hold no real files without MinGW-w64";
        plugin = findFiles(prefix, u"sampack.wcx64"_s).value(0);
        ASSERT_FALSE(plugin.isEmpty());
    }

    CliRun cli(const QStringList& arguments) const {
        const test::CliResult r = test::runCli(
            QStringList{u"--wine-prefix"_s, prefix, u"--settings-dir"_s, settings, u"--json"_s} + arguments,
            {}, 120000);
        return CliRun{r.exitCode, QJsonDocument::fromJson(r.out).object(),
                      QByteArray(r.out + "\n--- stderr:\n" + r.err).toStdString()};
    }
    // The installed version the inventory reads now.
    QString installed() const {
        const CliRun list = cli({u"list"_s});
        for (const QJsonValue& item : list.json.value(u"items"_s).toArray()) {
            if (QFileInfo(item.toObject().value(u"path"_s).toString()).fileName() == u"sampack.wcx64"_s)
                return item.toObject().value(u"installed"_s).toString();
        }
        return {};
    }

    QString plugin;
};

TEST_F(CliRestore, PutsBackTheOldBytesAndVersionAndASecondRestoreTogglesBack) {
    test::FixtureServerProcess server;
    ASSERT_FALSE(server.base().isEmpty());
    ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, settingsText(server.base())));
    const QByteArray oldBytes = test::readFile(plugin);
    const QString oldVersion = installed();
    const CliRun updated = cli({u"update"_s, u"--install"_s, u"--yes"_s, u"sampack.wcx64"_s});
    ASSERT_EQ(updated.exitCode, 0) << updated.log;
    const QByteArray newBytes = test::readFile(plugin);
    const QString newVersion = installed();
    ASSERT_NE(newBytes, oldBytes);
    ASSERT_FALSE(oldVersion.isEmpty());
    ASSERT_NE(newVersion, oldVersion);

    // No choice made: listed, asked, answered No, nothing touched.
    const CliRun listed = cli({u"restore"_s, u"sampack.wcx64"_s});
    EXPECT_EQ(listed.exitCode, 0) << listed.log;
    ASSERT_EQ(listed.json.value(u"backups"_s).toArray().size(), 1) << listed.log;
    EXPECT_EQ(listed.json.value(u"backups"_s).toArray().first().toObject().value(u"version"_s).toString(),
              oldVersion)
        << listed.log;
    EXPECT_TRUE(listed.json.value(u"restored"_s).isNull());
    EXPECT_EQ(test::readFile(plugin), newBytes);
    EXPECT_EQ(cli({u"restore"_s, u"sampack.wcx64"_s, u"--from"_s, u"01-01-1999"_s}).exitCode, 1);

    struct Step {
        QByteArray bytes;
        QString version;
        int backupsAfter;
    };
    const Step steps[] = {{oldBytes, oldVersion, 2}, {newBytes, newVersion, 3}, {oldBytes, oldVersion, 4}};
    for (const Step& step : steps) {
        const CliRun restored = cli({u"restore"_s, u"sampack.wcx64"_s, u"--yes"_s});
        ASSERT_EQ(restored.exitCode, 0) << restored.log;
        const QJsonObject what = restored.json.value(u"restored"_s).toObject();
        EXPECT_EQ(what.value(u"result"_s).toString(), u"restored"_s) << restored.log;
        EXPECT_EQ(what.value(u"installed"_s).toString(), step.version) << restored.log;
        EXPECT_TRUE(QFileInfo(what.value(u"undoBackup"_s).toString()).isFile()) << restored.log;
        EXPECT_TRUE(test::readFile(plugin) == step.bytes) << restored.log;
        EXPECT_EQ(installed(), step.version);
        EXPECT_EQ(findFiles(prefix, u"backup_*_QN.zip"_s).size(), step.backupsAfter);
    }
    EXPECT_FALSE(QFileInfo::exists(settings + u"/install-journal.ini"_s));
    EXPECT_TRUE(findFiles(temp, u"*"_s).isEmpty());
}

} // namespace
} // namespace quillon
