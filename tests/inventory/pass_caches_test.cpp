#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/common/files.h"
#include "inventory/executable_read_ahead.h"
#include "inventory/identification_fixture.h"
#include "inventory/text_version_scan.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

// The pass's directory snapshot must find exactly what a search on the disk finds, in the same
// order, whatever the mask and however odd the tree.
class TreeSnapshot : public ::testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        const QString root = dir->path() + u"/plain"_s;
        const QDateTime older(QDate(2019, 5, 2), QTime(12, 0));
        for (const char* name :
             {"History.txt", "readme_en.txt", "ReadMe.EN", "changes.htm", "CHANGELOG.ru", "version", "noext",
              ".hidden_history.txt", "plug.wcx", "doc/history_old.txt", "doc/Deep/VERSION.info",
              "Doc2/readme.txt", "doc/über_history.txt", "a[b].txt", "x.y.z"}) {
            const QString path = root + u'/' + QString::fromUtf8(name);
            ASSERT_TRUE(test::writeFile(path, "v1.0"));
            if (QByteArray(name).startsWith("doc/")) {
                QFile f(path);
                ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                            f.setFileTime(older, QFileDevice::FileModificationTime));
            }
        }
        // Links: a file link counts, a broken one does not, directory links are never entered.
        QFile::link(root + u"/History.txt"_s, root + u"/linked_history.txt"_s);
        QFile::link(root + u"/gone.txt"_s, root + u"/broken_history.txt"_s);
        QFile::link(root + u"/doc"_s, root + u"/doc_link"_s);
        QFile::link(root, root + u"/doc/Deep/loop"_s);
        // Names that differ only in letter case, whose order the directory listing leaves open.
        for (const char* name : {"clash/History.txt", "clash/history.TXT", "clash/sub/HISTORY.txt"})
            ASSERT_TRUE(test::writeFile(dir->path() + u'/' + QString::fromUtf8(name), "v1.0"));
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }
    static inline QTemporaryDir* dir = nullptr;
};

TEST_P(TreeSnapshot, FindsWhatTheDiskSearchFinds) {
    const QString mask = QString::fromUtf8(GetParam());
    const QStringList starts = {dir->path() + u"/plain"_s, dir->path() + u"/plain/"_s,
                                dir->path() + u"/clash"_s};
    for (const QString& start : starts) {
        QStringList onDisk;
        FindFilesRecursive(start, mask, true, onDisk, true);
        TextFileSearchCache cache;
        EXPECT_EQ(cache.datedMatches(start, mask), onDisk) << GetParam();
        // the second look comes from memory and must not differ
        EXPECT_EQ(cache.datedMatches(start, mask), onDisk) << GetParam();
        QStringList plain;
        FindFilesRecursive(start, mask, true, plain);
        QStringList fromSnapshot;
        FileTreeListing(start).findFiles(mask, fromSnapshot);
        EXPECT_EQ(fromSnapshot, plain) << GetParam();
    }
    // A folder's listing cut from the whole tree's: only where that walk went through it whole.
    const FileTreeListing whole(dir->path() + u"/plain"_s);
    for (const char* sub : {"doc", "doc/Deep/", "Doc2"}) {
        const QString start = dir->path() + u"/plain/"_s + QString::fromLatin1(sub);
        QStringList onDisk;
        FindFilesRecursive(start, mask, true, onDisk, true);
        QStringList cut;
        const std::optional<FileTreeListing> part = whole.subtree(start);
        ASSERT_TRUE(part) << sub;
        part->findFiles(mask, cut, true);
        EXPECT_EQ(cut, onDisk) << GetParam() << " in " << sub;
    }
    for (const QString& notWalked :
         QStringList{dir->path() + u"/plain/doc_link"_s, dir->path() + u"/clash"_s, dir->path()})
        EXPECT_FALSE(whole.subtree(notWalked)) << notWalked.toStdString();
    EXPECT_FALSE(FileTreeListing(dir->path()).subtree(dir->path() + u"/plain"_s)) << "a tree with case twins";
}

INSTANTIATE_TEST_SUITE_P(Masks, TreeSnapshot,
                         ::testing::Values("*history*.txt", "*history*.htm*", "*change*.ru*", "*read*me*.en*",
                                           "*readme*en*.txt", "*version*", "*.*", "", "*", "?oext",
                                           "a[b].txt", "[ah]*.txt", "*ÜBER*", ".hidden*", "doc/*.txt", "*.y",
                                           "*.TXT", "*.info", "*über*.txt", "nothing.txt"));

class PassCaches : public test::IdentificationFixture {
protected:
    QStringList names() const {
        QStringList result;
        for (const UpdateItem& item : list.rows())
            result.append(item.Name + u" | "_s + item.InstalledVersion);
        return result;
    }
};

// Rows named through the caption index come out as rows named by comparing with every row:
// clashes in other letter case or another extension, hidden rows in between, and a list whose
// first row is a plugin rather than Total Commander.
TEST_F(PassCaches, CaptionsMatchTheFullComparison) {
    struct Item {
        const char* file;
        const char* onlineName;
    };
    const Item items[] = {
        {"plugins/a/alpha.wcx", "Shared"},  {"plugins/b/beta.wcx", "shared"},
        {"plugins/c/gamma.WCX", "SHARED"},  {"plugins/d/delta.wcx64", "Shared"},
        {"plugins/e/Shared.wcx", "Shared"}, {"plugins/f/hidden.wcx", "Shared"},
        {"plugins/g/eps.wdx", "Straße"},    {"plugins/h/zeta.wdx", "STRASSE"},
        {"plugins/i/eta.wdx", "straße"},    {"plugins/j/theta.wcx", ""},
        {"plugins/k/iota.wcx", ""},
    };
    QStringList paths;
    for (const Item& item : items) {
        const QString relative = QString::fromLatin1(item.file);
        const bool hidden = relative.contains(u"hidden"_s);
        paths.append(install(hidden ? "no_version_64.dll" : "us_english_1252_32.dll", relative));
        if (*item.onlineName)
            userPluginInfo.setValue(QFileInfo(relative).fileName(), u"OnlineName"_s,
                                    QString::fromUtf8(item.onlineName));
    }
    options.treatDateAsVer = false; // the row without any version goes away
    for (const bool withTcRow : {true, false}) {
        QStringList expected;
        for (const bool cached : {false, true}) {
            list.resetForPass();
            if (withTcRow)
                list.addRow(u"Total Commander"_s, u"11.0"_s, tcDir + u"/TOTALCMD.EXE"_s, ItemGroup::TC);
            ItemIdentifier& identifier = this->identifier();
            if (cached)
                identifier.usePassCaches();
            for (const QString& path : std::as_const(paths))
                identifier.GetPluginInformation(1, path);
            if (!cached)
                expected = names();
            else
                EXPECT_EQ(names(), expected) << "TC row " << withTcRow;
        }
        EXPECT_EQ(list.rowCount(), paths.size() - (withTcRow ? 0 : 1)) << "one row hidden";
    }
}

// The snapshot belongs to one pass: a text file written after it is seen by the refresh of a row
// and by the next pass.
TEST_F(PassCaches, FilesWrittenAfterThePassAreSeen) {
    const QString path = install("no_version_64.dll", u"plugins/bar/bar.wdx"_s);
    options.treatDateAsVer = false;
    options.autoHideInvalid = false;
    ItemIdentifier& pass = identifier();
    pass.usePassCaches();
    const int row = pass.GetPluginInformation(4, path);
    ASSERT_EQ(row, 0);
    EXPECT_EQ(list.row(row).InstalledVersion, u"-"_s);

    text(u"plugins/bar/doc/history.txt"_s, "2.5 (01.02.2020)\r\n");
    ASSERT_TRUE(pass.RefreshPluginInfo(path, row, {}, false));
    EXPECT_EQ(list.row(row).InstalledVersion, u"2.5"_s);

    list.resetForPass();
    ItemIdentifier& next = identifier();
    next.usePassCaches();
    EXPECT_EQ(list.row(next.GetPluginInformation(4, path)).InstalledVersion, u"2.5"_s);
}

// The read-ahead hands each file what reading it gives, in any order of taking, and never
// leaves the taker waiting: not with a window of one, nor with files taken out of queue order.
TEST(ExecutableReadAhead, GivesWhatReadingTheFileGivesInAnyOrder) {
    const QString dir = QStringLiteral(QUILLON_GENERATED_DATA_DIR "/pe");
    QStringList files;
    for (const QString& name : QDir(dir).entryList({u"*.dll"_s, u"*.exe"_s, u"*.res"_s}, QDir::Files))
        files.append(dir + u'/' + name);
    ASSERT_GE(files.size(), 4);
    files.append(dir + u"/missing.dll"_s);
    QStringList reversed(files.crbegin(), files.crend());
    const struct {
        const char* name;
        int threads;
        qsizetype window;
        bool takeReversed; // taken in the other order than first queued
        bool requeue;      // queued again in the order taken
    } cases[] = {{"in order", 2, 256, false, false},
                 {"reversed, window of one", 1, 1, true, false},
                 {"reversed, queued again", 3, 1, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExecutableReadAhead ahead(c.threads, c.window);
        ahead.add(files + QStringList{QString(kChecksumDbPath)});
        if (c.requeue)
            ahead.add(reversed);
        for (const QString& path : c.takeReversed ? reversed : files) {
            const std::optional<ExecutableReading> given = ahead.take(path);
            if (!given)
                continue; // not started: the taker reads it itself
            const ExecutableReading direct = ReadExecutable(path);
            EXPECT_EQ(given->isPeFile, direct.isPeFile) << path.toStdString();
            EXPECT_EQ(given->facts.fileVersionNumber, direct.facts.fileVersionNumber) << path.toStdString();
            EXPECT_EQ(given->facts.info.FFileDescription, direct.facts.info.FFileDescription);
        }
        EXPECT_FALSE(ahead.take(files.first())) << "taken twice";
        EXPECT_FALSE(ahead.take(QString(kChecksumDbPath)));
    }
}

} // namespace
} // namespace quillon
