#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/common/files.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

TEST(PathText, NamesParentsAndPrefixes) {
    EXPECT_EQ(FileBaseName(u"C:\\A\\Quillon.exe"_s), u"Quillon"_s);
    EXPECT_EQ(FileBaseName(u"/opt/tc/plugins/arc.tar.wcx"_s), u"arc.tar"_s);
    EXPECT_EQ(FileBaseName(u"noext"_s), u"noext"_s);
    EXPECT_EQ(ParentDirectory(u"/a/b/c/"_s), u"/a/b"_s);
    EXPECT_EQ(ParentDirectory(u"/a/b/c"_s), u"/a/b"_s);
    EXPECT_EQ(ParentDirectory(u"/a"_s), u"/"_s);
    EXPECT_EQ(RelativePath(u"/tc/plugins"_s, u"/tc/utils/x.exe"_s), u"../utils/x.exe"_s);

    const std::tuple<QString, QString, QString> prefixes[] = {
        {u"C:\\A\\B\\x.dll"_s, u"c:\\a\\c\\y.dll"_s, u"C:\\A\\"_s},
        {u"C:\\x.dll"_s, u"D:\\x.dll"_s, u""_s},
        {u"C:x"_s, u"C:y"_s, u"C:"_s},
        {u"/home/u/.wine/drive_c/tc/"_s, u"/home/u/.wine/drive_c/TC/wincmd.ini"_s,
         u"/home/u/.wine/drive_c/tc/"_s},
        {u"/opt/abc/x"_s, u"/opt/abd/x"_s, u"/opt/"_s},
        {u"C:\\A/B\\x"_s, u"C:/A\\B/y"_s, u"C:\\A/B\\"_s},
    };
    for (const auto& [a, b, expected] : prefixes)
        EXPECT_EQ(CommonPathPrefix(a, b), expected) << a.toStdString() << " " << b.toStdString();
}

TEST(IsValidDirectoryPath, FollowsTheWindowsRuleAndAcceptsAbsoluteHostPaths) {
    const std::pair<QString, bool> cases[] = {
        {u"C:"_s, true},
        {u"C:\\"_s, true},
        {u"c:\\Tools\\TC"_s, true},
        {u"\\\\server\\share"_s, true},
        {u"C:\\Tools\\\\x"_s, false},
        {u"C:\\To?ls"_s, false},
        {u"C:\\a|b"_s, false},
        {u"C:\\a/b"_s, false},
        {u"Tools\\x"_s, false},
        {u"1:\\x"_s, false},
        {u"\\\\"_s, false},
        {u""_s, false},
        {u"/opt/total commander/"_s, true},
        {u"/"_s, true},
        {u"relative/dir"_s, false},
        {u"/bad"_s + QChar(0) + u"x"_s, false},
    };
    for (const auto& [path, valid] : cases)
        EXPECT_EQ(IsValidDirectoryPath(path), valid) << path.toStdString();

    EXPECT_TRUE(HasValidFileNameChars(u"C:\\dir?\\file.zip"_s)) << "only the name part counts";
    EXPECT_FALSE(HasValidFileNameChars(u"/tmp/a*b.zip"_s));
    EXPECT_FALSE(HasValidFileNameChars(u"/tmp/a\"b.zip"_s));
    EXPECT_FALSE(HasValidFileNameChars(u"/tmp/a\tb.zip"_s));
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    void write(const QString& relative, const QByteArray& content = "x") {
        ASSERT_TRUE(test::writeFile(path(relative), content));
    }
    QTemporaryDir m_dir;
};

TEST_F(FilesTest, FindFilesRecursiveNeverFollowsLinksNorLoops) {
    write(u"tc/plugins/wcx/zip.wcx"_s);
    write(u"tc/plugins/wcx/ZIP64.WCX"_s);
    write(u"tc/plugins/wlx/view.wlx"_s);
    write(u"tc/readme"_s);
    write(u"tc/.hidden/h.wcx"_s);
    write(u"outside/secret.wcx"_s);
    // A prefix's dosdevices/z: points at "/"; a link back up would loop; one points outside.
    ASSERT_TRUE(QFile::link(u"/"_s, path(u"tc/z:"_s)));
    ASSERT_TRUE(QFile::link(path(u"tc"_s), path(u"tc/plugins/loop"_s)));
    ASSERT_TRUE(QFile::link(path(u"outside"_s), path(u"tc/plugins/out"_s)));
    ASSERT_TRUE(QFile::link(path(u"outside/secret.wcx"_s), path(u"tc/linked.wcx"_s)));

    QStringList found{u"kept"_s};
    FindFilesRecursive(path(u"tc/"_s), u"*.wcx"_s, true, found);
    EXPECT_EQ(found, (QStringList{u"kept"_s, path(u"tc/linked.wcx"_s), path(u"tc/.hidden/h.wcx"_s),
                                  path(u"tc/plugins/wcx/zip.wcx"_s), path(u"tc/plugins/wcx/ZIP64.WCX"_s)}));

    QStringList flat;
    FindFilesRecursive(path(u"tc"_s), u"*.*"_s, false, flat);
    EXPECT_EQ(flat, (QStringList{path(u"tc/linked.wcx"_s), path(u"tc/readme"_s)}));

    const QDateTime stamp(QDate(2021, 6, 7), QTime(12, 0));
    QFile file(path(u"tc/readme"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();
    QStringList dated;
    FindFilesRecursive(path(u"tc"_s), u"readme"_s, false, dated, true);
    EXPECT_EQ(dated, QStringList{u"20210607|"_s + path(u"tc/readme"_s)});

    QStringList subdirs;
    ListSubdirectories(path(u"tc/plugins"_s), subdirs);
    EXPECT_EQ(subdirs, (QStringList{path(u"tc/plugins/loop"_s), path(u"tc/plugins/out"_s),
                                    path(u"tc/plugins/wcx"_s), path(u"tc/plugins/wlx"_s)}));
}

TEST_F(FilesTest, DeleteDirectoryTreeRemovesLinksButNotTheirTargets) {
    write(u"keep/precious.txt"_s);
    write(u"tree/a/b/file.txt"_s);
    ASSERT_TRUE(QFile::link(path(u"keep"_s), path(u"tree/a/link"_s)));
    ASSERT_TRUE(QFile::link(path(u"keep/precious.txt"_s), path(u"tree/filelink"_s)));
    ASSERT_TRUE(QFile::link(path(u"keep"_s), path(u"toplink"_s)));

    EXPECT_TRUE(DeleteDirectoryTree(path(u"toplink"_s)));
    EXPECT_FALSE(QFileInfo(path(u"toplink"_s)).isSymLink());
    EXPECT_TRUE(DeleteDirectoryTree(path(u"tree"_s)));
    EXPECT_FALSE(QFileInfo::exists(path(u"tree"_s)));
    EXPECT_EQ(test::readFile(path(u"keep/precious.txt"_s)), QByteArray("x"));
    EXPECT_TRUE(DeleteDirectoryTree(path(u"never-was"_s)));
}

TEST_F(FilesTest, ForceDeleteAndMoveReplacing) {
    write(u"ro.dll"_s);
    QFile::setPermissions(path(u"ro.dll"_s), QFileDevice::ReadOwner);
    EXPECT_TRUE(ForceDeleteFile(path(u"ro.dll"_s)));
    EXPECT_FALSE(QFileInfo::exists(path(u"ro.dll"_s)));
    EXPECT_TRUE(ForceDeleteFile(path(u"missing.dll"_s)));
    write(u"dir/x"_s);
    QString error;
    EXPECT_FALSE(ForceDeleteFile(path(u"dir"_s), &error));
    EXPECT_FALSE(error.isEmpty());

    write(u"new.dll"_s, "new");
    write(u"old.dll"_s, "old");
    EXPECT_FALSE(MoveFileReplacing(path(u"new.dll"_s), path(u"old.dll"_s), false));
    EXPECT_EQ(test::readFile(path(u"old.dll"_s)), QByteArray("old"));
    EXPECT_TRUE(MoveFileReplacing(path(u"new.dll"_s), path(u"old.dll"_s), true));
    EXPECT_EQ(test::readFile(path(u"old.dll"_s)), QByteArray("new"));
    EXPECT_FALSE(QFileInfo::exists(path(u"new.dll"_s)));
    EXPECT_FALSE(MoveFileReplacing(path(u"gone.dll"_s), path(u"old.dll"_s), true));
    EXPECT_EQ(test::readFile(path(u"old.dll"_s)), QByteArray("new"));
}

TEST_F(FilesTest, MoveFileReplacingCrossesFileSystems) {
    // /dev/shm is a tmpfs on Linux; the temporary folder usually is not.
    QTemporaryDir other(u"/dev/shm/quillon-test-XXXXXX"_s);
    if (!other.isValid())
        GTEST_SKIP() << "no second file system";
    write(u"pkg.zip"_s, "payload");
    const QString target = other.filePath(u"pkg.zip"_s);
    ASSERT_TRUE(test::writeFile(target, "old"));
    EXPECT_TRUE(MoveFileReplacing(path(u"pkg.zip"_s), target, true));
    EXPECT_EQ(test::readFile(target), QByteArray("payload"));
    EXPECT_FALSE(QFileInfo::exists(path(u"pkg.zip"_s)));
    EXPECT_FALSE(QFileInfo::exists(target + u".quillon-move"_s));
}

TEST_F(FilesTest, DirectoryProbesLeaveNothingBehind) {
    EXPECT_TRUE(IsDirectoryEmpty(m_dir.path()));
    EXPECT_TRUE(IsDirectoryWritable(m_dir.path()));
    EXPECT_TRUE(IsDirectoryEmpty(m_dir.path()));
    EXPECT_FALSE(IsDirectoryEmpty(path(u"missing"_s)));
    EXPECT_FALSE(IsDirectoryWritable(path(u"missing"_s)));

    write(u"chk.tmp"_s, "mine");
    EXPECT_FALSE(IsDirectoryWritable(m_dir.path()));
    EXPECT_EQ(test::readFile(path(u"chk.tmp"_s)), QByteArray("mine"));
    write(u".hidden"_s);
    QFile::remove(path(u"chk.tmp"_s));
    EXPECT_FALSE(IsDirectoryEmpty(m_dir.path()));

    write(u"ro/x"_s);
    QFile::remove(path(u"ro/x"_s));
    test::ReadOnlyFolder readOnly(path(u"ro"_s));
    QUILLON_SKIP_UNLESS(readOnly.ok(), "cannot make a folder read-only here");
    EXPECT_FALSE(IsDirectoryWritable(path(u"ro"_s)));
}

TEST_F(FilesTest, ReadTextFileHonoursBomAndJoinsLinesWithCrLf) {
    const std::pair<QByteArray, QString> cases[] = {
        {"a\nb\r\nc", u"a\r\nb\r\nc"_s},
        {"caf\xe9\r\x80", u"caf\u00e9\r\n\u20ac"_s},
        {"\xef\xbb\xbf"
         "caf\xc3\xa9\n",
         u"caf\u00e9\r\n"_s},
        {QByteArray("\xff\xfe"
                    "a\0\n\0\xe9\0",
                    8),
         u"a\r\n\u00e9"_s},
        {"", u""_s},
    };
    int n = 0;
    for (const auto& [bytes, text] : cases) {
        const QString file = path(u"t%1.txt"_s.arg(n++));
        write(QFileInfo(file).fileName(), bytes);
        bool ok = false;
        EXPECT_EQ(ReadTextFile(file, &ok), text) << bytes.toHex().toStdString();
        EXPECT_TRUE(ok);
    }
    bool ok = true;
    EXPECT_EQ(ReadTextFile(path(u"missing.txt"_s), &ok), QString());
    EXPECT_FALSE(ok);
}

TEST_F(FilesTest, NullBytesAndUnrarLibrary) {
    write(u"text"_s, "plain text");
    write(u"empty"_s, "");
    write(u"binary"_s, QByteArray(70000, 'a') + QByteArray(1, '\0'));
    EXPECT_TRUE(FileHasNoNullBytes(path(u"text"_s)));
    EXPECT_TRUE(FileHasNoNullBytes(path(u"empty"_s)));
    EXPECT_FALSE(FileHasNoNullBytes(path(u"binary"_s)));
    EXPECT_FALSE(FileHasNoNullBytes(path(u"missing"_s)));

    EXPECT_EQ(FindUnrarLibrary(m_dir.path()), QString());
#ifndef Q_OS_WIN
    // A native library planted in a folder (Total Commander's in a Wine prefix) is never taken.
    write(u"libunrar.so"_s);
    EXPECT_EQ(FindUnrarLibrary(m_dir.path() + u'/'), QString());
#endif
}

} // namespace
