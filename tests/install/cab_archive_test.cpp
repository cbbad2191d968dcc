#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "install/cab_archive.h"
#include "install/zip_archive.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

bool runIn(const QString& dir, const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(dir);
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Total Commander's installer: a self-extracting ZIP whose payload holds INSTALL.CAB.
TEST(DecompressCabDisk, UnpacksTheInstallerCabinetWithItsFolders) {
    QTemporaryDir work;
    const QString src = work.filePath(u"src"_s);
    ASSERT_TRUE(test::writeFile(src + u"/TOTALCMD64.EXE"_s, QByteArray(300000, 'T')));
    ASSERT_TRUE(test::writeFile(src + u"/LANGUAGE/WCMD_DEU.LNG"_s, "deutsch"));
    ASSERT_TRUE(test::writeFile(src + u"/d/default.bar"_s, "bar"));
    ASSERT_TRUE(runIn(src, u"gcab"_s,
                      {u"-cz"_s, work.filePath(u"INSTALL.CAB"_s), u"TOTALCMD64.EXE"_s,
                       u"LANGUAGE/WCMD_DEU.LNG"_s, u"d/default.bar"_s}));
    ASSERT_TRUE(runIn(work.path(), u"zip"_s, {u"-q"_s, u"payload.zip"_s, u"INSTALL.CAB"_s}));
    ASSERT_TRUE(
        test::writeFile(work.filePath(u"tcmd.exe"_s),
                        "MZ"_ba + QByteArray(2046, '\0') + test::readFile(work.filePath(u"payload.zip"_s))));

    const QString package = work.filePath(u"temp/inst_tcmd"_s);
    ASSERT_TRUE(DecompressZipDisk(work.filePath(u"tcmd.exe"_s), package).ok);
    const ArchiveResult result = DecompressCabDisk(package + u"/INSTALL.CAB"_s, package + u"_cab"_s);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.filesWritten, 3);
    EXPECT_EQ(test::readFile(package + u"_cab/TOTALCMD64.EXE"_s), QByteArray(300000, 'T'));
    EXPECT_EQ(test::readFile(package + u"_cab/LANGUAGE/WCMD_DEU.LNG"_s), "deutsch");
    EXPECT_EQ(test::readFile(package + u"_cab/d/default.bar"_s), "bar");
}

TEST(DecompressCabDisk, DamagedCabinetFails) {
    QTemporaryDir work;
    const QString src = work.filePath(u"src"_s);
    ASSERT_TRUE(test::writeFile(src + u"/a.txt"_s, QByteArray(50000, 'a')));
    ASSERT_TRUE(runIn(src, u"gcab"_s, {u"-cz"_s, work.filePath(u"whole.cab"_s), u"a.txt"_s}));
    const QByteArray whole = test::readFile(work.filePath(u"whole.cab"_s));
    ASSERT_TRUE(test::writeFile(work.filePath(u"cut.cab"_s), whole.left(whole.size() - 100)));
    ASSERT_TRUE(test::writeFile(work.filePath(u"zip.cab"_s), "PK\3\4 not a cabinet"));

    for (const QString& name : {u"cut.cab"_s, u"zip.cab"_s, u"missing.cab"_s}) {
        const ArchiveResult result = DecompressCabDisk(work.filePath(name), work.filePath(u"out"_s));
        EXPECT_FALSE(result.ok) << name.toStdString();
        EXPECT_FALSE(result.error.isEmpty()) << name.toStdString();
    }
}

} // namespace
