#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

#include "app/common/files.h"
#include "app/language.h"
#include "app/scripted_prompter.h"
#include "engine/app_core.h"
#include "install/installer.h"
#include "install/zip_archive.h"
#include "inventory/update_list.h"
#include "platform/tc_window.h"
#include "support/test_support.h"
#include "support/zip_writer.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

QByteArray withZeroBytes(const char* text) {
    QByteArray data(text);
    data.append('\0').append("PE");
    return data;
}

// What a preview said against what the step then did: the files written and replaced, the backup
// archive's entries and the files gone afterwards. existed: the item's folder before the step.
void expectPreviewMatches(const InstallPreview& preview, const InstallStepResult& done,
                          const QStringList& existed) {
    ASSERT_TRUE(preview.error.isEmpty()) << preview.error.toStdString();
    ASSERT_EQ(done.outcome, InstallStepResult::Outcome::Installed) << done.error.toStdString();
    EXPECT_EQ(preview.writes, done.installedFiles);
    QStringList replaced;
    for (const QString& file : done.installedFiles) {
        if (existed.contains(file))
            replaced << file;
    }
    EXPECT_EQ(preview.replaces, replaced);
    EXPECT_EQ(preview.backupArchive, done.backupArchive);
    QStringList held = preview.backupKeeps + preview.backupAdds;
    held.sort();
    QStringList inArchive = ZipEntryNames(done.backupArchive).value_or(QStringList());
    inArchive.sort();
    EXPECT_EQ(held, inArchive);
    QStringList gone;
    for (const QString& file : existed + done.installedFiles) {
        if (!QFileInfo::exists(file) && !gone.contains(file))
            gone << file;
    }
    QStringList removes = preview.removes;
    removes.sort();
    gone.sort();
    EXPECT_EQ(removes, gone);
}

// Total Commander not running; counts the calls, each of which starts the bridge under Wine.
class NotRunningTcWindow final : public platform::TcWindow {
public:
    int questions = 0;
    int commands = 0;
    platform::TcWindowState state(Cancel) override {
        ++questions;
        return {};
    }
    bool sendChangeDir(std::string_view, bool, Cancel) override { return false; }
    std::optional<std::string> request(std::string_view, Cancel) override { return std::nullopt; }
    bool sendCommand(int, Cancel) override {
        ++commands;
        return false;
    }
    bool bringToFront(Cancel) override { return false; }
    bool closeAndWait(Cancel) override { return true; }
    bool launch(std::string_view) override { return false; }
    platform::TcWindowProblem lastProblem() const override { return platform::TcWindowProblem::None; }
};

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        // A "d" folder above the package must not count as a language folder.
        m_temp = m_root.path() + u"/d/tmp"_s;
        m_downloads = m_root.path() + u"/downloads"_s;
        m_item = m_root.path() + u"/tc/plugins/wcx/demo"_s;
        QDir().mkpath(m_downloads);
    }

    // A ZIP package in the download folder holding files (relative name -> content).
    QString makeZip(const QString& name, const QList<QPair<QString, QByteArray>>& files) {
        const QString content = m_root.path() + u"/pack_"_s + name;
        QStringList paths;
        for (const auto& [relative, data] : files) {
            EXPECT_TRUE(test::writeFile(content + u'/' + relative, data));
            paths << content + u'/' + relative;
        }
        EXPECT_TRUE(ZipBackupFile(m_downloads, name, content, paths));
        return m_downloads + u'/' + name;
    }

    InstallerContext context(UpdateList* list = nullptr) {
        InstallerContext c(m_prompter, m_language);
        c.tempDirectory = m_temp + u'/';
        c.settingsDir = m_root.path() + u"/settings"_s;
        c.programPath = m_root.path() + u"/prog/quillon"_s;
        c.tcDir = m_root.path() + u"/tc"_s;
        c.installAfterDownload = true;
        c.wait = [](int) {};
        // Stands in for the core's refresher: every row of the list comes back refreshed.
        c.refreshRows = [this, list](const QString& itemPath) {
            m_refreshed << itemPath;
            RowsRefresh refresh;
            if (list)
                refresh.rows = list->rows();
            return refresh;
        };
        return c;
    }

    static DownloadRequest request(QLatin1StringView category, const QString& itemPath,
                                   const char* flag = "1") {
        return {u"http://127.0.0.1/x"_s, {}, {}, QString(category), itemPath, QString::fromLatin1(flag)};
    }

    QTemporaryDir m_root;
    QString m_temp, m_downloads, m_item;
    ScriptedPrompter m_prompter;
    Language m_language;
    QStringList m_refreshed;
};

TEST_F(InstallerTest, GateDecidesWhichRequestsAreInstalled) {
    struct Case {
        const char* flag;
        bool installAfterDl, autoStartInstall, reinstall, installed;
    } cases[] = {
        {"1", true, false, false, true}, {"1", false, true, false, true}, {"1", false, false, false, false},
        {"0", true, true, false, false}, {"0", false, false, true, true},
    };
    for (const Case& c : cases) {
        const QString zip = makeZip(u"demo.zip"_s, {{u"demo.wcx"_s, "new"}});
        InstallerContext ctx = context();
        ctx.installAfterDownload = c.installAfterDl;
        ctx.autoStartInstall = c.autoStartInstall;
        // An installed plugin tells Total Commander with one call, no question first.
        NotRunningTcWindow window;
        ctx.tcWindow = &window;
        Installer installer(ctx);
        const InstallStepResult r = installer.installStep(
            request(category::Packer, m_item + u"/demo.wcx"_s, c.flag), zip, c.reinstall);
        EXPECT_EQ(r.outcome == InstallStepResult::Outcome::Installed, c.installed) << c.flag << c.reinstall;
        EXPECT_EQ(window.questions + window.commands, c.installed ? 1 : 0);
        EXPECT_EQ(window.commands, c.installed ? 1 : 0);
        EXPECT_EQ(QFileInfo::exists(m_item + u"/demo.wcx"_s), c.installed);
        QDir(m_item).removeRecursively();
    }
}

TEST_F(InstallerTest, PluginPackageBacksUpWhatPreInstallActionAsks) {
    struct Case {
        int preInstallAction;
        QStringList backedUp;
    } cases[] = {
        {0, {}},
        {1, {u"demo.wcx"_s, u"doc/readme.txt"_s}},
        {2, {u"doc/readme.txt"_s}}, // the DLL holds zero bytes
        {9, {}},
    };
    for (const Case& c : cases) {
        QDir(m_item).removeRecursively();
        test::writeFile(m_item + u"/demo.wcx"_s, withZeroBytes("old dll"));
        test::writeFile(m_item + u"/doc/readme.txt"_s, "old text");
        test::writeFile(m_item + u"/pluginst.inf"_s, "[plugininstall]");
        const QString zip = makeZip(u"demo.zip"_s, {{u"demo.wcx"_s, withZeroBytes("new dll")},
                                                    {u"doc/readme.txt"_s, "new text"},
                                                    {u"doc/new.txt"_s, "added"}});
        InstallerContext ctx = context();
        ctx.preInstallAction = static_cast<BackupBeforeInstall>(c.preInstallAction);
        ctx.postInstallAction = AfterInstall::DeleteInstallInfo;
        Installer installer(ctx);
        const InstallStepResult r =
            installer.installStep(request(category::Packer, m_item + u"/demo.wcx"_s), zip);
        SCOPED_TRACE(c.preInstallAction);
        ASSERT_EQ(r.outcome, InstallStepResult::Outcome::Installed) << r.error.toStdString();
        EXPECT_EQ(test::readFile(m_item + u"/doc/readme.txt"_s), "new text");
        EXPECT_EQ(test::readFile(m_item + u"/doc/new.txt"_s), "added");
        EXPECT_FALSE(QFileInfo::exists(m_item + u"/pluginst.inf"_s));
        EXPECT_FALSE(QFileInfo::exists(m_temp + u"/inst_demo"_s));

        const QString backup = m_item + u'/' + BackupArchiveName(QDate::currentDate());
        EXPECT_EQ(QFileInfo::exists(backup), !c.backedUp.isEmpty());
        EXPECT_EQ(r.backupArchive.isEmpty(), c.backedUp.isEmpty());
        if (c.backedUp.contains(u"doc/readme.txt"_s)) {
            EXPECT_EQ(DecompressZip(u"doc/readme.txt"_s, backup), "old text");
        }
        EXPECT_EQ(DecompressZip(u"demo.wcx"_s, backup).isEmpty(), !c.backedUp.contains(u"demo.wcx"_s));
        EXPECT_TRUE(DecompressZip(u"doc/new.txt"_s, backup).isEmpty()); // nothing was replaced
    }
}

TEST_F(InstallerTest, SecondInstallOnTheSameDayKeepsTheOlderBackup) {
    test::writeFile(m_item + u"/demo.wcx"_s, "v1");
    InstallerContext ctx = context();
    ctx.preInstallAction = BackupBeforeInstall::Every;
    Installer installer(ctx);
    const DownloadRequest req = request(category::Packer, m_item + u"/demo.wcx"_s);
    ASSERT_EQ(installer.installStep(req, makeZip(u"demo.zip"_s, {{u"demo.wcx"_s, "v2"}})).outcome,
              InstallStepResult::Outcome::Installed);
    ASSERT_EQ(installer.installStep(req, makeZip(u"demo2.zip"_s, {{u"demo.wcx"_s, "v3"}, {u"x.txt"_s, "x"}}))
                  .outcome,
              InstallStepResult::Outcome::Installed);
    EXPECT_EQ(test::readFile(m_item + u"/demo.wcx"_s), "v3");
    EXPECT_EQ(DecompressZip(u"demo.wcx"_s, m_item + u'/' + BackupArchiveName(QDate::currentDate())), "v1");
}

// Renamed in letter case since the day's first backup, a file is still the one the archive holds.
TEST_F(InstallerTest, TheDaysArchiveHoldsAFileOnceWhateverItsLetterCase) {
    test::writeFile(m_item + u"/Readme.txt"_s, "v1");
    const QString archive = m_item + u'/' + BackupArchiveName(QDate::currentDate());
    ASSERT_TRUE(ZipBackupFile(m_item, QFileInfo(archive).fileName(), m_item, {m_item + u"/Readme.txt"_s}));
    QFile::remove(m_item + u"/Readme.txt"_s);
    test::writeFile(m_item + u"/README.TXT"_s, "v2");
    InstallerContext ctx = context();
    ctx.preInstallAction = BackupBeforeInstall::Every;
    Installer installer(ctx);
    const DownloadRequest req = request(category::Packer, m_item + u"/demo.wcx"_s);
    const QString zip = makeZip(u"demo.zip"_s, {{u"demo.wcx"_s, "new"}, {u"readme.txt"_s, "v3"}});
    EXPECT_TRUE(installer.previewStep(req, zip).backupAdds.isEmpty());
    ASSERT_EQ(installer.installStep(req, zip).outcome, InstallStepResult::Outcome::Installed);
    EXPECT_EQ(ZipEntryNames(archive, nullptr), QStringList{u"Readme.txt"_s});
    EXPECT_EQ(DecompressZip(u"Readme.txt"_s, archive), "v1");
}

// A package entry that would replace the day's backup (or pass for a backup of a day of its own
// choosing), or that names one file twice, installs nothing at all.
TEST_F(InstallerTest, PackagesThatCouldPassForABackupOrNameAFileTwiceAreRefused) {
    const QString today = BackupArchiveName(QDate::currentDate());
    const struct {
        const char* name;
        test::ZipMembers files;
        const char* reason;
    } cases[] = {
        {"today's backup", {{u"demo.wcx"_s, "new"}, {today, "forged"}}, "keeps its backups under this name"},
        {"a later day's backup",
         {{u"demo.wcx"_s, "new"}, {u"sub/backup_01-01-2099_QN.zip"_s, "forged"}},
         "keeps its backups under this name"},
        {"one file in two letter cases",
         {{u"demo.wcx"_s, "new"}, {u"DEMO.WCX"_s, "other"}},
         "in different letter case"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(m_item).removeRecursively();
        test::writeFile(m_item + u"/demo.wcx"_s, "old");
        InstallerContext ctx = context();
        ctx.preInstallAction = BackupBeforeInstall::Every;
        Installer installer(ctx);
        const QString zip = m_downloads + u"/demo.zip"_s;
        ASSERT_TRUE(test::writeZip(zip, c.files));
        const InstallStepResult r =
            installer.installStep(request(category::Packer, m_item + u"/demo.wcx"_s), zip);
        EXPECT_EQ(r.outcome, InstallStepResult::Outcome::Failed);
        EXPECT_TRUE(r.error.contains(QString::fromLatin1(c.reason))) << r.error.toStdString();
        EXPECT_EQ(test::filesBelow(m_item), QStringList{u"demo.wcx"_s});
        EXPECT_EQ(test::readFile(m_item + u"/demo.wcx"_s), "old");
    }
}

// The day's archive is read whole by the installation and its preview alike. One that cannot be
// read (a damaged entry, or more than the unpack limits allow) is kept under another name and the
// day starts a new one: the update goes in.
TEST_F(InstallerTest, ADaysArchiveThatCannotBeReadIsSetAsideAndTheInstallationGoesOn) {
    const QString today = BackupArchiveName(QDate::currentDate());
    const QString archive = m_item + u'/' + today;
    const auto damaged = [&] {
        ASSERT_TRUE(test::writeZip(archive, {{u"readme.txt"_s, QByteArray(1000, 'A')}}, "store"));
        QByteArray bytes = test::readFile(archive);
        bytes[30 + 10 + 500] = 'B'; // inside the stored data: its CRC no longer matches
        ASSERT_TRUE(test::writeFile(archive, bytes));
    };
    const auto bomb = [&] {
        ASSERT_TRUE(test::writeZip(archive, {{u"zeros.bin"_s, QByteArray(16 << 20, '\0')}}));
    };
    const struct {
        const char* name;
        std::function<void()> plant;
    } cases[] = {{"a damaged entry", damaged}, {"over the unpack limits", bomb}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(m_item).removeRecursively();
        test::writeFile(m_item + u"/demo.wcx"_s, "old");
        c.plant();
        const QByteArray planted = test::readFile(archive);
        InstallerContext ctx = context();
        ctx.preInstallAction = BackupBeforeInstall::Every;
        ctx.unpackLimits.maxBytes = 4 << 20;
        Installer installer(ctx);
        const DownloadRequest req = request(category::Packer, m_item + u"/demo.wcx"_s);
        const QString zip = makeZip(u"demo.zip"_s, {{u"demo.wcx"_s, "new"}});
        const InstallPreview preview = installer.previewStep(req, zip);
        EXPECT_TRUE(preview.error.isEmpty()) << preview.error.toStdString();
        EXPECT_TRUE(preview.skipped.join(u' ').contains(u"would be kept as"_s))
            << preview.skipped.join(u' ').toStdString();
        EXPECT_EQ(test::readFile(archive), planted);
        const InstallStepResult r = installer.installStep(req, zip);
        ASSERT_EQ(r.outcome, InstallStepResult::Outcome::Installed) << r.error.toStdString();
        EXPECT_EQ(test::readFile(m_item + u"/demo.wcx"_s), "new");
        EXPECT_EQ(test::readFile(archive.chopped(4) + u".damaged.zip"_s), planted);
        EXPECT_EQ(DecompressZip(u"demo.wcx"_s, archive), "old");
    }
}

TEST_F(InstallerTest, ReplacedFileKeepsItsModeAndNewFilesGetTheDefault) {
    const QFileDevice::Permissions script = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner | QFileDevice::ReadUser |
                                            QFileDevice::WriteUser | QFileDevice::ExeUser;
    test::writeFile(m_item + u"/tool.sh"_s, "old");
    ASSERT_TRUE(QFile::setPermissions(m_item + u"/tool.sh"_s, script));
    const QString zip = makeZip(u"demo.zip"_s, {{u"tool.sh"_s, "new"}, {u"demo.wcx"_s, "new"}});
    Installer installer(context());
    ASSERT_EQ(installer.installStep(request(category::Packer, m_item + u"/demo.wcx"_s), zip).outcome,
              InstallStepResult::Outcome::Installed);
    EXPECT_EQ(test::readFile(m_item + u"/tool.sh"_s), "new");
    EXPECT_EQ(QFile::permissions(m_item + u"/tool.sh"_s), script);
    EXPECT_FALSE(QFileInfo(m_item + u"/demo.wcx"_s).isExecutable());
}

TEST_F(InstallerTest, InstalledFileKeepsThePackagesDate) {
    // A plugin whose version is its file date would otherwise read as released today.
    const QString content = m_root.path() + u"/pack_dated"_s;
    ASSERT_TRUE(test::writeFile(content + u"/demo.wcx"_s, "new"));
    const QDateTime released(QDate(2024, 10, 15), QTime(12, 0), Qt::UTC);
    {
        QFile file(content + u"/demo.wcx"_s);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(released, QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(ZipBackupFile(m_downloads, u"dated.zip"_s, content, {content + u"/demo.wcx"_s}));
    test::writeFile(m_item + u"/demo.wcx"_s, "old");
    Installer installer(context());
    ASSERT_EQ(
        installer
            .installStep(request(category::Packer, m_item + u"/demo.wcx"_s), m_downloads + u"/dated.zip"_s)
            .outcome,
        InstallStepResult::Outcome::Installed);
    EXPECT_EQ(test::readFile(m_item + u"/demo.wcx"_s), "new");
    // ZIP keeps local time to two seconds; the day is what a date version is read from.
    EXPECT_EQ(QFileInfo(m_item + u"/demo.wcx"_s).lastModified().toUTC().date(), released.date());
}

TEST_F(InstallerTest, UnwritableTargetIsReportedAndTheRestInstalled) {
    test::writeFile(m_item + u"/lang/demo.lng"_s, "old");
    test::ReadOnlyFolder readOnly(m_item + u"/lang"_s);
    QUILLON_SKIP_UNLESS(readOnly.ok(), "cannot make a folder read-only here");
    const QString zip = makeZip(u"demo.zip"_s, {{u"demo.wcx"_s, "new"}, {u"lang/demo.lng"_s, "new"}});
    UpdateList list;
    list.addRow(u"Demo"_s, u"1.0"_s, m_item + u"/demo.wcx"_s, ItemGroup::Wcx);
    list.setChecked(0, true);
    Installer installer(context(&list));
    const InstallStepResult r =
        installer.installStep(request(category::Packer, m_item + u"/demo.wcx"_s), zip);
    EXPECT_EQ(r.outcome, InstallStepResult::Outcome::Failed);
    EXPECT_EQ(test::readFile(m_item + u"/demo.wcx"_s), "new");
    EXPECT_EQ(test::readFile(m_item + u"/lang/demo.lng"_s), "old");
    EXPECT_EQ(installer.failedFiles(), QStringList{QDir::toNativeSeparators(m_item + u"/lang/demo.lng"_s)});
    EXPECT_TRUE(m_refreshed.isEmpty()); // the row stays as it was

    installer.endOfPass(true);
    ASSERT_EQ(m_prompter.messages().size(), 1);
    EXPECT_EQ(m_prompter.messages()[0].caption, u"Error while updating package"_s);
    EXPECT_TRUE(m_prompter.messages()[0].text.endsWith(
        QDir::toNativeSeparators(m_item + u"/lang/demo.lng"_s) + u": no rights to write there"_s))
        << m_prompter.messages()[0].text.toStdString();
}

TEST_F(InstallerTest, TotalCommanderPackageGetsTheInstallationsLanguage) {
    const QString cabContent = m_root.path() + u"/cab"_s;
    const QStringList names = {u"TOTALCMD.EXE"_s, u"DEFAULT.BAR"_s,           u"d/WCMD.HLP"_s,
                               u"e/WCMD.HLP"_s,   u"LANGUAGE/d/WCMD_X.LNG"_s, u"LANGUAGE/e/WCMD_X.LNG"_s};
    for (const QString& name : names)
        test::writeFile(cabContent + u'/' + name, name.toUtf8());
    QProcess gcab;
    gcab.setWorkingDirectory(cabContent);
    gcab.start(u"gcab"_s, QStringList{u"-c"_s, u"-z"_s, cabContent + u"/INSTALL.CAB"_s} + names);
    QUILLON_SKIP_UNLESS(gcab.waitForFinished() && gcab.exitCode() == 0,
                        "gcab is needed to build the cabinet");
    const QString setup =
        makeZip(u"tcmd1100x64.exe"_s, {{u"INSTALL.CAB"_s, test::readFile(cabContent + u"/INSTALL.CAB"_s)}});

    struct Case {
        QString language;
        QByteArray help, lng;
    } cases[] = {
        {u"DEU"_s, "d/WCMD.HLP", "LANGUAGE/d/WCMD_X.LNG"},
        {u"ENG"_s, "e/WCMD.HLP", "LANGUAGE/e/WCMD_X.LNG"},
    };
    for (const Case& c : cases) {
        const QString tc = m_root.path() + u"/tc"_s;
        QDir(tc).removeRecursively();
        test::writeFile(tc + u"/DEFAULT.BAR"_s, "my buttons");
        InstallerContext ctx = context();
        ctx.tcLanguage = c.language;
        // Not running before the installation and not started by it: that answer serves the
        // version found again, and the window is asked once.
        NotRunningTcWindow window;
        ctx.tcWindow = &window;
        ctx.refreshRows = [](const QString&) {
            RowsRefresh refresh;
            refresh.tcRowChosen = true;
            return refresh;
        };
        bool answerReused = false;
        ctx.detectTcVersion = [&answerReused](const platform::TcWindowState* seen) {
            answerReused = seen && !seen->running;
            return TcVersionFacts{};
        };
        Installer installer(ctx);
        const InstallStepResult r =
            installer.installStep(request(category::TotalCmd, tc + u"/TOTALCMD.EXE"_s), setup);
        SCOPED_TRACE(c.language.toStdString());
        ASSERT_EQ(r.outcome, InstallStepResult::Outcome::Installed) << r.error.toStdString();
        EXPECT_EQ(test::readFile(tc + u"/TOTALCMD.EXE"_s), "TOTALCMD.EXE");
        EXPECT_EQ(test::readFile(tc + u"/WCMD.HLP"_s), c.help);
        EXPECT_EQ(test::readFile(tc + u"/LANGUAGE/WCMD_X.LNG"_s), c.lng);
        EXPECT_EQ(test::readFile(tc + u"/DEFAULT.BAR"_s), "my buttons");
        EXPECT_FALSE(QFileInfo::exists(tc + u"/d"_s));
        EXPECT_FALSE(QFileInfo::exists(tc + u"/e"_s));
        EXPECT_FALSE(QFileInfo::exists(m_temp + u"/inst_tcmd1100x64_cab"_s));
        EXPECT_EQ(window.questions, 1);
        EXPECT_TRUE(answerReused);
    }
}

TEST_F(InstallerTest, DatabaseDownloadReplacesDatabaseDatAndOffersReload) {
    for (const PromptAnswer answer : {PromptAnswer::Yes, PromptAnswer::No}) {
        test::writeFile(m_root.path() + u"/settings/database.dat"_s, "old");
        test::writeFile(m_downloads + u"/database.dat"_s, "new");
        InstallerContext ctx = context();
        ctx.installAfterDownload = false;
        Installer installer(ctx);
        const InstallStepResult r = installer.installStep(request(category::PluginDb, u"tcplugindb"_s, "0"),
                                                          m_downloads + u"/database.dat"_s);
        ASSERT_EQ(r.outcome, InstallStepResult::Outcome::Installed) << r.error.toStdString();
        EXPECT_EQ(test::readFile(m_root.path() + u"/settings/database.dat"_s), "new");
        EXPECT_TRUE(installer.reloadAfterDownload());
        m_prompter.clearMessages();
        m_prompter.queueAnswer(answer);
        const EndOfPassAction action = installer.endOfPass(true);
        EXPECT_EQ(action,
                  answer == PromptAnswer::Yes ? EndOfPassAction::ReloadAndCheck : EndOfPassAction::None);
        EXPECT_EQ(installer.reloadAfterDownload(), answer == PromptAnswer::Yes);
        ASSERT_EQ(m_prompter.messages().size(), 1);
        EXPECT_TRUE(m_prompter.messages()[0].text.endsWith(
            u"Would you like to reload the list & search for updates?"_s));
    }
}

TEST_F(InstallerTest, SelfUpdateReplacesTheRunningProgramAndOffersRestart) {
    struct Case {
        QString packagedFile;
        QByteArray programAfter;
        SelfUpdateState state;
    } cases[] = {
        {u"quillon"_s, "new", SelfUpdateState::RestartPending},
        // A package without the executable must not leave the program missing.
        {u"readme.txt"_s, "old", SelfUpdateState::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.packagedFile.toStdString());
        const QString program = m_root.path() + u"/prog/quillon"_s;
        QDir(m_root.path() + u"/prog"_s).removeRecursively();
        test::writeFile(program, "old");
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
        UpdateList list;
        list.addRow(u"Quillon"_s, u"1.0"_s, program, ItemGroup::QN);
        list.setChecked(0, true);
        Installer installer(context(&list));
        m_prompter.clearMessages();
        installer.installStep(request(category::Quillon, program),
                              makeZip(u"qn.zip"_s, {{c.packagedFile, "new"}}));
        EXPECT_EQ(test::readFile(program), c.programAfter);
        EXPECT_EQ(installer.selfUpdateState(), c.state);
        // Packages carry no file modes; the program must still start.
        EXPECT_TRUE(QFileInfo(program).isExecutable());
        // Renamed over the old file, never moved out of its way first.
        EXPECT_FALSE(QFileInfo::exists(m_root.path() + u"/prog/"_s + AppCore::oldExecutableName(program)));
        if (c.state == SelfUpdateState::RestartPending) {
            EXPECT_EQ(installer.endOfPass(true), EndOfPassAction::Restart);
            ASSERT_EQ(m_prompter.messages().size(), 1);
            EXPECT_EQ(m_prompter.messages()[0].text,
                      u"You need to close Quillon before continuing this operation!"_s);
        }
    }
}

TEST_F(InstallerTest, PreviewNamesWhatTheInstallationThenDoesAndWritesNothing) {
    using Files = QList<QPair<QString, QByteArray>>;
    struct Case {
        const char* name;
        int preInstallAction;
        Files before;          // the item's folder
        QStringList dayBackup; // entries of the day's archive already there
        Files package;
        bool symlinkedDoc = false; // "doc" in the item's folder leads elsewhere
    } cases[] = {
        {"backs up what it replaces",
         1,
         {{u"demo.wcx"_s, "old"}, {u"doc/readme.txt"_s, "old"}, {u"pluginst.inf"_s, "old"}},
         {},
         {{u"demo.wcx"_s, "new"},
          {u"doc/readme.txt"_s, "new"},
          {u"doc/new.txt"_s, "new"},
          {u"pluginst.inf"_s, "x"}}},
        {"the day's archive keeps its older copy",
         1,
         {{u"demo.wcx"_s, "v2"}, {u"doc/readme.txt"_s, "old"}},
         {u"demo.wcx"_s},
         {{u"demo.wcx"_s, "v3"}, {u"doc/readme.txt"_s, "new"}}},
        {"no backup asked", 0, {{u"demo.wcx"_s, "old"}}, {}, {{u"demo.wcx"_s, "new"}, {u"x.txt"_s, "x"}}},
        {"a folder that is a link refuses all",
         1,
         {{u"demo.wcx"_s, "old"}},
         {},
         {{u"demo.wcx"_s, "new"}, {u"doc/readme.txt"_s, "new"}},
         true},
    };
    auto snapshot = [this] {
        QStringList state;
        for (const QString& file : test::filesBelow(m_root.path()))
            state << file + u'=' + QString::fromLatin1(test::readFile(m_root.path() + u'/' + file).toHex());
        return state;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(m_item).removeRecursively();
        QDir(m_temp).removeRecursively();
        QDir().mkpath(m_temp);
        for (const auto& [relative, data] : c.before)
            test::writeFile(m_item + u'/' + relative, data);
        if (!c.dayBackup.isEmpty()) {
            QStringList paths;
            for (const QString& relative : c.dayBackup)
                paths << m_item + u'/' + relative;
            ASSERT_TRUE(ZipBackupFile(m_item, BackupArchiveName(QDate::currentDate()), m_item, paths));
        }
        if (c.symlinkedDoc) {
            QDir().mkpath(m_root.path() + u"/elsewhere"_s);
            QFile::link(m_root.path() + u"/elsewhere"_s, m_item + u"/doc"_s);
        }
        const QString zip = makeZip(u"demo.zip"_s, c.package);
        InstallerContext ctx = context();
        ctx.preInstallAction = static_cast<BackupBeforeInstall>(c.preInstallAction);
        ctx.postInstallAction = AfterInstall::DeleteInstallInfo;
        Installer installer(ctx);
        const DownloadRequest req = request(category::Packer, m_item + u"/demo.wcx"_s);
        QStringList existed;
        for (const QString& file : test::filesBelow(m_item))
            existed << m_item + u'/' + file;

        const QStringList before = snapshot();
        const InstallPreview preview = installer.previewStep(req, zip);
        EXPECT_EQ(snapshot(), before);
        EXPECT_TRUE(preview.installs);

        const InstallStepResult done = installer.installStep(req, zip);
        if (c.symlinkedDoc) {
            EXPECT_FALSE(preview.error.isEmpty());
            EXPECT_EQ(done.outcome, InstallStepResult::Outcome::Failed);
            EXPECT_TRUE(done.installedFiles.isEmpty());
            continue;
        }
        expectPreviewMatches(preview, done, existed);
    }

    // Download only: nothing is looked into.
    InstallerContext ctx = context();
    ctx.installAfterDownload = false;
    const InstallPreview none = Installer(ctx).previewStep(request(category::Packer, m_item + u"/demo.wcx"_s),
                                                           makeZip(u"demo.zip"_s, {{u"demo.wcx"_s, "new"}}));
    EXPECT_FALSE(none.installs);
    EXPECT_TRUE(none.writes.isEmpty());
}

TEST_F(InstallerTest, PreviewOfAPassFindsTheFolderAsTheEarlierInstallationsLeaveIt) {
    using Files = QList<QPair<QString, QByteArray>>;
    struct Case {
        const char* name;
        int preInstallAction;
        int postInstallAction;
        Files before;
        Files first, second; // two packages into the same folder on the same day
    } cases[] = {
        {"the second keeps the day's archive and replaces what the first brought",
         1,
         0,
         {{u"demo.wcx"_s, "old"}, {u"readme.txt"_s, "old"}},
         {{u"demo.wcx"_s, "v2"}, {u"readme.txt"_s, "v2"}, {u"pluginst.inf"_s, "a"}},
         {{u"other.wcx"_s, "new"}, {u"readme.txt"_s, "v3"}, {u"pluginst.inf"_s, "b"}}},
        {"what the first deletes afterwards is new to the second",
         1,
         2,
         {{u"demo.wcx"_s, "old"}, {u"pluginst.inf"_s, "old"}},
         {{u"demo.wcx"_s, "v2"}, {u"pluginst.inf"_s, "a"}},
         {{u"other.wcx"_s, "new"}, {u"pluginst.inf"_s, "b"}}},
        {"text only: the first's binary over a text file is not saved",
         2,
         0,
         {{u"notes.txt"_s, "text"}},
         {{u"notes.txt"_s, withZeroBytes("binary")}},
         {{u"notes.txt"_s, "text again"}}},
        {"the first's file in another letter case is the one replaced",
         1,
         0,
         {{u"demo.wcx"_s, "old"}},
         {{u"Readme.txt"_s, "v1"}},
         {{u"README.TXT"_s, "v2"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(m_item).removeRecursively();
        for (const auto& [relative, data] : c.before)
            test::writeFile(m_item + u'/' + relative, data);
        const QList<QString> zips{makeZip(u"first.zip"_s, c.first), makeZip(u"second.zip"_s, c.second)};
        InstallerContext ctx = context();
        ctx.preInstallAction = static_cast<BackupBeforeInstall>(c.preInstallAction);
        ctx.postInstallAction = static_cast<AfterInstall>(c.postInstallAction);
        Installer installer(ctx);
        const DownloadRequest req = request(category::Packer, m_item + u"/demo.wcx"_s);
        EarlierInstalls earlier;
        QList<InstallPreview> previews;
        for (const QString& zip : zips)
            previews << installer.previewStep(req, zip, &earlier);
        for (qsizetype i = 0; i < zips.size(); ++i) {
            SCOPED_TRACE(i == 0 ? "first" : "second");
            QStringList existed;
            for (const QString& file : test::filesBelow(m_item))
                existed << m_item + u'/' + file;
            expectPreviewMatches(previews.at(i), installer.installStep(req, zips.at(i)), existed);
        }
    }
}

} // namespace
} // namespace quillon
