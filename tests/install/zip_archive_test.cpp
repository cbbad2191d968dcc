#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>

#include "install/zip_archive.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

// Runs a packing tool in dir with a UTF-8 locale; fails the test when it does not succeed.
void runTool(const QString& dir, const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    ASSERT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    ASSERT_EQ(process.exitCode(), 0) << program.toStdString() << ": "
                                     << process.readAllStandardError().toStdString();
}

// A ZIP with arbitrary stored names, as a hostile package would carry them.
struct RawEntry {
    QByteArray name;
    QByteArray data;
    bool symlink = false;
};
void writeRawZip(const QString& path, const QList<RawEntry>& entries) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    ASSERT_EQ(archive_write_open_filename(a, QFile::encodeName(path).constData()), ARCHIVE_OK);
    for (const RawEntry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.constData());
        if (e.symlink) {
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, e.data.constData());
            archive_entry_set_perm(entry, 0777);
        } else {
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_perm(entry, 0644);
            archive_entry_set_size(entry, e.data.size());
        }
        ASSERT_EQ(archive_write_header(a, entry), ARCHIVE_OK);
        if (!e.symlink)
            archive_write_data(a, e.data.constData(), static_cast<size_t>(e.data.size()));
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
}

class ZipArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(work.isValid()); }
    QString at(const QString& relative) const { return work.filePath(relative); }

    // A small plugin package made by the zip tool, with UTF-8 names and an empty folder.
    QString makePackage() {
        const QString src = at(u"src"_s);
        EXPECT_TRUE(test::writeFile(src + u"/plugin.wcx"_s, "MZ\0\1plugin"_ba));
        EXPECT_TRUE(test::writeFile(src + u"/lang/Übersetzung.lng"_s, "[Deutsch]\r\n"));
        EXPECT_TRUE(test::writeFile(src + u"/読んで/readme.txt"_s, QByteArray(100000, 'r')));
        EXPECT_TRUE(QDir(src).mkpath(u"empty"_s));
        runTool(src, u"zip"_s, {u"-qr"_s, u"../package.zip"_s, u"."_s});
        return at(u"package.zip"_s);
    }

    QTemporaryDir work;
};

const QStringList PackageFiles = {u"empty"_s, u"lang/Übersetzung.lng"_s, u"plugin.wcx"_s,
                                  u"読んで/readme.txt"_s};

TEST_F(ZipArchiveTest, UnpacksAPackageWithItsFoldersAndUtf8Names) {
    const QString zip = makePackage();
    const ArchiveResult result = DecompressZipDisk(zip, at(u"out/inst_package"_s));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(test::filesBelow(at(u"out/inst_package"_s)), PackageFiles);
    EXPECT_EQ(test::readFile(at(u"out/inst_package/plugin.wcx"_s)), "MZ\0\1plugin"_ba);
    EXPECT_EQ(test::readFile(at(u"out/inst_package/読んで/readme.txt"_s)), QByteArray(100000, 'r'));
    EXPECT_EQ(result.filesWritten, 3);
}

TEST_F(ZipArchiveTest, UnpacksASelfExtractingInstaller) {
    const QString zip = makePackage();
    QByteArray stub = "MZ"_ba + QByteArray(4094, '\x90');
    ASSERT_TRUE(test::writeFile(at(u"tcmd.exe"_s), stub + test::readFile(zip)));
    runTool(work.path(), u"zip"_s, {u"-qA"_s, u"tcmd.exe"_s});
    // Without the offset adjustment too: installers in the wild are not always adjusted.
    ASSERT_TRUE(test::writeFile(at(u"raw.exe"_s), stub + test::readFile(zip)));

    for (const QString& name : {u"tcmd.exe"_s, u"raw.exe"_s}) {
        const QString out = at(u"out-"_s + name);
        const ArchiveResult result = DecompressZipDisk(at(name), out);
        EXPECT_TRUE(result.ok) << name.toStdString() << ": " << result.error.toStdString();
        EXPECT_EQ(test::filesBelow(out), PackageFiles) << name.toStdString();
    }
}

TEST_F(ZipArchiveTest, RefusesEntriesThatLeaveTheFolderAndUnpacksTheRest) {
    const QList<RawEntry> hostile = {
        {"good/plugin.wcx", "good"},
        {"../evil.dll", "evil"},
        {"a/../../b.dll", "evil"},
        {"/tmp/abs.dll", "evil"},
        {"C:\\x.dll", "evil"},
        {"..\\back.dll", "evil"},
        {"link", "../../../etc/passwd", true},
        {"good/after.txt", "after"},
    };
    writeRawZip(at(u"hostile.zip"_s), hostile);
    const QString out = at(u"deep/inst_hostile"_s);
    const ArchiveResult result = DecompressZipDisk(at(u"hostile.zip"_s), out);

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.refusedEntries.size(), 6) << result.refusedEntries.join(u"; "_s).toStdString();
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(test::filesBelow(out), (QStringList{u"good/after.txt"_s, u"good/plugin.wcx"_s}));
    EXPECT_EQ(test::filesBelow(at(u"deep"_s)),
              (QStringList{u"inst_hostile/good/after.txt"_s, u"inst_hostile/good/plugin.wcx"_s}));
    EXPECT_FALSE(QFileInfo::exists(u"/tmp/abs.dll"_s));
}

TEST_F(ZipArchiveTest, RefusesSymbolicLinksStoredByTheZipTool) {
    const QString src = at(u"src"_s);
    ASSERT_TRUE(test::writeFile(src + u"/plugin.wcx"_s, "plugin"));
    ASSERT_TRUE(QFile::link(u"/etc"_s, src + u"/etc-link"_s));
    runTool(src, u"zip"_s, {u"-qry"_s, u"../links.zip"_s, u"."_s});

    const ArchiveResult result = DecompressZipDisk(at(u"links.zip"_s), at(u"out"_s));
    EXPECT_FALSE(result.ok);
    ASSERT_EQ(result.refusedEntries.size(), 1);
    EXPECT_TRUE(result.refusedEntries.first().startsWith(u"etc-link"_s));
    EXPECT_EQ(test::filesBelow(at(u"out"_s)), QStringList{u"plugin.wcx"_s});
}

TEST_F(ZipArchiveTest, DamagedOrMissingArchivesFailWithAReason) {
    const QByteArray whole = test::readFile(makePackage());
    ASSERT_TRUE(test::writeFile(at(u"head.zip"_s), whole.left(whole.size() / 2)));
    QByteArray flipped = whole;
    // Inside the compressed text after the first "readme.txt" local header and its extra fields.
    const qsizetype readme = flipped.indexOf("readme.txt");
    for (qsizetype i = readme + 45; i < readme + 50; ++i)
        flipped[i] = static_cast<char>(flipped[i] ^ 0x55);
    ASSERT_TRUE(test::writeFile(at(u"flipped.zip"_s), flipped));
    ASSERT_TRUE(test::writeFile(at(u"text.zip"_s), "<html>not found</html>"));

    for (const QString& name : {u"head.zip"_s, u"flipped.zip"_s, u"text.zip"_s, u"missing.zip"_s}) {
        const ArchiveResult result = DecompressZipDisk(at(name), at(u"out-"_s + name));
        EXPECT_FALSE(result.ok) << name.toStdString();
        EXPECT_FALSE(result.error.isEmpty()) << name.toStdString();
    }
}

TEST_F(ZipArchiveTest, ReadsOneEntryIntoMemory) {
    const QString zip = makePackage();
    const std::pair<QString, QByteArray> cases[] = {
        {u"plugin.wcx"_s, "MZ\0\1plugin"_ba},
        {u"PLUGIN.WCX"_s, "MZ\0\1plugin"_ba},
        {u"lang\\übersetzung.lng"_s, "[Deutsch]\r\n"_ba},
        {u"読んで/readme.txt"_s, QByteArray(100000, 'r')},
        {u"database.dat"_s, {}},
        {u"lang"_s, {}},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(DecompressZip(name, zip), expected) << name.toStdString();
    EXPECT_TRUE(DecompressZip(u"plugin.wcx"_s, at(u"missing.zip"_s)).isEmpty());
}

TEST_F(ZipArchiveTest, BackupHoldsFilesUnderTheirRelativePaths) {
    const QString base = at(u"tc/plugins/wcx/arc"_s);
    const QStringList files = {base + u"/arc.wcx"_s, base + u"/lang/Français.lng"_s, base + u"/arc.wcx"_s};
    ASSERT_TRUE(test::writeFile(files[0], "old plugin"));
    ASSERT_TRUE(test::writeFile(files[1], "old language"));
    const QString name = BackupArchiveName(QDate(2024, 3, 7));
    EXPECT_EQ(name, u"backup_07-03-2024_QN.zip"_s);

    const ArchiveResult first = ZipBackupFile(base, name, base, files);
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_EQ(first.filesWritten, 2);
    ASSERT_TRUE(DecompressZipDisk(base + u'/' + name, at(u"check1"_s)).ok);
    EXPECT_EQ(test::filesBelow(at(u"check1"_s)), (QStringList{u"arc.wcx"_s, u"lang/Français.lng"_s}));
    EXPECT_EQ(test::readFile(at(u"check1/lang/Français.lng"_s)), "old language");

    // Written again under the same name: only the second set remains.
    const ArchiveResult second = ZipBackupFile(base, name, base, {files[1]});
    ASSERT_TRUE(second.ok) << second.error.toStdString();
    ASSERT_TRUE(DecompressZipDisk(base + u'/' + name, at(u"check2"_s)).ok);
    EXPECT_EQ(test::filesBelow(at(u"check2"_s)), QStringList{u"lang/Français.lng"_s});

    // Names are stored as UTF-8 that other tools read.
    QProcess lister;
    lister.start(u"unzip"_s, {u"-Z1"_s, base + u'/' + name});
    ASSERT_TRUE(lister.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(lister.readAllStandardOutput()).trimmed(), u"lang/Français.lng"_s);
}

TEST_F(ZipArchiveTest, FailedBackupKeepsThePreviousArchive) {
    const QString base = at(u"item"_s);
    ASSERT_TRUE(test::writeFile(base + u"/a.dll"_s, "a"));
    ASSERT_TRUE(ZipBackupFile(at(u"backups"_s), u"b.zip"_s, base, {base + u"/a.dll"_s}).ok);
    const QByteArray before = test::readFile(at(u"backups/b.zip"_s));

    const QStringList failing[] = {
        {base + u"/a.dll"_s, base + u"/missing.dll"_s},
        {base + u"/a.dll"_s, at(u"outside.dll"_s)},
    };
    ASSERT_TRUE(test::writeFile(at(u"outside.dll"_s), "x"));
    for (const QStringList& files : failing) {
        const ArchiveResult result = ZipBackupFile(at(u"backups"_s), u"b.zip"_s, base, files);
        EXPECT_FALSE(result.ok) << files.join(u", "_s).toStdString();
        EXPECT_FALSE(result.error.isEmpty());
        EXPECT_EQ(test::readFile(at(u"backups/b.zip"_s)), before);
    }
    EXPECT_EQ(QDir(at(u"backups"_s)).entryList(QDir::Files), QStringList{u"b.zip"_s});
}

} // namespace
