// quillon-cli where the user's data is at stake: full disks under every folder the program
// writes, damaged packages, names that differ only in letter case, a temporary folder given as a
// relative path, a symbolic link inside the plugin's folder, a download name that is taken, and a
// user database in another code page. Nothing the user had may be lost or reported as done.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>

#include <unistd.h>

#include "support/fixture_server.h"
#include "support/sample_copy_test.h"
#include "support/test_support.h"
#include "support/zip_writer.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

// A tmpfs of the given size mounted over path for the test's life (root only).
class SmallFileSystem {
public:
    SmallFileSystem(QString path, int kib) : m_path(std::move(path)) {
        if (geteuid() != 0)
            return;
        m_mounted = QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=%1k"_s.arg(kib),
                                                   u"tmpfs"_s, m_path}) == 0;
    }
    ~SmallFileSystem() {
        if (m_mounted)
            QProcess::execute(u"umount"_s, {m_path});
    }
    bool mounted() const { return m_mounted; }
    // Fills what is left, so that the next write fails.
    bool fill() const {
        QFile filler(m_path + u"/filler"_s);
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        return true;
    }

private:
    QString m_path;
    bool m_mounted = false;
};

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QJsonObject json;

    std::string log() const { return QByteArray(out + "\n--- stderr:\n" + err).toStdString(); }
    QJsonObject request() const { return json.value(u"requests"_s).toArray().first().toObject(); }
    QString result() const { return request().value(u"result"_s).toString(); }
    QString reason() const { return request().value(u"reason"_s).toString(); }
};

using Members = test::ZipMembers;
using test::writeZip;

class CliDataSafety : public test::SampleCopyTest {
protected:
    void SetUp() override {
        test::SampleCopyTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        content = m_dir.path() + u"/content"_s;
        ASSERT_TRUE(test::copyTree(test::FixtureServerProcess::generatedContent(), content));
        const QString plugin = findFiles(prefix, u"sampack.wcx64"_s).value(0);
        ASSERT_FALSE(plugin.isEmpty());
        sampackDir = QFileInfo(plugin).absolutePath();
        pluginBefore = test::readFile(plugin);
    }

    void serve(const QByteArray& more = {}, const QString& tempDirectory = {}) {
        server = std::make_unique<test::FixtureServerProcess>(content);
        ASSERT_FALSE(server->base().isEmpty());
        QByteArray text = settingsText(server->base(), more);
        if (!tempDirectory.isEmpty())
            text.replace(QByteArray("TempDirectory=" + temp.toUtf8() + "/"),
                         QByteArray("TempDirectory=" + tempDirectory.toUtf8()));
        ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, text));
    }
    void package(const Members& members, const char* compression = "deflate") {
        ASSERT_TRUE(writeZip(content + u"/packages/sampack.zip"_s, members, compression));
    }

    CliRun cli(const QStringList& arguments, const QStringList& environment = {}) const {
        const test::CliResult r =
            test::runCli(QStringList{u"--wine-prefix"_s, prefix, u"--settings-dir"_s, settings} + arguments,
                         environment, 120000);
        return CliRun{r.exitCode, r.out, r.err, QJsonDocument::fromJson(r.out).object()};
    }
    CliRun update(const QStringList& environment = {}) const {
        return cli({u"update"_s, u"--install"_s, u"--yes"_s, u"--json"_s, u"sampack.wcx64"_s}, environment);
    }
    bool pluginUnchanged() const { return test::readFile(sampackDir + u"/sampack.wcx64"_s) == pluginBefore; }
    // Nothing half-written anywhere below the test's folders.
    QStringList leftovers() const { return findFiles(m_dir.path(), u"*.quillon-tmp"_s); }

    QString content, sampackDir;
    QByteArray pluginBefore;
    std::unique_ptr<test::FixtureServerProcess> server;
};

struct FullDiskCase {
    const char* name;
    enum class Folder { Settings, Downloads, Temporary, Plugin } folder;
    int kib;
    bool fill;            // filled to the last byte, or merely too small for the package
    const char* fileName; // what the report names
    bool list;            // "list" (which only saves the settings) instead of the update
};

void PrintTo(const FullDiskCase& c, std::ostream* os) {
    *os << c.name;
}

class CliFullDisk : public CliDataSafety, public ::testing::WithParamInterface<FullDiskCase> {};

TEST_P(CliFullDisk, KeepsWhatWasThereAndSaysTheDiskIsFull) {
    const FullDiskCase& c = GetParam();
    serve();
    using F = FullDiskCase::Folder;
    const QString folder = c.folder == F::Settings    ? settings
                           : c.folder == F::Downloads ? downloads
                           : c.folder == F::Temporary ? temp
                                                      : sampackDir;
    // What the folder held goes onto the small file system with it.
    const QString saved = m_dir.path() + u"/saved"_s;
    ASSERT_TRUE(test::copyTree(folder, saved));
    SmallFileSystem small(folder, c.kib);
    QUILLON_SKIP_UNLESS(small.mounted(), "a tmpfs cannot be mounted here (root is needed)");
    ASSERT_TRUE(test::copyTree(saved, folder));
    ASSERT_TRUE(!c.fill || small.fill());
    const QStringList before = test::filesBelow(folder);

    const CliRun run = c.list ? cli({u"list"_s}) : update();
    EXPECT_EQ(run.exitCode, 1) << run.log();
    const QByteArray said = run.out + run.err;
    EXPECT_TRUE(said.contains("disk full")) << run.log();
    EXPECT_TRUE(said.contains(c.fileName)) << run.log();
    EXPECT_NE(run.result(), u"installed"_s) << run.log();
    EXPECT_TRUE(pluginUnchanged());
    EXPECT_EQ(test::filesBelow(folder), before);
    for (const QString& file : test::filesBelow(saved))
        EXPECT_EQ(test::readFile(folder + u'/' + file), test::readFile(saved + u'/' + file))
            << file.toStdString();
    EXPECT_EQ(leftovers(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, CliFullDisk,
    ::testing::Values(FullDiskCase{"Settings", FullDiskCase::Folder::Settings, 64, true, "Quillon.ini", true},
                      FullDiskCase{"Downloads", FullDiskCase::Folder::Downloads, 8, false, "sampack", false},
                      FullDiskCase{"Temporary", FullDiskCase::Folder::Temporary, 8, false, "sampack.wcx64",
                                   false},
                      FullDiskCase{"Plugin", FullDiskCase::Folder::Plugin, 64, true, "backup_", false}),
    [](const ::testing::TestParamInfo<FullDiskCase>& param) { return std::string(param.param.name); });

// The CRC-32 fields of the entry (local header, data descriptor, central directory) made wrong:
// the data no longer matches, whichever way it was packed.
QByteArray withWrongCrc(QByteArray zip, const QByteArray& data) {
    const uLong crc =
        crc32(0L, reinterpret_cast<const Bytef*>(data.constData()), static_cast<uInt>(data.size()));
    QByteArray stored(4, '\0');
    for (int i = 0; i < 4; ++i)
        stored[i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    QByteArray wrong = stored;
    wrong[0] = static_cast<char>(wrong[0] ^ 0x5A);
    return zip.replace(stored, wrong);
}

TEST_F(CliDataSafety, PackageWithAnEntryFailingItsCrcInstallsNothing) {
    for (const char* compression : {"store", "deflate"}) {
        SCOPED_TRACE(compression);
        const QByteArray plugin = "MZ damaged in transit";
        package({{u"readme.txt"_s, "fine"}, {u"sampack.wcx64"_s, plugin}}, compression);
        const QString zip = content + u"/packages/sampack.zip"_s;
        const QByteArray damaged = withWrongCrc(test::readFile(zip), plugin);
        ASSERT_NE(damaged, test::readFile(zip));
        ASSERT_TRUE(test::writeFile(zip, damaged));
        serve();

        const CliRun run = update();
        EXPECT_EQ(run.result(), u"failed"_s) << run.log();
        EXPECT_TRUE(run.reason().contains(u"sampack.wcx64"_s) && run.reason().contains(u"CRC"_s))
            << run.log();
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(pluginUnchanged());
        EXPECT_FALSE(QFileInfo::exists(sampackDir + u"/readme.txt"_s) &&
                     test::readFile(sampackDir + u"/readme.txt"_s) == "fine");
        EXPECT_TRUE(findFiles(prefix, u"backup_*_QN.zip"_s).isEmpty());
        EXPECT_TRUE(test::filesBelow(temp).isEmpty());
        server.reset();
    }
}

TEST_F(CliDataSafety, EntryInAnotherLetterCaseReplacesTheInstalledFile) {
    package({{u"SAMPACK.WCX64"_s, "MZ new build"}, {u"History.TXT"_s, "2.2"}});
    serve();
    const CliRun run = update();
    EXPECT_EQ(run.result(), u"installed"_s) << run.log();
    EXPECT_EQ(QDir(sampackDir).entryList(QDir::Files),
              (QStringList{u"backup_"_s + QDate::currentDate().toString(u"dd-MM-yyyy"_s) + u"_QN.zip"_s,
                           u"history.txt"_s, u"readme.txt"_s, u"sampack.wcx64"_s}));
    EXPECT_EQ(test::readFile(sampackDir + u"/sampack.wcx64"_s), "MZ new build");
    EXPECT_EQ(test::readFile(sampackDir + u"/history.txt"_s), "2.2");
}

TEST_F(CliDataSafety, TemporaryDirectoryFromTheHomeFolderOrRefusedWhenRelative) {
    const QString home = m_dir.path() + u"/home"_s;
    ASSERT_TRUE(QDir().mkpath(home));
    struct Case {
        QString tempDirectory;
        bool installs;
    };
    // The refusal first: it leaves the plugin as it was for the second case.
    for (const Case& c : {Case{u"reltmp"_s, false}, Case{u"~/qtmp/"_s, true}}) {
        SCOPED_TRACE(c.tempDirectory.toStdString());
        serve({}, c.tempDirectory);
        const CliRun run = update({u"HOME="_s + home});
        EXPECT_EQ(run.result(), c.installs ? u"installed"_s : u"failed"_s) << run.log();
        EXPECT_EQ(pluginUnchanged(), !c.installs) << run.log();
        if (!c.installs) {
            EXPECT_TRUE(run.reason().contains(u"not a full path"_s)) << run.log();
        }
        // Nothing was unpacked beside the plugin or where the program happened to start.
        for (const QString& stray : {u"reltmp"_s, u"~"_s, u"inst_sampack"_s})
            EXPECT_FALSE(QFileInfo::exists(sampackDir + u'/' + stray) || QFileInfo::exists(stray))
                << stray.toStdString();
        server.reset();
    }
}

TEST_F(CliDataSafety, FileForASubfolderThatIsASymbolicLinkKeepsThePackageOut) {
    const QString elsewhere = m_dir.path() + u"/elsewhere"_s;
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, sampackDir + u"/lang"_s));
    package({{u"sampack.wcx64"_s, "MZ new build"}, {u"lang/sampack.lng"_s, "[English]"}});
    serve();

    const CliRun run = update();
    EXPECT_EQ(run.result(), u"failed"_s) << run.log();
    EXPECT_TRUE(run.reason().contains(u"symbolic link"_s)) << run.log();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(pluginUnchanged());
    EXPECT_TRUE(test::filesBelow(elsewhere).isEmpty());
}

TEST_F(CliDataSafety, DownloadNeverReplacesAFileOfTheUsers) {
    ASSERT_TRUE(test::writeFile(downloads + u"/sampack.zip"_s, "my own sampack.zip"));
    serve();
    const CliRun run = update();
    EXPECT_EQ(run.result(), u"installed"_s) << run.log();
    EXPECT_EQ(QFileInfo(run.request().value(u"file"_s).toString()).fileName(), u"sampack (1).zip"_s);
    EXPECT_EQ(test::readFile(downloads + u"/sampack.zip"_s), "my own sampack.zip");
    EXPECT_FALSE(pluginUnchanged());
}

TEST_F(CliDataSafety, UserDatabaseInAnotherCodePageIsLeftAsItIs) {
    serve();
    const QByteArray userDb =
        "[sampack.wcx64]\r\nDescription=Packer f\xFCr \xC4rger\r\n; caf\xE9 \xE2\x82\xAC\r\n";
    const QString path = settings + u"/userdb.ini"_s;
    ASSERT_TRUE(test::writeFile(path, userDb));
    const QDateTime written = QFileInfo(path).lastModified().addSecs(-60);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(written, QFileDevice::FileModificationTime));
    file.close();
    for (int run = 0; run < 2; ++run) {
        const CliRun listed = cli({u"list"_s});
        EXPECT_EQ(listed.exitCode, 0) << listed.log();
    }
    EXPECT_EQ(test::readFile(path), userDb);
    EXPECT_EQ(QFileInfo(path).lastModified(), written);
}

} // namespace
} // namespace quillon
