#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "inventory/text_version_scan.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

struct ScanCase {
    const char* text;
    bool history;
    const char* expected;
};

class VersionScan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(VersionScan, FindsTheFirstVersion) {
    const ScanCase& c = GetParam();
    EXPECT_EQ(ScanTextForVersion(QString::fromUtf8(c.text), c.history), QString::fromUtf8(c.expected))
        << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VersionScan,
    ::testing::Values(
        ScanCase{"2.5 (12.03.2010)\r\n- first release", true, "2.5"},
        // a bare number counts only in a history file
        ScanCase{"2.5 (12.03.2010)\r\n- first release", false, ""},
        ScanCase{"Version: 1.2b\r\n", false, "1.2b"}, ScanCase{"VERSION 4.1 released", false, "4.1"},
        ScanCase{"Changes in v1.5_2 and more", false, "1.5"}, ScanCase{"Release v 3.1 final", false, "3.1"},
        ScanCase{"The plugin 2.0.1 adds", false, "2.0.1"},
        ScanCase{"at most v1.2.3.4.5.6", false, "1.2.3.4."}, ScanCase{"v1.2\r\nNext line", false, "1.2"},
        ScanCase{"v1.2\tfoo", false, "1.2foo"},
        // the lowest position wins, whatever test matches later
        ScanCase{"Foo 1.0 replaces v2.0", false, "1.0"},
        // Total Commander versions named as a requirement give nothing, and the scan stops there
        ScanCase{"Requires Total Commander 6.5 or later.\r\nVersion: 1.2", false, ""},
        ScanCase{"Needs TC 6.50\r\nv1.3", false, ""}, ScanCase{"7.0 final", true, ""},
        ScanCase{"6.51 fixes", true, "6.51"},
        // a test never reads past the end
        ScanCase{"see v1.", false, ""}, ScanCase{"", true, ""}, ScanCase{"no numbers here", true, ""}));

class TextFiles : public ::testing::Test {
protected:
    QString file(const QString& relative, const QByteArray& content, const QDateTime& modified = {}) {
        const QString path = dir.path() + u'/' + relative;
        EXPECT_TRUE(test::writeFile(path, content));
        if (modified.isValid()) {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::ReadWrite) &&
                        f.setFileTime(modified, QFileDevice::FileModificationTime));
        }
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(TextFiles, MaskOrderPrefersTheFileNamedAfterThePlugin) {
    file(u"readme.txt"_s, "v9.9");
    file(u"history.txt"_s, "1.1");
    const QString own = file(u"doc/MyPlugin_notes.TXT"_s, "v3.3");
    // The pass's cache, shared by the folder's plugins, must choose as the disk search does.
    TextFileSearchCache cache;
    for (TextFileSearchCache* through : {static_cast<TextFileSearchCache*>(nullptr), &cache}) {
        EXPECT_EQ(FindVersionTextFiles(dir.path(), u"MyPlugin"_s, {}, through), QStringList{own});
        EXPECT_EQ(VersionFromTextFiles(dir.path(), u"MyPlugin"_s, {}, through).version, u"3.3"_s);
        // without it, the history comes before the read-me
        EXPECT_EQ(VersionFromTextFiles(dir.path(), u"Other"_s, {}, through).version, u"1.1"_s);
        EXPECT_EQ(VersionFromTextFiles(dir.path(), u"Other"_s, u"readme.txt"_s, through).version, u"9.9"_s);
    }
}

TEST_F(TextFiles, NewestCandidateIsRead) {
    file(u"old/history.txt"_s, "1.0", QDateTime(QDate(2020, 1, 1), QTime(12, 0)));
    const QString newer = file(u"new/History.txt"_s, "2.0", QDateTime(QDate(2021, 6, 1), QTime(12, 0)));
    const TextFileVersion found = VersionFromTextFiles(dir.path(), u"plug"_s, {});
    EXPECT_EQ(found.filePath, newer);
    EXPECT_EQ(found.version, u"2.0"_s);
}

TEST_F(TextFiles, NamedVersionFileWinsAndFallsBackWhenAbsent) {
    file(u"history.txt"_s, "1.1");
    const QString named = file(u"sub/changes.log"_s, "Version 4.2");
    EXPECT_EQ(VersionFromTextFiles(dir.path(), u"plug"_s, u"Changes.log"_s).filePath, named);
    EXPECT_EQ(VersionFromTextFiles(dir.path(), u"plug"_s, u"missing.txt"_s).version, u"1.1"_s);
}

TEST_F(TextFiles, NothingFoundGivesNothing) {
    file(u"notes.doc"_s, "v1.0");
    const TextFileVersion found = VersionFromTextFiles(dir.path(), u"plug"_s, {});
    EXPECT_TRUE(found.filePath.isEmpty());
    EXPECT_TRUE(found.version.isEmpty());
}

TEST_F(TextFiles, ByteOrderMarkDecidesTheEncoding) {
    // UTF-16 without the mark would read as bytes with NULs in between and never match.
    QByteArray utf16("\xFF\xFE", 2);
    for (const char c : QByteArray("Version: 5.4"))
        utf16.append(c).append('\0');
    file(u"history.txt"_s, utf16);
    EXPECT_EQ(VersionFromTextFiles(dir.path(), u"plug"_s, {}).version, u"5.4"_s);
}

} // namespace
} // namespace quillon
