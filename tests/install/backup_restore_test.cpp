// Backup archives' names and a restore that cannot finish: every file it touched is back as it
// was and no backup of an unchanged state is left behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <QTemporaryDir>

#include "app/language.h"
#include "app/scripted_prompter.h"
#include "install/backup_catalog.h"
#include "install/backup_restore.h"
#include "install/installer.h"
#include "install/zip_archive.h"
#include "support/test_support.h"
#include "support/zip_writer.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(BackupArchiveName, DayAndNumberOrNothing) {
    const struct {
        const char* name;
        bool valid;
        QDate date;
        int sequence;
    } cases[] = {
        {"backup_16-05-2025_QN.zip", true, QDate(2025, 5, 16), 1},
        {"BACKUP_16-05-2025_qn.ZIP", true, QDate(2025, 5, 16), 1},
        {"backup_16-05-2025_12_QN.zip", true, QDate(2025, 5, 16), 12},
        {"backup_16-05-2025_1_QN.zip", false, {}, 0}, // never written: the first has no number
        {"backup_31-02-2025_QN.zip", false, {}, 0},
        {"backup_2025-05-16_QN.zip", false, {}, 0},
        {"backup_16-05-2025_QN.zip.part", false, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parts = ParseBackupArchiveName(QString::fromLatin1(c.name));
        ASSERT_EQ(parts.has_value(), c.valid);
        if (!parts)
            continue;
        EXPECT_EQ(parts->date, c.date);
        EXPECT_EQ(parts->sequence, c.sequence);
        EXPECT_EQ(NumberedBackupArchiveName(parts->date, parts->sequence).toLower(),
                  QString::fromLatin1(c.name).toLower());
    }
}

// The newest backup is what a restore takes without asking: never one dated after today, which
// no installation wrote, and never one whose copy of the file is ambiguous.
TEST(BackupListing, OffersNoDayToComeFirstAndNoArchiveHoldingTheFileTwice) {
    QTemporaryDir root;
    const QString item = root.path() + u"/plugin"_s;
    const QDate today = QDate::currentDate();
    const struct {
        QString name;
        test::ZipMembers files;
    } archives[] = {
        {BackupArchiveName(today.addDays(-2)), {{u"demo.wcx"_s, "old"}}},
        {BackupArchiveName(today.addDays(-1)), {{u"demo.wcx"_s, "old"}, {u"DEMO.WCX"_s, "other"}}},
        {BackupArchiveName(today.addYears(70)), {{u"demo.wcx"_s, "old"}}},
        {BackupArchiveName(today.addDays(-3)), {{u"demo.wcx"_s, "old"}}},
    };
    ASSERT_TRUE(QDir().mkpath(item));
    for (const auto& archive : archives)
        ASSERT_TRUE(test::writeZip(item + u'/' + archive.name, archive.files));
    const BackupListing listing = ListItemBackups(item + u"/demo.wcx"_s);
    QStringList order;
    for (const BackupArchive& backup : listing.backups)
        order << QFileInfo(backup.path).fileName();
    EXPECT_EQ(order, (QStringList{archives[0].name, archives[3].name, archives[2].name}));
    ASSERT_EQ(listing.problems.size(), 1);
    EXPECT_TRUE(listing.problems[0].contains(u"more than once"_s)) << listing.problems[0].toStdString();
}

// Listing a backup reads the item's copy alone, held to the unpack limits: a large file beside it
// is never unpacked, and a copy over the limits is a problem, not a full disk.
TEST(BackupListing, ReadsOnlyTheItemsCopyWithinTheLimits) {
    QTemporaryDir root;
    const QString item = root.path() + u"/plugin"_s;
    ASSERT_TRUE(QDir().mkpath(item));
    const QString scratch = root.path() + u"/scratch"_s;
    const QDate today = QDate::currentDate();
    ASSERT_TRUE(test::writeZip(item + u'/' + BackupArchiveName(today.addDays(-1)),
                               {{u"demo.wcx"_s, "v1"}, {u"zeros.bin"_s, QByteArray(16 << 20, '\0')}}));
    ASSERT_TRUE(test::writeZip(item + u'/' + BackupArchiveName(today.addDays(-2)),
                               {{u"demo.wcx"_s, QByteArray(16 << 20, '\0')}}));
    qint64 largestRead = 0;
    const BackupListing listing = ListItemBackups(
        item + u"/demo.wcx"_s,
        [&](const QString& copy) {
            largestRead = std::max(largestRead, QFileInfo(copy).size());
            return QString::fromLatin1(test::readFile(copy).left(2));
        },
        scratch, UnpackLimits{4 << 20, 100});
    ASSERT_EQ(listing.backups.size(), 2);
    EXPECT_EQ(listing.backups[0].version, u"v1"_s);
    EXPECT_TRUE(listing.backups[1].version.isEmpty());
    EXPECT_EQ(largestRead, 2);
    ASSERT_EQ(listing.problems.size(), 1);
    EXPECT_TRUE(listing.problems[0].contains(u"limit"_s)) << listing.problems[0].toStdString();
}

class RestoreFailure : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_item = m_root.path() + u"/plugin"_s;
        const QString old = m_root.path() + u"/old"_s;
        ASSERT_TRUE(test::writeFile(old + u"/demo.wcx"_s, "old plugin"));
        ASSERT_TRUE(test::writeFile(old + u"/sub/readme.txt"_s, "old readme"));
        ASSERT_TRUE(
            ZipBackupFile(m_item, m_archiveName, old, {old + u"/demo.wcx"_s, old + u"/sub/readme.txt"_s}));
        ASSERT_TRUE(test::writeFile(m_item + u"/demo.wcx"_s, "new plugin"));
    }

    // The most files a run reported as written.
    struct MostWritten : ProgressSink {
        void report(const JobProgress& progress) override { most = std::max(most, progress.done); }
        qint64 most = 0;
    };

    RestoreResult restore(const CancelToken& cancel, ProgressSink& progress) {
        InstallerContext context(m_prompter, m_language);
        context.tempDirectory = m_root.path() + u"/temp"_s;
        context.settingsDir = m_root.path() + u"/settings"_s;
        return RestoreBackup(context,
                             {m_item + u"/demo.wcx"_s, m_item + u'/' + m_archiveName, QDate(2025, 5, 20)},
                             cancel, progress);
    }

    QTemporaryDir m_root;
    QString m_item;
    const QString m_archiveName = u"backup_16-05-2025_QN.zip"_s;
    ScriptedPrompter m_prompter;
    Language m_language;
};

TEST_F(RestoreFailure, AFileThatCannotBeWrittenOrACancelLeavesEverythingAsItWas) {
    // The readme's place is taken by a folder: the second file cannot be written.
    ASSERT_TRUE(QDir().mkpath(m_item + u"/sub/readme.txt"_s));
    MostWritten written;
    const RestoreResult failed = restore(CancelToken(), written);
    EXPECT_EQ(failed.outcome, RestoreResult::Outcome::Failed);
    EXPECT_EQ(written.most, 1) << "the plugin was written before the readme failed";
    EXPECT_FALSE(failed.error.isEmpty());

    CancelToken cancelled;
    cancelled.cancel();
    NullProgressSink none;
    const RestoreResult stopped = restore(cancelled, none);
    EXPECT_EQ(stopped.outcome, RestoreResult::Outcome::Cancelled);

    for (const RestoreResult& result : {failed, stopped}) {
        EXPECT_TRUE(result.restored.isEmpty());
        EXPECT_TRUE(result.undoBackup.isEmpty());
    }
    EXPECT_EQ(test::readFile(m_item + u"/demo.wcx"_s), "new plugin");
    EXPECT_EQ(QDir(m_item).entryList({u"backup_*"_s}, QDir::Files), QStringList{m_archiveName});
    EXPECT_FALSE(QFileInfo::exists(m_root.path() + u"/settings/install-journal.ini"_s));
    EXPECT_TRUE(QDir(m_root.path() + u"/temp"_s).isEmpty());
}

} // namespace
} // namespace quillon
