#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>

#include "app/scripted_prompter.h"
#include "install/rar_archive.h"
#include "support/rar_writer.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;
using quillon::test::RarMember;
using quillon::test::storedRar;

namespace {

const QList<RarMember> Package = {
    {"lang", {}, true},
    {"lang\\Übersetzung.lng", "[Deutsch]"},
    {"plugin.wcx", QByteArray(70000, 'p')},
    {"doc/readme.txt", "read me"},
};

class RarArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        rar.setLibraryPath(QString::fromUtf8(QUILLON_FAKE_UNRAR_PATH));
        rar.onError = [this](int code, RarArchive::Operation operation) { errors.append({code, operation}); };
    }
    QString write(const QString& name, const QList<RarMember>& members) {
        const QString path = work.filePath(name);
        EXPECT_TRUE(test::writeFile(path, storedRar(members)));
        return path;
    }

    QTemporaryDir work;
    ScriptedPrompter prompter;
    RarArchive rar{&prompter};
    QList<std::pair<int, RarArchive::Operation>> errors;
};

TEST_F(RarArchiveTest, ListsAndUnpacksWithOrWithoutFolders) {
    ASSERT_TRUE(rar.openFile(write(u"pkg.rar"_s, Package))) << rar.lastError().toStdString();
    EXPECT_TRUE(rar.information().opened);
    EXPECT_FALSE(rar.information().selfExtracting);
    ASSERT_EQ(rar.entries().size(), 4);
    EXPECT_EQ(rar.entries().at(2).size, 70000);
    EXPECT_TRUE(rar.entries().at(0).directory);

    const struct {
        bool restoreFolder;
        QStringList expected;
    } cases[] = {
        {true, {u"doc/readme.txt"_s, u"lang/Übersetzung.lng"_s, u"plugin.wcx"_s}},
        {false, {u"plugin.wcx"_s, u"readme.txt"_s, u"Übersetzung.lng"_s}},
    };
    for (const auto& c : cases) {
        const QString out = work.filePath(c.restoreFolder ? u"kept/"_s : u"flat"_s);
        ASSERT_TRUE(rar.extract(out, c.restoreFolder)) << rar.lastError().toStdString();
        QStringList got = test::filesBelow(out);
        QStringList want = c.expected;
        got.sort();
        want.sort();
        EXPECT_EQ(got, want);
    }
    EXPECT_EQ(test::readFile(work.filePath(u"kept/plugin.wcx"_s)), QByteArray(70000, 'p'));
    EXPECT_EQ(test::readFile(work.filePath(u"kept/lang/Übersetzung.lng"_s)), "[Deutsch]");
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(rar.getDllVersion(), 9);
}

TEST_F(RarArchiveTest, KeepsFilesThatAlreadyExist) {
    const QString out = work.filePath(u"inst_pkg"_s);
    ASSERT_TRUE(test::writeFile(out + u"/plugin.wcx"_s, "mine"));
    ASSERT_TRUE(rar.openFile(write(u"pkg.rar"_s, Package)));
    ASSERT_TRUE(rar.extract(out, true));
    EXPECT_EQ(test::readFile(out + u"/plugin.wcx"_s), "mine");
    EXPECT_EQ(rar.keptExistingFiles(), QStringList{out + u"/plugin.wcx"_s});
    EXPECT_EQ(test::readFile(out + u"/doc/readme.txt"_s), "read me");

    rar.onReplace = [](const QString&) { return RarArchive::ReplaceDecision::Overwrite; };
    ASSERT_TRUE(rar.extract(out, true));
    EXPECT_EQ(test::readFile(out + u"/plugin.wcx"_s), QByteArray(70000, 'p'));
}

TEST_F(RarArchiveTest, RefusesUnsafeEntriesAndUnpacksTheRest) {
    const QList<RarMember> hostile = {
        {"..\\evil.dll", "evil"},     {"a\\..\\..\\b.dll", "evil"},       {"C:\\x.dll", "evil"},
        {"good\\plugin.wcx", "good"}, {"link", "../../etc", false, true}, {"good\\after.txt", "after"},
    };
    const QString archive = write(u"hostile.rar"_s, hostile);
    ASSERT_TRUE(rar.openFile(archive));
    const QString out = work.filePath(u"temp/inst_hostile"_s);
    EXPECT_FALSE(rar.extract(out, true));
    EXPECT_EQ(rar.refusedEntries().size(), 4) << rar.refusedEntries().join(u"; "_s).toStdString();
    EXPECT_FALSE(rar.lastError().isEmpty());
    EXPECT_EQ(test::filesBelow(work.filePath(u"temp"_s)),
              (QStringList{u"inst_hostile/good/after.txt"_s, u"inst_hostile/good/plugin.wcx"_s}));
}

TEST_F(RarArchiveTest, DamagedOrUnreadableArchivesFail) {
    const QByteArray whole = storedRar(Package);
    ASSERT_TRUE(test::writeFile(work.filePath(u"text.rar"_s), "<html>404</html>"));
    for (const QString& name : {u"text.rar"_s, u"missing.rar"_s}) {
        errors.clear();
        EXPECT_FALSE(rar.openFile(work.filePath(name))) << name.toStdString();
        ASSERT_FALSE(errors.isEmpty()) << name.toStdString();
        EXPECT_EQ(errors.first().second, RarArchive::OperationOpen);
        EXPECT_FALSE(rar.lastError().isEmpty());
    }

    // Cut inside the plugin's data: what came before is unpacked, the cut file is not left half.
    ASSERT_TRUE(test::writeFile(work.filePath(u"cut.rar"_s), whole.left(whole.size() - 30000)));
    errors.clear();
    rar.openFile(work.filePath(u"cut.rar"_s));
    const QString out = work.filePath(u"cut"_s);
    EXPECT_FALSE(rar.extract(out, true));
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_EQ(errors.first().second, RarArchive::OperationReadOrProcess);
    EXPECT_EQ(test::filesBelow(out), QStringList{u"lang/Übersetzung.lng"_s});
    EXPECT_FALSE(rar.test());
}

TEST_F(RarArchiveTest, WithoutAUsableLibraryNothingIsUnpacked) {
    const QString archive = write(u"pkg.rar"_s, Package);
    const QString libraries[] = {
        work.filePath(u"libunrar.so"_s), // absent
        QString::fromUtf8(QUILLON_FAKE_UNRAR_INCOMPLETE_PATH),
        archive, // not a library at all
    };
    for (const QString& library : libraries) {
        errors.clear();
        rar.setLibraryPath(library);
        EXPECT_FALSE(rar.openFile(archive)) << library.toStdString();
        EXPECT_FALSE(rar.extract(work.filePath(u"out"_s), true));
        EXPECT_EQ(rar.getDllVersion(), 0);
        ASSERT_FALSE(errors.isEmpty());
        EXPECT_EQ(errors.first().first, RarArchive::LibraryMissing);
        EXPECT_FALSE(rar.lastError().isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(work.filePath(u"out/plugin.wcx"_s)));
}

TEST_F(RarArchiveTest, AnOldLibraryIsReportedOncePerLoadAndStillUsed) {
    qputenv("QUILLON_FAKE_UNRAR_VERSION", "3");
    const QString archive = write(u"pkg.rar"_s, Package);
    EXPECT_TRUE(rar.openFile(archive));
    EXPECT_TRUE(rar.extract(work.filePath(u"out"_s), true));
    EXPECT_EQ(rar.getDllVersion(), 3);
    qunsetenv("QUILLON_FAKE_UNRAR_VERSION");
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages().first().caption, u"error"_s);
    EXPECT_TRUE(
        prompter.messages().first().text.startsWith(u"please download the newest \"unrar.dll\" file."_s));
    EXPECT_EQ(test::readFile(work.filePath(u"out/plugin.wcx"_s)), QByteArray(70000, 'p'));
}

TEST_F(RarArchiveTest, AbortStopsThePass) {
    ASSERT_TRUE(rar.openFile(write(u"pkg.rar"_s, Package)));
    qint64 reported = 0;
    rar.onProgress = [&](qint64 done, qint64 total) {
        reported = done;
        EXPECT_GT(total, 0);
        rar.abort();
    };
    EXPECT_FALSE(rar.extract(work.filePath(u"out"_s), true));
    EXPECT_GT(reported, 0);
    EXPECT_FALSE(QFileInfo::exists(work.filePath(u"out/doc/readme.txt"_s)));
}

} // namespace
