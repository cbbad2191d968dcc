#include "engine/app_core.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "app/language.h"
#include "app/scripted_prompter.h"
#include "app/settings.h"
#include "engine/check_run.h"
#include "engine/installer_context.h"
#include "install/installer.h"
#include "inventory/update_list.h"
#include "support/test_support.h"
#include "updatecheck/page_fetcher.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

// Variables the start-up reads or sets, put back after each test.
class ScopedVariables {
public:
    ~ScopedVariables() {
        for (const auto& [name, value] : m_saved) {
            if (value)
                qputenv(name.c_str(), *value);
            else
                qunsetenv(name.c_str());
        }
    }
    void set(const char* name, const std::optional<QString>& value) {
        if (!m_saved.count(name))
            m_saved[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
        if (value)
            qputenv(name, value->toUtf8());
        else
            qunsetenv(name);
    }

private:
    std::map<std::string, std::optional<QByteArray>> m_saved;
};

// A Wine-style prefix with Total Commander in C:\totalcmd, a home of its own, a settings folder
// and a program folder, all below one temporary folder.
class AppCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        const QString root = m_root.path();
        QDir().mkpath(root + u"/prefix/dosdevices"_s);
        QDir().mkpath(root + u"/prefix/drive_c/users/quillon"_s);
        QFile::link(u"../drive_c"_s, root + u"/prefix/dosdevices/c:"_s);
        tcDir = QFileInfo(root + u"/prefix/drive_c"_s).canonicalFilePath() + u"/totalcmd"_s;
        ASSERT_TRUE(test::writeFile(tcDir + u"/TOTALCMD.EXE"_s, "MZ"));
        ASSERT_TRUE(test::writeFile(tcDir + u"/wincmd.ini"_s, "[Configuration]\r\n"));
        home = root + u"/home"_s;
        settingsDir = root + u"/settings"_s;
        programDir = root + u"/program"_s;
        QDir().mkpath(home);
        QDir().mkpath(programDir);

        for (const char* name : {"COMMANDER_PATH", "COMMANDER_EXE", "COMMANDER_INI", "COMMANDER_DRIVE",
                                 "XDG_CONFIG_HOME", "XDG_DATA_HOME", "LANGUAGE", "LC_MESSAGES"})
            m_env.set(name, std::nullopt);
        m_env.set("HOME", home);
        m_env.set("APPDATA", home + u"/appdata"_s);
        m_env.set("TEMP", home + u"/tmp"_s);
        m_env.set("USERPROFILE", home);
        m_env.set("LC_ALL", u"C"_s);
        m_env.set("LANG", u"C"_s);
    }

    std::unique_ptr<AppCore> start(const QStringList& switches = {}, const QString& language = {}) {
        platform::PlatformOptions platformOptions;
        platformOptions.winePrefix = QString(m_root.path() + u"/prefix"_s).toStdString();
        auto core = std::make_unique<AppCore>(prompter, platformOptions);
        StartOptions options;
        options.programDir = programDir;
        options.programPath = programDir + u"/quillon"_s;
        options.settingsDir = settingsDir;
        options.language = language;
        core->startUp(CommandLine(QStringList{options.programPath} + switches), options);
        return core;
    }

    QString settingsFile() const { return settingsDir + u"/Quillon.ini"_s; }
    QString settingsText() const { return QString::fromUtf8(test::readFile(settingsFile())); }
    void writeSettings(const QByteArray& text) { ASSERT_TRUE(test::writeFile(settingsFile(), text)); }

    QTemporaryDir m_root;
    ScopedVariables m_env;
    ScriptedPrompter prompter;
    QString tcDir, home, settingsDir, programDir;
};

TEST_F(AppCoreTest, FindsTotalCommanderAndKeepsItsFilesNextToTheSettings) {
    auto core = start();
    EXPECT_EQ(core->tc().dir, tcDir);
    EXPECT_EQ(core->tc().iniFile, tcDir + u"/wincmd.ini"_s);
    EXPECT_EQ(core->tc().exeFile, tcDir + u"/TOTALCMD.EXE"_s);
    EXPECT_EQ(core->settingsFile(), settingsFile());
    EXPECT_EQ(core->stores().userDb.filePath(), settingsDir + u"/userdb.ini"_s);
    EXPECT_EQ(core->stores().userPluginInfo.filePath(), settingsDir + u"/upluginfo.ini"_s);
    EXPECT_EQ(core->windowCaption(), QStringLiteral("Quillon " QUILLON_VERSION));
    EXPECT_TRUE(core->shutDown());
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(AppCoreTest, CommanderPathIsSetOnlyWhenMissing) {
    struct Case {
        const char* name;
        std::optional<QString> before; // relative to the prefix's drive_c
        QString after;
    };
    const Case cases[] = {{"missing", std::nullopt, u"totalcmd"_s},
                          {"present", u"elsewhere"_s, u"elsewhere"_s}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString driveC = QFileInfo(tcDir).path();
        m_env.set("COMMANDER_PATH", c.before ? std::optional(driveC + u'/' + *c.before) : std::nullopt);
        auto core = start();
        // Without a trailing separator, so that "%COMMANDER_PATH%\x" expands to one.
        EXPECT_EQ(qEnvironmentVariable("COMMANDER_PATH"), driveC + u'/' + c.after);
    }
}

TEST_F(AppCoreTest, IniSwitchIsUsedOnlyForAnExistingFile) {
    const QString other = m_root.path() + u"/other/wincmd.ini"_s;
    ASSERT_TRUE(test::writeFile(other, "[Configuration]\r\n"));
    const struct {
        const char* name;
        QStringList switches;
        QString expected;
    } cases[] = {
        {"existing", {u"/i="_s + other}, other},
        {"missing_falls_back", {u"/i="_s + m_root.path() + u"/none.ini"_s}, tcDir + u"/wincmd.ini"_s},
        {"upper_case_ignored", {u"/I="_s + other}, tcDir + u"/wincmd.ini"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(start(c.switches)->tc().iniFile, c.expected);
    }
}

TEST_F(AppCoreTest, SafeSwitchMarksTheCaptionAndNotcKeepsTotalCommanderListed) {
    writeSettings("[Total Commander]\r\nDisabled=True\r\n");
    auto core = start({u"/SAFE"_s, u"-notc"_s});
    EXPECT_EQ(core->windowCaption(), QStringLiteral("Quillon " QUILLON_VERSION " [SAFE]"));
    ASSERT_TRUE(core->shutDown());
    EXPECT_TRUE(settingsText().contains(u"[Total Commander]\r\nDisabled=False"_s) ||
                settingsText().contains(u"[Total Commander]\nDisabled=False"_s))
        << settingsText().toStdString();
}

TEST_F(AppCoreTest, LanguageChoiceAndWhatIsSaved) {
    const struct {
        const char* name;
        QByteArray saved;
        QString option;
        bool externalFile;
        QString shown;
        QString savedAfter; // empty: no CurrentLng key written
    } cases[] = {
        {"user_locale", "", {}, false, u"ENG"_s, u"ENG"_s},
        {"saved_choice", "[Language]\r\nCurrentLng=deu\r\n", {}, false, u"DEU"_s, u"DEU"_s},
        // A one-run choice from the command line is not remembered.
        {"option_not_saved", "[Language]\r\nCurrentLng=DEU\r\n", u"1049"_s, false, u"RUS"_s, u"DEU"_s},
        {"external_file_wins", "[Language]\r\nCurrentLng=DEU\r\n", {}, true, u"LNG"_s, u"DEU"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeSettings(c.saved);
        QFile::remove(programDir + u"/Quillon.lng"_s);
        if (c.externalFile) {
            ASSERT_TRUE(test::writeFile(programDir + u"/Quillon.lng"_s,
                                        "[Language]\r\nLngShortID=XYZ\r\nCodepage=1252\r\n"));
        }
        auto core = start({}, c.option);
        EXPECT_EQ(core->language().buttonCaption(), c.shown);
        EXPECT_EQ(core->ExternalLanguage(), c.externalFile);
        ASSERT_TRUE(core->shutDown());
        IniDocument written(settingsFile());
        ASSERT_TRUE(written.load());
        EXPECT_EQ(written.value(u"Language"_s, u"CurrentLng"_s), c.savedAfter);
    }
}

TEST_F(AppCoreTest, ShutdownWritesOrRemovesTheUserFiles) {
    const QString userDb = settingsDir + u"/userdb.ini"_s;
    const QString pluginInfo = settingsDir + u"/upluginfo.ini"_s;
    const struct {
        const char* name;
        QByteArray userDbBefore; // empty: no file
        QByteArray pluginInfoBefore;
        bool addUserEntry;
        bool addPluginInfo;
        bool userDbAfter;
        bool pluginInfoAfter;
    } cases[] = {
        {"nothing_stays_nothing", {}, {}, false, false, false, false},
        // A user database whose last entry was removed takes its file with it.
        {"empty_user_db_removed", "; old\r\n", {}, false, false, false, false},
        {"entries_written", {}, {}, true, true, true, true},
        {"kept_entries_written", "[a.wcx]\r\nVersion=1\r\n", "[x]\r\nk=v\r\n", false, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(userDb);
        QFile::remove(pluginInfo);
        if (!c.userDbBefore.isEmpty()) {
            ASSERT_TRUE(test::writeFile(userDb, c.userDbBefore));
        }
        if (!c.pluginInfoBefore.isEmpty()) {
            ASSERT_TRUE(test::writeFile(pluginInfo, c.pluginInfoBefore));
        }
        auto core = start();
        if (c.addUserEntry)
            core->stores().userDb.setValue(u"b.wfx"_s, u"Version"_s, u"2"_s);
        if (c.addPluginInfo)
            core->stores().userPluginInfo.setValue(u"b.wfx"_s, u"Info"_s, u"x"_s);
        EXPECT_TRUE(core->shutDown());
        EXPECT_EQ(QFileInfo::exists(userDb), c.userDbAfter);
        EXPECT_EQ(QFileInfo::exists(pluginInfo), c.pluginInfoAfter);
        EXPECT_TRUE(prompter.messages().isEmpty());
    }
}

TEST_F(AppCoreTest, EmptyTemporaryDirectoryIsRemovedAndAFullOneKept) {
    const QString temp = home + u"/work-temp"_s;
    const QString downloads = home + u"/dl"_s;
    const struct {
        const char* name;
        QString tempDirectory;
        bool withFile;
        bool kept;
    } cases[] = {
        {"empty_removed", temp, false, false},
        {"full_kept", temp, true, true},
        // The download directory is the user's, even when empty.
        {"download_dir_kept", downloads, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir().mkpath(c.tempDirectory);
        QDir().mkpath(downloads);
        if (c.withFile) {
            ASSERT_TRUE(test::writeFile(c.tempDirectory + u"/left.zip"_s, "x"));
        }
        writeSettings(QString(u"[Configuration]\r\nDownloadDir="_s + downloads + u"/\r\nTempDirectory="_s +
                              c.tempDirectory + u"/\r\n[Additional]\r\nOneTimeTempDirChange=True\r\n"_s)
                          .toUtf8());
        auto core = start();
        EXPECT_TRUE(core->shutDown());
        EXPECT_EQ(QFileInfo(c.tempDirectory).isDir(), c.kept);
    }
}

TEST_F(AppCoreTest, SaveFailureNamesTheFileAndTheOthersAreStillWritten) {
    // A folder where the settings file should be: it cannot be replaced.
    QDir().mkpath(settingsFile());
    auto core = start();
    core->stores().userDb.setValue(u"b.wfx"_s, u"Version"_s, u"2"_s);
    core->stores().userPluginInfo.setValue(u"b.wfx"_s, u"Info"_s, u"x"_s);
    EXPECT_FALSE(core->shutDown());
    ASSERT_EQ(prompter.messages().size(), 1);
    const auto& message = prompter.messages().front();
    EXPECT_EQ(message.icon, PromptIcon::Error);
    EXPECT_EQ(message.caption, u"Error: Configuration cannot be saved"_s);
    // The reason the writer met, not a guess at "read-only".
    EXPECT_EQ(message.text, u"Unfortunately Quillon cannot save the current configuration.\r\n"
                            u"Reason: Quillon.ini could not be written.\r\n"_s +
                                QDir::toNativeSeparators(settingsFile()) +
                                u": a folder of that name is in the way"_s);
    EXPECT_TRUE(QFileInfo::exists(settingsDir + u"/userdb.ini"_s));
    EXPECT_TRUE(QFileInfo::exists(settingsDir + u"/upluginfo.ini"_s));
}

TEST_F(AppCoreTest, ReadOnlySettingsFolderReportsEveryFileAndKeepsTheOldOnes) {
    writeSettings("[GUI]\r\nMainForm_W=600\r\n");
    ASSERT_TRUE(test::writeFile(settingsDir + u"/userdb.ini"_s, "[a.wcx]\r\nVersion=1\r\n"));
    auto core = start();
    core->stores().userDb.setValue(u"b.wfx"_s, u"Version"_s, u"2"_s);
    core->stores().userPluginInfo.setValue(u"b.wfx"_s, u"Info"_s, u"x"_s);
    {
        test::ReadOnlyFolder readOnly(settingsDir);
        QUILLON_SKIP_UNLESS(readOnly.ok(), "cannot make a folder read-only here");
        EXPECT_FALSE(core->shutDown());
    }
    QStringList named;
    for (const auto& message : prompter.messages())
        named << message.text.section(u"Reason: "_s, 1).section(u' ', 0, 0);
    EXPECT_EQ(named, (QStringList{u"Quillon.ini"_s, u"userdb.ini"_s, u"upluginfo.ini"_s}));
    EXPECT_EQ(test::readFile(settingsDir + u"/userdb.ini"_s), "[a.wcx]\r\nVersion=1\r\n");
    EXPECT_EQ(test::readFile(settingsFile()), "[GUI]\r\nMainForm_W=600\r\n");
}

TEST_F(AppCoreTest, SelfUpdateLeftoverIsRemoved) {
    EXPECT_EQ(AppCore::oldExecutableName(u"C:/tc/Quillon.EXE"_s), u"QN_old.exe"_s);
    EXPECT_EQ(AppCore::oldExecutableName(u"/opt/q/quillon"_s), u"quillon_old"_s);
    const QString leftover = programDir + u"/quillon_old"_s;
    ASSERT_TRUE(test::writeFile(leftover, "old"));
    ASSERT_TRUE(test::writeFile(programDir + u"/QN_old.exe"_s, "not ours on Linux"));
    auto core = start();
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_TRUE(QFileInfo::exists(programDir + u"/QN_old.exe"_s));
}

TEST_F(AppCoreTest, CheckStateAndFetcherLastFromOneListLoadToTheNext) {
    // Nothing listens on the discard port of the loopback address: the fetch fails at once.
    writeSettings("[Sites]\r\nCatalogue=http://127.0.0.1:9/\r\n");
    auto core = start();
    UpdateCheckState& state = core->updateCheckState();
    PageFetcher& fetcher = core->pageFetcher();
    EXPECT_EQ(&core->updateCheckState(), &state);
    EXPECT_EQ(&core->pageFetcher(), &fetcher);
    EXPECT_EQ(fetcher.settings().catalogueBase, u"http://127.0.0.1:9/"_s);

    EXPECT_TRUE(fetcher.GetURLAsString(u"http://127.0.0.1:9/get_plugins_list.php"_s).isEmpty());
    EXPECT_NE(fetcher.ConnectionErrorKind(), kConnectionOk);
    state.PublicationDates.insert(u"/old/zip.wcx"_s, u"10.06.2024"_s);
    state.OnlineListFetched = true;

    core->runInventoryPass();
    EXPECT_TRUE(state.ListLoaded);
    EXPECT_FALSE(state.OnlineListFetched);
    EXPECT_TRUE(state.PublicationDates.isEmpty());
    EXPECT_EQ(fetcher.ConnectionErrorKind(), kConnectionOk);
}

// The window's inventory job builds on copies: the core changes only when its outcome is
// applied, and a cancelled outcome changes nothing.
TEST_F(AppCoreTest, InventoryOfAJobChangesTheCoreOnlyWhenApplied) {
    auto core = start();
    ASSERT_EQ(core->updateList().rowCount(), 0);
    const CancelToken cancelled;
    cancelled.cancel();
    for (const bool reload : {false, true}) {
        InventoryOutcome dropped = core->inventory(reload, cancelled);
        EXPECT_TRUE(dropped.result.cancelled);
        core->applyInventory(std::move(dropped));
        EXPECT_EQ(core->updateList().rowCount(), 0);
        EXPECT_FALSE(core->InventoryDone);
    }
    InventoryOutcome outcome = core->inventory(true, CancelToken());
    const int rows = outcome.list.rowCount();
    EXPECT_GT(rows, 0);
    EXPECT_EQ(core->updateList().rowCount(), 0);
    core->applyInventory(std::move(outcome));
    EXPECT_EQ(core->updateList().rowCount(), rows);
    EXPECT_TRUE(core->InventoryDone);
}

TEST_F(AppCoreTest, RefreshAfterAnInstallationReadsTheLastCheck) {
    // A plugin built ten days after the catalogue published 1.1, its history still saying 1.0:
    // with the publication date the file is taken as that release, without it the versions
    // decide.
    const QString dir = m_root.path() + u"/plugins/zip"_s;
    const QString plugin = dir + u"/zip.wcx"_s;
    ASSERT_TRUE(test::writeFile(plugin, "zip"));
    QFile file(plugin);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime(QDate(2024, 6, 20), QTime(12, 0)), QFileDevice::FileModificationTime);
    file.close();
    ASSERT_TRUE(test::writeFile(dir + u"/history.txt"_s, "v1.0 \n"));

    const struct {
        const char* name;
        QString published;
        ItemState state;
    } cases[] = {
        {"published before the build", u"10.06.2024"_s, ItemState::Ok},
        {"published after the build", u"25.06.2024"_s, ItemState::Update},
        {"no check gave a date", {}, ItemState::Update},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto core = start();
        UpdateList& list = core->updateList();
        const int row = list.addRow(u"zip"_s, u"1.0"_s, plugin, ItemGroup::Wcx);
        list.setLatestVersion(row, u"1.1"_s);
        list.setChecked(row, true); // marked for the installation
        if (!c.published.isEmpty())
            core->updateCheckState().PublicationDates.insert(plugin.toLower(), c.published);

        // Computed on the job's copies; the core's list changes only when the outcome is applied.
        const RowsRefresh refresh = InstallerContextFromCore(*core).refreshRows(plugin);
        EXPECT_TRUE(list.row(row).Checked);
        EXPECT_EQ(core->applyRowsRefresh(refresh), QList<int>{row});
        EXPECT_EQ(list.state(row), c.state);
        EXPECT_EQ(list.row(row).Checked, c.state == ItemState::Update);
    }
}

} // namespace
} // namespace quillon
