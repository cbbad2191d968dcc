// quillon-cli update --dry-run on a copy of the sample installation against the fixture
// catalogue: nothing the user has changes (files, their dates, the settings, the download folder,
// the temporary folders), and the files it names are the ones the real pass then writes and
// replaces, with the backup holding what it said.
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <gtest/gtest.h>

#include "install/zip_archive.h"
#include "support/fixture_server.h"
#include "support/sample_copy_test.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

// Every entry below folder with its content's hash and modification time.
QMap<QString, QString> stateBelow(const QString& folder) {
    QMap<QString, QString> state;
    for (const QString& relative : test::filesBelow(folder)) {
        const QString path = folder + u'/' + relative;
        const QByteArray hash = QCryptographicHash::hash(test::readFile(path), QCryptographicHash::Sha1);
        state.insert(relative, QString::fromLatin1(hash.toHex()) + u' ' +
                                   QString::number(QFileInfo(path).lastModified().toMSecsSinceEpoch()));
    }
    return state;
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

QStringList strings(const QJsonValue& value) {
    QStringList list;
    for (const QJsonValue& item : value.toArray())
        list << item.toString();
    return list;
}

class CliDryRun : public test::SampleCopyTest {
protected:
    void SetUp() override {
        test::SampleCopyTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (!test::requireMingw())
            GTEST_SKIP() << "the packages hold no real files without MinGW-w64";
    }

    test::CliResult cli(const QStringList& arguments, const QStringList& environment = {}) const {
        return test::runCli(
            QStringList{u"--wine-prefix"_s, prefix, u"--settings-dir"_s, settings, u"--json"_s} + arguments,
            environment, 120000);
    }
};

TEST_F(CliDryRun, WritesNothingAndNamesTheFilesThePassThenWritesAndReplaces) {
    test::FixtureServerProcess server;
    ASSERT_FALSE(server.base().isEmpty());
    ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, settingsText(server.base())));
    // A name taken in the download folder: the pass saves beside it, and the dry run says so.
    ASSERT_TRUE(test::writeFile(downloads + u"/sampack.zip"_s, "the user's own"));
    const QString scratch = m_dir.path() + u"/tmp"_s;
    ASSERT_TRUE(QDir().mkpath(scratch));

    QMap<QString, QString> before = stateBelow(m_dir.path());
    const test::CliResult dry =
        cli({u"update"_s, u"--dry-run"_s, u"--install"_s, u"--yes"_s, u"--all"_s}, {u"TMPDIR="_s + scratch});
    const std::string log = QByteArray(dry.out + "\n--- stderr:\n" + dry.err).toStdString();
    ASSERT_EQ(dry.exitCode, 0) << log;
    QMap<QString, QString> after = stateBelow(m_dir.path());
    // The private folder came and went inside the system's temporary folder; nothing stays.
    after.remove(u"tmp"_s);
    before.remove(u"tmp"_s);
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        EXPECT_EQ(it.value(), before.value(it.key())) << it.key().toStdString();
    EXPECT_EQ(after.keys(), before.keys());

    const QJsonObject document = QJsonDocument::fromJson(dry.out).object();
    EXPECT_TRUE(document.value(u"dryRun"_s).toBool());
    const QJsonArray requests = document.value(u"requests"_s).toArray();
    ASSERT_GE(requests.size(), 2) << log;
    QStringList writes, replaces, downloaded, archives;
    for (const QJsonValue& value : requests) {
        const QJsonObject request = value.toObject();
        SCOPED_TRACE(request.value(u"item"_s).toString().toStdString());
        EXPECT_EQ(request.value(u"result"_s).toString(), u"install"_s) << log;
        EXPECT_GT(request.value(u"size"_s).toInteger(), 0);
        downloaded << request.value(u"file"_s).toString();
        writes += strings(request.value(u"writes"_s));
        replaces += strings(request.value(u"replaces"_s));
        // PreInstallAction=1 saves every file it replaces, and no archive of the day is there yet.
        const QJsonObject backup = request.value(u"backup"_s).toObject();
        const QString itemDir = request.value(u"itemDir"_s).toString();
        QStringList replacedHere;
        for (const QString& file : strings(request.value(u"replaces"_s)))
            replacedHere << QDir(itemDir).relativeFilePath(file);
        EXPECT_EQ(sorted(strings(backup.value(u"adds"_s))), sorted(replacedHere));
        EXPECT_TRUE(strings(backup.value(u"keeps"_s)).isEmpty());
        archives << backup.value(u"archive"_s).toString();
    }
    EXPECT_TRUE(downloaded.contains(downloads + u"/sampack (1).zip"_s)) << log;

    const QMap<QString, QString> prefixBefore = stateBelow(prefix);
    const test::CliResult real = cli({u"update"_s, u"--install"_s, u"--yes"_s, u"--all"_s});
    ASSERT_EQ(real.exitCode, 0) << real.out.toStdString() << real.err.toStdString();
    const QMap<QString, QString> prefixAfter = stateBelow(prefix);

    QStringList added, changed;
    for (auto it = prefixAfter.cbegin(); it != prefixAfter.cend(); ++it) {
        const QString path = prefix + u'/' + it.key();
        if (QFileInfo(path).isDir())
            continue;
        if (!prefixBefore.contains(it.key()))
            added << path;
        else if (prefixBefore.value(it.key()) != it.value())
            changed << path;
    }
    QStringList newFiles = archives;
    for (const QString& file : writes) {
        if (!replaces.contains(file))
            newFiles << file;
    }
    EXPECT_EQ(sorted(added), sorted(newFiles));
    EXPECT_EQ(sorted(changed), sorted(replaces));
    for (const QJsonValue& value : requests) {
        const QJsonObject backup = value.toObject().value(u"backup"_s).toObject();
        EXPECT_EQ(sorted(ZipEntryNames(backup.value(u"archive"_s).toString()).value_or(QStringList())),
                  sorted(strings(backup.value(u"adds"_s))));
    }
    for (const QString& file : downloaded)
        EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    EXPECT_EQ(test::readFile(downloads + u"/sampack.zip"_s), "the user's own");
}

// A temporary directory the pass cannot unpack in fails the preview as it fails the pass.
TEST_F(CliDryRun, FailsWhereThePassFailsForItsTemporaryDirectory) {
    test::FixtureServerProcess server;
    ASSERT_FALSE(server.base().isEmpty());
    const QString blocked = m_dir.path() + u"/a-file"_s;
    ASSERT_TRUE(test::writeFile(blocked, "not a folder"));
    QByteArray text = settingsText(server.base());
    text.replace(QByteArray("TempDirectory=" + temp.toUtf8() + "/"),
                 QByteArray("TempDirectory=" + blocked.toUtf8() + "/unpack/"));
    ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, text));
    const QStringList update{u"update"_s, u"--install"_s, u"--yes"_s, u"sampack.wcx64"_s};
    const test::CliResult dry = cli(update + QStringList{u"--dry-run"_s});
    const test::CliResult real = cli(update);
    EXPECT_EQ(dry.exitCode, 1) << dry.out.toStdString() << dry.err.toStdString();
    EXPECT_EQ(real.exitCode, 1) << real.out.toStdString() << real.err.toStdString();
    for (const test::CliResult* run : {&dry, &real})
        EXPECT_TRUE(run->out.contains("temporary directory")) << run->out.toStdString();
}

TEST_F(CliDryRun, CarriesEarlierRequestsOfThePassIntoTheNextOnesInTheSameFolder) {
    // Demo Archive moved beside Sample Packer: both packages go into one folder on one day.
    const QString shared = prefix + u"/drive_c/totalcmd/plugins/wcx/sampack"_s;
    ASSERT_TRUE(QFile::rename(prefix + u"/drive_c/totalcmd/plugins/wcx/demoarc/demoarc.wcx"_s,
                              shared + u"/demoarc.wcx"_s));
    for (const QString& ini : findFiles(prefix, u"wincmd.ini"_s)) {
        QByteArray text = test::readFile(ini);
        text.replace("\\demoarc\\demoarc.wcx", "\\sampack\\demoarc.wcx");
        ASSERT_TRUE(test::writeFile(ini, text));
    }
    test::FixtureServerProcess server;
    ASSERT_FALSE(server.base().isEmpty());
    ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, settingsText(server.base())));
    const QStringList files{shared + u"/sampack.wcx64"_s, shared + u"/demoarc.wcx"_s};

    const test::CliResult dry =
        cli(QStringList{u"update"_s, u"--dry-run"_s, u"--install"_s, u"--yes"_s} + files);
    const std::string log = QByteArray(dry.out + "\n--- stderr:\n" + dry.err).toStdString();
    ASSERT_EQ(dry.exitCode, 0) << log;
    const QJsonArray requests = QJsonDocument::fromJson(dry.out).object().value(u"requests"_s).toArray();
    ASSERT_EQ(requests.size(), 2) << log;

    const QMap<QString, QString> before = stateBelow(shared);
    const test::CliResult real = cli(QStringList{u"update"_s, u"--install"_s, u"--yes"_s} + files);
    ASSERT_EQ(real.exitCode, 0) << real.out.toStdString() << real.err.toStdString();
    const QMap<QString, QString> after = stateBelow(shared);

    // A file replaces one that was there before the pass or that an earlier request wrote; the
    // day's archive keeps what earlier requests saved and ends up holding each entry once.
    QStringList present, saved, replaced;
    for (const QString& name : before.keys())
        present << shared + u'/' + name;
    QString archive;
    for (const QJsonValue& value : requests) {
        const QJsonObject request = value.toObject();
        SCOPED_TRACE(request.value(u"item"_s).toString().toStdString());
        ASSERT_EQ(request.value(u"result"_s).toString(), u"install"_s) << log;
        const QJsonObject backup = request.value(u"backup"_s).toObject();
        archive = backup.value(u"archive"_s).toString();
        EXPECT_EQ(sorted(strings(backup.value(u"keeps"_s))), sorted(saved));
        saved += strings(backup.value(u"adds"_s));
        QStringList expected;
        for (const QString& file : strings(request.value(u"writes"_s))) {
            if (present.contains(file))
                expected << file;
            else
                present << file;
        }
        EXPECT_EQ(sorted(strings(request.value(u"replaces"_s))), sorted(expected));
        replaced += expected;
    }
    EXPECT_EQ(sorted(ZipEntryNames(archive).value_or(QStringList())), sorted(saved));
    QStringList changed, replacedBefore, now;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (after.value(it.key()) != it.value())
            changed << shared + u'/' + it.key();
    }
    for (const QString& file : std::as_const(replaced)) {
        if (before.contains(QFileInfo(file).fileName()) && !replacedBefore.contains(file))
            replacedBefore << file;
    }
    EXPECT_EQ(sorted(changed), sorted(replacedBefore));
    for (const QString& name : after.keys())
        now << shared + u'/' + name;
    EXPECT_EQ(sorted(now), sorted(present << archive));
}

} // namespace
} // namespace quillon
