// quillon-cli update --install on copies of the sample installation against the fixture
// catalogue, for what a plain plugin update does not show: Total Commander's own package in a
// German and another installation, the plugin database, the program replacing itself, a package
// whose entry leaves its folder, and a target that cannot be written.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "install/rar_library.h"
#include "support/fixture_server.h"
#include "support/rar_writer.h"
#include "support/sample_copy_test.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const QString kCli = QStringLiteral(QUILLON_CLI_PATH);

using Members = QMap<QString, QByteArray>;

bool writeZip(const QString& path, const Members& members) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    bool ok = archive_write_open_filename(a, QFile::encodeName(path).constData()) == ARCHIVE_OK;
    for (auto it = members.cbegin(); it != members.cend(); ++it) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, it.key().toUtf8().constData());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0755);
        archive_entry_set_size(e, it.value().size());
        ok = ok && archive_write_header(a, e) == ARCHIVE_OK &&
             archive_write_data(a, it.value().constData(), static_cast<size_t>(it.value().size())) ==
                 it.value().size();
        archive_entry_free(e);
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}

Members readZip(const QString& path) {
    Members members;
    archive* a = archive_read_new();
    archive_read_support_format_zip(a);
    if (archive_read_open_filename(a, QFile::encodeName(path).constData(), 65536) == ARCHIVE_OK) {
        archive_entry* e = nullptr;
        while (archive_read_next_header(a, &e) == ARCHIVE_OK) {
            QByteArray data(static_cast<qsizetype>(archive_entry_size(e)), '\0');
            if (archive_read_data(a, data.data(), static_cast<size_t>(data.size())) == data.size())
                members.insert(QString::fromUtf8(archive_entry_pathname(e)), data);
        }
    }
    archive_read_free(a);
    return members;
}

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QJsonObject json;

    std::string log() const { return QByteArray(out + "\n--- stderr:\n" + err).toStdString(); }
    QJsonArray requests() const { return json.value(u"requests"_s).toArray(); }
};

CliRun runProgram(const QString& program, const QStringList& arguments, const QStringList& environment = {}) {
    const test::CliResult r = test::runProgram(program, arguments, environment, 120000);
    return CliRun{r.exitCode, r.out, r.err, QJsonDocument::fromJson(r.out).object()};
}

class CliInstall : public test::SampleCopyTest {
protected:
    void SetUp() override {
        test::SampleCopyTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (!test::requireMingw())
            GTEST_SKIP() << "the packages hold no real files without MinGW-w64";
        content = m_dir.path() + u"/content"_s;
        tcDir = prefix + u"/drive_c/totalcmd"_s;
        sampackDir = tcDir + u"/plugins/wcx/sampack"_s;
        ASSERT_TRUE(test::copyTree(test::FixtureServerProcess::generatedContent(), content));
    }

    // Starts the server on this test's content and points the settings at it.
    void serve() {
        m_server = std::make_unique<test::FixtureServerProcess>(content);
        ASSERT_FALSE(m_server->base().isEmpty());
        ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, settingsText(m_server->base())));
    }

    // Catalogue records in addition to the sample's.
    void addRecords(const QStringList& records) {
        const QString page = content + u"/get_plugins_list.php"_s;
        QByteArray text = test::readFile(page);
        const qsizetype end = text.indexOf("</pre>");
        ASSERT_GT(end, 0);
        text.insert(end, (u' ' + records.join(u"| "_s) + u'|').toUtf8());
        ASSERT_TRUE(test::writeFile(page, text));
    }

    CliRun cli(const QStringList& arguments, const QString& program = kCli,
               const QStringList& environment = {}) const {
        return runProgram(program,
                          QStringList{u"--wine-prefix"_s, prefix, u"--settings-dir"_s, settings} + arguments,
                          environment);
    }
    CliRun update(const QStringList& files, const QString& program = kCli,
                  const QStringList& environment = {}) const {
        return cli(QStringList{u"update"_s, u"--install"_s, u"--yes"_s, u"--json"_s} + files, program,
                   environment);
    }
    // The check's row for a file name; empty when it lists none.
    static QJsonObject row(const CliRun& check, const QString& fileName) {
        for (const QJsonValue& item : check.json.value(u"items"_s).toArray()) {
            const QString path = item.toObject().value(u"path"_s).toString();
            if (QFileInfo(path).fileName().compare(fileName, Qt::CaseInsensitive) == 0 || path == fileName)
                return item.toObject();
        }
        return {};
    }
    static QString result(const CliRun& run) {
        return run.requests().first().toObject().value(u"result"_s).toString();
    }
    static QString reason(const CliRun& run) {
        return run.requests().first().toObject().value(u"reason"_s).toString();
    }

    std::unique_ptr<test::FixtureServerProcess> m_server;
    QString content, tcDir, sampackDir;
};

// The packages bring the catalogue's versions: once they are in, the check finds nothing newer.
TEST_F(CliInstall, AfterInstallingEveryUpdateTheCheckFindsThemUpToDate) {
    serve();
    const CliRun updated = update({u"--all"_s});
    EXPECT_EQ(updated.exitCode, 0) << updated.log();
    ASSERT_EQ(updated.requests().size(), 4) << updated.log();
    for (const QJsonValue& request : updated.requests())
        EXPECT_EQ(request.toObject().value(u"result"_s).toString(), u"installed"_s) << updated.log();

    const CliRun checked = cli({u"check"_s, u"--json"_s});
    ASSERT_EQ(checked.exitCode, 0) << checked.log();
    for (const QString& file :
         {u"TOTALCMD64.EXE"_s, u"sampack.wcx64"_s, u"demoarc.wcx"_s, u"samfield.wdx64"_s}) {
        const QJsonObject item = row(checked, file);
        EXPECT_EQ(item.value(u"state"_s).toString(), u"ok"_s) << file.toStdString() << "\n" << checked.log();
        EXPECT_EQ(item.value(u"status"_s).toString(), u"OK."_s) << file.toStdString();
    }
    EXPECT_TRUE(row(checked, u"sampack.wcx64"_s).value(u"installed"_s).toString().startsWith(u"2.2"_s));
    EXPECT_EQ(checked.json.value(u"counts"_s).toObject().value(u"update"_s).toInt(), 0) << checked.log();
}

struct TcLanguageCase {
    const char* name;
    QString languageIni;     // wincmd.ini's LanguageIni
    QByteArray keyboardText; // what KEYBOARD.TXT and LANGUAGE/TCHELP.TXT start with afterwards
    QByteArray helpText;
};

void PrintTo(const TcLanguageCase& c, std::ostream* os) {
    *os << c.name;
}

class CliInstallTotalCommander : public CliInstall, public ::testing::WithParamInterface<TcLanguageCase> {};

TEST_P(CliInstallTotalCommander, GetsItsLanguageFlattenedKeepsTheButtonBarAndBacksUp) {
    const TcLanguageCase& c = GetParam();
    const QString ini = prefix + u"/drive_c/users/quillon/AppData/Roaming/GHISLER/wincmd.ini"_s;
    QByteArray iniText = test::readFile(ini);
    ASSERT_TRUE(iniText.contains("LanguageIni=WCMD_DEU.LNG"));
    iniText.replace("LanguageIni=WCMD_DEU.LNG", QByteArray("LanguageIni=" + c.languageIni.toLatin1()));
    ASSERT_TRUE(test::writeFile(ini, iniText));
    const QByteArray userBar = "[Buttonbar]\r\nButtoncount=0\r\n";
    ASSERT_TRUE(test::writeFile(tcDir + u"/default.bar"_s, userBar));
    const QByteArray oldExe = test::readFile(tcDir + u"/TOTALCMD64.EXE"_s);
    serve();

    const CliRun updated = update({u"TOTALCMD64.EXE"_s});
    ASSERT_EQ(updated.requests().size(), 1) << updated.log();
    EXPECT_EQ(result(updated), u"installed"_s) << updated.log();
    EXPECT_EQ(updated.exitCode, 0) << updated.log();

    EXPECT_TRUE(test::readFile(tcDir + u"/KEYBOARD.TXT"_s).startsWith(c.keyboardText));
    EXPECT_TRUE(test::readFile(tcDir + u"/LANGUAGE/TCHELP.TXT"_s).startsWith(c.helpText));
    for (const QString& folder : {u"/d"_s, u"/e"_s, u"/LANGUAGE/d"_s, u"/LANGUAGE/e"_s})
        EXPECT_FALSE(QFileInfo::exists(tcDir + folder)) << folder.toStdString();
    EXPECT_EQ(test::readFile(tcDir + u"/default.bar"_s), userBar);
    EXPECT_NE(test::readFile(tcDir + u"/TOTALCMD64.EXE"_s), oldExe);

    const QStringList backups = findFiles(tcDir, u"backup_*_QN.zip"_s);
    ASSERT_EQ(backups.size(), 1);
    const Members saved = readZip(backups.first());
    EXPECT_EQ(saved.value(u"TOTALCMD64.EXE"_s), oldExe) << saved.keys().join(u' ').toStdString();
    EXPECT_TRUE(saved.contains(u"HISTORY.TXT"_s));
    EXPECT_FALSE(saved.contains(u"default.bar"_s));

    const CliRun checked = cli({u"check"_s, u"--json"_s});
    const QJsonObject tc = row(checked, u"TOTALCMD64.EXE"_s);
    EXPECT_EQ(tc.value(u"state"_s).toString(), u"ok"_s) << checked.log();
    EXPECT_NE(tc.value(u"installed"_s).toString(), u"11.51"_s);
    EXPECT_EQ(tc.value(u"installed"_s).toString(), tc.value(u"latest"_s).toString());
}

INSTANTIATE_TEST_SUITE_P(
    Languages, CliInstallTotalCommander,
    ::testing::Values(TcLanguageCase{"German", u"WCMD_DEU.LNG"_s, "Tastenk", "Hilfe"},
                      TcLanguageCase{"French", u"LANGUAGE\\WCMD_FRA.LNG"_s, "Total Commander's", "Help"},
                      TcLanguageCase{"English", u"WCMD_ENG.LNG"_s, "Total Commander's", "Help"}),
    [](const ::testing::TestParamInfo<TcLanguageCase>& param) { return std::string(param.param.name); });

// The built-in plugin database with a later date, as the catalogue would serve it.
QByteArray newerDatabase(const QString& date) {
    QByteArray plugins = QByteArray::fromBase64(
        test::readFile(QStringLiteral(QUILLON_SOURCE_DIR "/resources/databases/DB_PLUGINS")));
    const qsizetype at = plugins.indexOf("Update");
    const qsizetype lineEnd = plugins.indexOf('\n', at);
    if (at < 0 || lineEnd < 0)
        return {};
    plugins.replace(at, lineEnd - at, QByteArray("Update=" + date.toLatin1() + '\r'));
    QTemporaryDir dir;
    const QString path = dir.path() + u"/database.dat"_s;
    const Members members{{u"db_plugins.db"_s, plugins.toBase64()},
                          {u"db_crc32.db"_s, test::readFile(QStringLiteral(
                                                 QUILLON_SOURCE_DIR "/resources/databases/DB_CRC32"))}};
    return writeZip(path, members) ? test::readFile(path) : QByteArray();
}

TEST_F(CliInstall, DatabaseUpdateReplacesTheFileBesideTheSettingsAndOffersTheReload) {
    const QByteArray database = newerDatabase(u"2027-01-15"_s);
    ASSERT_FALSE(database.isEmpty());
    ASSERT_TRUE(test::writeFile(content + u"/packages/tcplugindb.zip"_s, database));
    addRecords({u"tcplugindb|Plugin database|15.01.2027|15.01.2027|other|x32|x32"_s});
    serve();

    const CliRun updated = update({u"tcplugindb"_s});
    ASSERT_EQ(updated.requests().size(), 1) << updated.log();
    EXPECT_EQ(result(updated), u"installed"_s) << updated.log();
    EXPECT_EQ(updated.exitCode, 0) << updated.log();
    EXPECT_EQ(test::readFile(settings + u"/database.dat"_s), database);
    EXPECT_TRUE(updated.err.contains("The Internal Plugin Database (IPD) has been successfully updated!"))
        << updated.log();
    EXPECT_TRUE(updated.err.contains("Would you like to reload the list & search for updates?"))
        << updated.log();

    // --yes said yes to the reload: the list was built again with the new database and checked.
    const QJsonObject reload = updated.json.value(u"reload"_s).toObject();
    ASSERT_FALSE(reload.isEmpty()) << updated.log();
    const CliRun checked = cli({u"check"_s, u"--json"_s});
    const QJsonObject databaseRow = row(checked, u"tcplugindb"_s);
    EXPECT_EQ(databaseRow.value(u"installed"_s).toString(), u"15.01.2027"_s) << checked.log();
    EXPECT_EQ(databaseRow.value(u"state"_s).toString(), u"ok"_s);
    EXPECT_EQ(reload.value(u"items"_s).toInt(),
              checked.json.value(u"counts"_s).toObject().value(u"total"_s).toInt());
    EXPECT_EQ(reload.value(u"updatable"_s).toInt(),
              checked.json.value(u"counts"_s).toObject().value(u"update"_s).toInt());
}

// The version marker of a copy of the program with another version in it.
QByteArray withVersion(QByteArray program, const QByteArray& from, const QByteArray& to) {
    const QByteArray prefix = "QUILLON-VERSION:";
    const QByteArray marker = prefix + from + '\0';
    int replaced = 0;
    for (qsizetype at = program.indexOf(marker); at >= 0; at = program.indexOf(marker, at + 1)) {
        program.replace(at + prefix.size(), from.size(), to);
        ++replaced;
    }
    return replaced > 0 ? program : QByteArray();
}

// The new program is renamed over the running one: at no moment is there no program at its path.
TEST_F(CliInstall, SelfUpdateReplacesTheRunningProgramInPlace) {
    const QByteArray current = QUILLON_VERSION;
    QByteArray newer = current;
    ASSERT_NE(newer.front(), '9');
    newer.front() = '9'; // same length: the marker is patched in place
    const QString programDir = m_dir.path() + u"/program"_s;
    const QString program = programDir + u"/quillon-cli"_s;
    ASSERT_TRUE(QDir().mkpath(programDir));
    ASSERT_TRUE(QFile::copy(kCli, program));
    const QByteArray original = test::readFile(program);
    const QByteArray replacement = withVersion(original, current, newer);
    ASSERT_FALSE(replacement.isEmpty()) << "no version marker in " << kCli.toStdString();

    ASSERT_TRUE(writeZip(content + u"/packages/quillon.zip"_s, {{u"quillon-cli"_s, replacement}}));
    addRecords({u"quillon|Quillon|"_s + QString::fromLatin1(newer) + u"|01.12.2026|util|x32+x64|x64"_s});
    ASSERT_TRUE(test::writeFile(settings + u"/userdb.ini"_s, "[quillon-cli]\r\nWebsiteID=quillon\r\n"));
    serve();

    const CliRun before = cli({u"check"_s, u"--json"_s}, program);
    const QJsonObject own = row(before, u"quillon-cli"_s);
    EXPECT_EQ(own.value(u"group"_s).toString(), u"QN"_s) << before.log();
    EXPECT_EQ(own.value(u"installed"_s).toString(), QString::fromLatin1(current));
    EXPECT_EQ(own.value(u"state"_s).toString(), u"update"_s);

    const CliRun updated = update({u"quillon-cli"_s}, program);
    ASSERT_EQ(updated.requests().size(), 1) << updated.log();
    EXPECT_EQ(result(updated), u"installed"_s) << updated.log();
    EXPECT_EQ(updated.exitCode, 0) << updated.log();
    EXPECT_FALSE(QFileInfo::exists(programDir + u"/quillon-cli_old"_s));
    EXPECT_EQ(test::readFile(program), replacement);
    EXPECT_TRUE(QFileInfo(program).isExecutable());
    EXPECT_TRUE(updated.err.contains("You need to close Quillon before continuing this operation!"))
        << updated.log();
    EXPECT_TRUE(updated.json.value(u"restartRequired"_s).toBool()) << updated.log();

    const CliRun after = cli({u"check"_s, u"--json"_s}, program);
    EXPECT_EQ(row(after, u"quillon-cli"_s).value(u"installed"_s).toString(), QString::fromLatin1(newer))
        << after.log();
    EXPECT_EQ(row(after, u"quillon-cli"_s).value(u"state"_s).toString(), u"ok"_s);
}

// An unattended run over a plain-HTTP catalogue must not swap the program for whatever it
// serves: only when told to, and only where the user may write.
TEST_F(CliInstall, SelfUpdateNeedsYesAndAProgramTheUserMayReplace) {
    const QByteArray current = QUILLON_VERSION;
    QByteArray newer = current;
    newer.front() = '9';
    const QString programDir = m_dir.path() + u"/program"_s;
    const QString program = programDir + u"/quillon-cli"_s;
    ASSERT_TRUE(QDir().mkpath(programDir));
    ASSERT_TRUE(QFile::copy(kCli, program));
    const QByteArray original = test::readFile(program);
    ASSERT_TRUE(writeZip(content + u"/packages/quillon.zip"_s,
                         {{u"quillon-cli"_s, withVersion(original, current, newer)}}));
    addRecords({u"quillon|Quillon|"_s + QString::fromLatin1(newer) + u"|01.12.2026|util|x32+x64|x64"_s});
    ASSERT_TRUE(test::writeFile(settings + u"/userdb.ini"_s, "[quillon-cli]\r\nWebsiteID=quillon\r\n"));
    serve();

    const struct {
        const char* name;
        bool yes;
        bool readOnly;
        const char* reason;
    } cases[] = {
        {"without --yes", false, false, "not replaced without confirmation"},
        {"in a folder the user cannot write", true, true, "not yours to replace"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<test::ReadOnlyFolder> readOnly;
        if (c.readOnly) {
            readOnly.emplace(programDir);
            QUILLON_SKIP_UNLESS(readOnly->ok(), "cannot make a folder read-only here");
        }
        // Installing after download is on, as a user who runs this from cron has it.
        QByteArray text = settingsText(m_server->base(), "[Additional]\nOneTimeUpdateQuestion=True\n");
        text.replace("[Configuration]\n", "[Configuration]\nInstallAfterDL=True\n");
        ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, text));
        const QStringList arguments{u"update"_s, u"--install"_s, u"--json"_s, u"quillon-cli"_s};
        const CliRun updated = cli(c.yes ? arguments + QStringList{u"--yes"_s} : arguments, program);
        ASSERT_EQ(updated.requests().size(), 1) << updated.log();
        EXPECT_EQ(result(updated), u"failed"_s) << updated.log();
        EXPECT_TRUE(reason(updated).contains(QString::fromLatin1(c.reason))) << updated.log();
        EXPECT_EQ(test::readFile(program), original);
        EXPECT_FALSE(QFileInfo::exists(programDir + u"/quillon-cli_old"_s));
        EXPECT_FALSE(updated.json.value(u"restartRequired"_s).toBool());
    }
}

TEST_F(CliInstall, PackageWithAnEntryLeavingItsFolderIsRefusedWhole) {
    const Members package = readZip(content + u"/packages/sampack.zip"_s);
    ASSERT_TRUE(package.contains(u"sampack.wcx64"_s));
    Members evil = package;
    evil.insert(u"../evil.dll"_s, "MZ not yours");
    ASSERT_TRUE(writeZip(content + u"/packages/sampack.zip"_s, evil));
    const QByteArray before = test::readFile(sampackDir + u"/sampack.wcx64"_s);
    serve();

    const CliRun updated = update({u"sampack.wcx64"_s});
    ASSERT_EQ(updated.requests().size(), 1) << updated.log();
    EXPECT_EQ(result(updated), u"failed"_s) << updated.log();
    EXPECT_TRUE(reason(updated).contains(u"evil.dll"_s)) << updated.log();
    EXPECT_EQ(updated.exitCode, 1);
    EXPECT_TRUE(findFiles(m_dir.path(), u"evil.dll"_s).isEmpty());
    EXPECT_EQ(test::readFile(sampackDir + u"/sampack.wcx64"_s), before);
    EXPECT_FALSE(QFileInfo::exists(sampackDir + u"/pluginst.inf"_s));
    EXPECT_TRUE(findFiles(prefix, u"backup_*_QN.zip"_s).isEmpty());
    EXPECT_TRUE(findFiles(m_dir.path() + u"/temp"_s, u"*"_s).isEmpty());
}

// Zeros compress a thousandfold: a small package that would fill the disk.
TEST_F(CliInstall, PackageThatUnpacksBeyondTheLimitsIsRefusedBeforeWriting) {
    const struct {
        const char* name;
        qint64 zeros;
        QByteArray limits;
        const char* reason;
    } cases[] = {
        {"larger than MaxUnpackedMiB", 3 * 1024 * 1024, "MaxUnpackedMiB=2\nMaxUnpackRatio=0\n",
         "MaxUnpackedMiB"},
        {"ratio over MaxUnpackRatio", 4 * 1024 * 1024, "", "MaxUnpackRatio"},
    };
    Members package = readZip(content + u"/packages/sampack.zip"_s);
    ASSERT_TRUE(package.contains(u"sampack.wcx64"_s));
    const QByteArray before = test::readFile(sampackDir + u"/sampack.wcx64"_s);
    serve();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        package.insert(u"padding.bin"_s, QByteArray(c.zeros, '\0'));
        ASSERT_TRUE(writeZip(content + u"/packages/sampack.zip"_s, package));
        ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s,
                                    settingsText(m_server->base(), "[Limits]\n" + c.limits)));

        const CliRun updated = update({u"sampack.wcx64"_s});
        ASSERT_EQ(updated.requests().size(), 1) << updated.log();
        EXPECT_EQ(result(updated), u"failed"_s) << updated.log();
        EXPECT_TRUE(reason(updated).contains(QString::fromLatin1(c.reason))) << updated.log();
        EXPECT_EQ(updated.exitCode, 1);
        EXPECT_EQ(test::readFile(sampackDir + u"/sampack.wcx64"_s), before);
        EXPECT_TRUE(findFiles(m_dir.path(), u"padding.bin"_s).isEmpty());
    }
}

// A RAR package is unpacked by the system's unrar library (here the stand-in, on the loader's
// path as the system's would be), never by one lying in Total Commander's folder of the prefix.
TEST_F(CliInstall, RarPackageUsesTheSystemLibraryNeverOnePlantedInThePrefix) {
    const Members zip = readZip(content + u"/packages/sampack.zip"_s);
    ASSERT_TRUE(zip.contains(u"sampack.wcx64"_s));
    QList<test::RarMember> members;
    for (auto it = zip.cbegin(); it != zip.cend(); ++it)
        members.append({it.key().toUtf8(), it.value()});
    ASSERT_TRUE(test::writeFile(content + u"/packages/sampack.rar"_s, test::storedRar(members)));
    const QString systemDir = m_dir.path() + u"/system-lib"_s;
    ASSERT_TRUE(QDir().mkpath(systemDir));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLON_FAKE_UNRAR_PATH), systemDir + u"/libunrar.so.5"_s));
    for (const QString& name : {u"libunrar.so"_s, u"unrar.dll"_s, u"UNRAR.DLL"_s})
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLON_PLANTED_UNRAR_PATH), tcDir + u'/' + name));
    const QString mark = m_dir.path() + u"/planted-library-ran"_s;
    serve();
    ASSERT_TRUE(test::writeFile(settings + u"/userdb.ini"_s,
                                "[sampack.wcx64]\r\nDirectLink=" + m_server->base().toUtf8() +
                                    "packages/sampack.rar\r\n"));

    const struct {
        const char* name;
        QStringList environment;
        bool installed;
    } cases[] = {
        {"no unrar library on the system", {}, false},
        {"the system's library", {u"LD_LIBRARY_PATH="_s + systemDir}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.installed && !rar::SystemLibrary().isEmpty())
            continue; // this machine has the real one
        const CliRun updated = update({u"sampack.wcx64"_s}, kCli,
                                      c.environment + QStringList{u"QUILLON_PLANTED_MARK="_s + mark});
        ASSERT_EQ(updated.requests().size(), 1) << updated.log();
        EXPECT_EQ(result(updated), c.installed ? u"installed"_s : u"failed"_s) << updated.log();
        EXPECT_FALSE(QFileInfo::exists(mark));
        EXPECT_EQ(test::readFile(sampackDir + u"/history.txt"_s) == zip.value(u"history.txt"_s), c.installed);
    }
}

TEST_F(CliInstall, ReadOnlyTargetIsReportedAndTheRestOfThePackageInstalled) {
    Members package = readZip(content + u"/packages/sampack.zip"_s);
    ASSERT_TRUE(package.contains(u"sampack.wcx64"_s));
    package.insert(u"lang/sampack.lng"_s, "[Deutsch]\r\n");
    ASSERT_TRUE(writeZip(content + u"/packages/sampack.zip"_s, package));
    const QString locked = sampackDir + u"/lang/sampack.lng"_s;
    ASSERT_TRUE(test::writeFile(locked, "[English]\r\n"));
    test::ReadOnlyFolder readOnly(sampackDir + u"/lang"_s);
    QUILLON_SKIP_UNLESS(readOnly.ok(), "cannot make a folder read-only here");
    serve();

    const CliRun updated = update({u"sampack.wcx64"_s});
    ASSERT_EQ(updated.requests().size(), 1) << updated.log();
    EXPECT_EQ(result(updated), u"failed"_s) << updated.log();
    EXPECT_TRUE(reason(updated).contains(locked)) << updated.log();
    EXPECT_EQ(updated.exitCode, 1);
    EXPECT_TRUE(updated.err.contains("Quillon was unable to write the following files")) << updated.log();
    EXPECT_TRUE(updated.err.contains(locked.toUtf8())) << updated.log();

    EXPECT_EQ(test::readFile(locked), "[English]\r\n");
    for (const QString& file : {u"sampack.wcx64"_s, u"history.txt"_s, u"pluginst.inf"_s})
        EXPECT_EQ(test::readFile(sampackDir + u'/' + file), package.value(file)) << file.toStdString();
}

} // namespace
} // namespace quillon
