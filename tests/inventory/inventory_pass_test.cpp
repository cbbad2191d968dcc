// The inventory pass over small Wine-style installations built in temporary folders: which
// files end up in the update list, in which group and order, for each detection mode.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/scripted_prompter.h"
#include "app/settings.h"
#include "engine/app_core.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

// A prefix with Total Commander in C:\totalcmd, wincmd.ini beside it, and a settings folder.
class Installation {
public:
    Installation() {
        QDir().mkpath(root() + u"/dosdevices"_s);
        QDir().mkpath(root() + u"/drive_c/windows/system32"_s);
        QDir().mkpath(root() + u"/drive_c/totalcmd"_s);
        QFile::link(u"../drive_c"_s, root() + u"/dosdevices/c:"_s);
        QFile::link(u"/"_s, root() + u"/dosdevices/z:"_s);
        const QByteArray header = "WINE REGISTRY Version 2\n;; All keys relative to ";
        test::writeFile(root() + u"/user.reg"_s, header +
                                                     "\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n"
                                                     "\n[Software\\\\Ghisler\\\\Total Commander] 1717243200\n"
                                                     "\"IniFileName\"=\"C:\\\\totalcmd\\\\wincmd.ini\"\n"
                                                     "\"InstallDir\"=\"C:\\\\totalcmd\"\n");
        test::writeFile(root() + u"/system.reg"_s, header + "\\\\Machine\n\n#arch=win64\n");
        tc = QFileInfo(root() + u"/drive_c/totalcmd"_s).canonicalFilePath();
    }
    QString root() const { return m_dir.path() + u"/prefix"_s; }
    QString settingsDir() const { return m_dir.path() + u"/settings"_s; }

    // A real PE file with a version resource at the path below Total Commander's directory.
    QString pe(const QString& relative) {
        const QString target = tc + u'/' + relative;
        QDir().mkpath(QFileInfo(target).absolutePath());
        EXPECT_TRUE(
            QFile::copy(QStringLiteral(QUILLON_GENERATED_DATA_DIR "/pe/us_english_1252_64.dll"), target))
            << relative.toStdString();
        return target;
    }
    void file(const QString& relative, const QByteArray& content) {
        ASSERT_TRUE(test::writeFile(tc + u'/' + relative, content));
    }
    // wincmd.ini (or another file below Total Commander's directory), lines joined with CR LF.
    void ini(const QString& relative, const QList<QByteArray>& lines) {
        QByteArray text;
        for (const QByteArray& line : lines)
            text += line + "\r\n";
        file(relative, text);
    }
    void settings(const QByteArray& text) {
        ASSERT_TRUE(test::writeFile(settingsDir() + u"/Quillon.ini"_s, text));
    }

    std::unique_ptr<AppCore> start(ScriptedPrompter& prompter, const QStringList& switches = {}) {
        platform::PlatformOptions options;
        options.winePrefix = root().toStdString();
        auto core = std::make_unique<AppCore>(prompter, options);
        StartOptions start;
        start.settingsDir = settingsDir();
        start.programPath = m_dir.path() + u"/bin/quillon"_s;
        start.language = u"1033"_s;
        core->startUp(CommandLine(QStringList{start.programPath} + switches), start);
        return core;
    }

    QString tc;

private:
    QTemporaryDir m_dir;
};

// "wcx:plugins/a.wcx" for rows of groups 1 to 5, paths relative to Total Commander's directory.
QStringList pluginRows(const UpdateList& list, const QString& tc) {
    QStringList rows;
    for (const UpdateItem& item : list.rows()) {
        if (item.Group == ItemGroup::TC || item.Group == ItemGroup::QN)
            continue;
        rows << groupShortName(item.Group) + u':' + QDir(tc).relativeFilePath(item.FilePath);
    }
    return rows;
}

void clearCommanderVariables() {
    for (const char* name :
         {"COMMANDER_PATH", "COMMANDER_INI", "COMMANDER_EXE", "COMMANDER_DRIVE", "WINEPREFIX"})
        qunsetenv(name);
}

struct PassCase {
    const char* name;
    std::function<void(Installation&)> setup;
    QStringList switches;
    QList<PromptAnswer> answers;
    QStringList expected; // plugin and add-on rows in list order
    int questions = 0;
    int detectionModeAfter = -1; // -1: not checked
    bool showConfiguration = false;
};
void PrintTo(const PassCase& c, std::ostream* os) {
    *os << c.name;
}

const QList<QByteArray> kWincmdWithSections = {
    "[Configuration]",
    "InstallDir=C:\\totalcmd",
    "[PackerPlugins]",
    "zip=31,%COMMANDER_PATH%\\plugins\\wcx\\zz\\zz.wcx",
    "rar=95,C:\\totalcmd\\plugins\\wcx\\aa\\aa.wcx64",
    "ace=%COMMANDER_PATH%\\plugins\\wcx\\mm.wcx",
    "zip2=31,C:\\TOTALCMD\\PLUGINS\\WCX\\ZZ\\ZZ.WCX",
    "gone=31,%COMMANDER_PATH%\\plugins\\wcx\\missing.wcx",
    "[FileSystemPlugins]",
    "Sample FS=%COMMANDER_PATH%\\plugins\\wfx\\fs.wfx64",
    "[ListerPlugins]",
    "0=%COMMANDER_PATH%\\plugins\\wlx\\view.wlx",
    "0_detect=\"EXT=\"TXT\"\"",
    "1=%commander_path%\\Plugins\\WLX\\VIEW.wlx",
    "[ContentPlugins]",
    "RedirectSection=1",
    "0=%COMMANDER_PATH%\\plugins\\wdx\\ignored.wdx",
};

void sectionInstallation(Installation& in) {
    QList<QByteArray> lines = kWincmdWithSections;
    lines.insert(2, "AlternateUserIni=alt.ini");
    in.ini(u"wincmd.ini"_s, lines);
    in.ini(u"alt.ini"_s, {"[ContentPlugins]", "0=%COMMANDER_PATH%\\plugins\\wdx\\alt.wdx", "0_detect=\"x\""});
    for (const char* p :
         {"plugins/wcx/zz/zz.wcx", "plugins/wcx/aa/aa.wcx64", "plugins/wcx/mm.wcx", "plugins/wfx/fs.wfx64",
          "plugins/wlx/view.wlx", "plugins/wdx/alt.wdx", "plugins/wdx/ignored.wdx"})
        in.pe(QString::fromLatin1(p));
}

const QStringList kSectionRows = {u"wcx:plugins/wcx/aa/aa.wcx64"_s, u"wcx:plugins/wcx/mm.wcx"_s,
                                  u"wcx:plugins/wcx/zz/zz.wcx"_s,   u"wfx:plugins/wfx/fs.wfx64"_s,
                                  u"wlx:plugins/wlx/view.wlx"_s,    u"wdx:plugins/wdx/alt.wdx"_s};

void utilityInstallation(Installation& in) {
    in.ini(u"wincmd.ini"_s, {"[Configuration]", "InstallDir=C:\\totalcmd"});
    in.pe(u"tcmatch.dll"_s);
    in.pe(u"plugins/wfx/http/HTTPPlugin.dll"_s);
    in.pe(u"tools/zed.exe"_s);
    in.pe(u"tools/setup.exe"_s);
    in.pe(u"tools/UNINST.EXE"_s);
    in.pe(u"tools/sub/deep.exe"_s);
    in.pe(u"tools/sub/deeper/deepest.exe"_s);
    in.pe(u"language/lang.exe"_s);
    in.pe(u"plugins/wcx/inplugins.exe"_s);
    in.pe(u"packs/wlx/x.exe"_s);
    in.pe(u"packs/tool.exe"_s);
    in.file(u"tools/readme.txt"_s, "not a program");
    // A link out of the tree (here to the whole file system) is never followed.
    QFile::link(u"/"_s, in.tc + u"/rootlink"_s);
}

// Sorted by file name.
const QStringList kUtilityRows = {u"oth:tools/sub/deep.exe"_s, u"oth:tools/sub/deeper/deepest.exe"_s,
                                  u"oth:plugins/wfx/http/HTTPPlugin.dll"_s, u"oth:tcmatch.dll"_s,
                                  u"oth:tools/zed.exe"_s};

class InventoryPassTest : public ::testing::TestWithParam<PassCase> {
protected:
    void SetUp() override {
        if (!test::requireMingw())
            GTEST_SKIP() << "MinGW-built PE files are not available";
        clearCommanderVariables();
    }
    void TearDown() override { clearCommanderVariables(); }
};

TEST_P(InventoryPassTest, ListsTheRightFiles) {
    const PassCase& c = GetParam();
    Installation in;
    in.pe(u"TOTALCMD64.EXE"_s);
    c.setup(in);
    ScriptedPrompter prompter;
    for (const PromptAnswer answer : c.answers)
        prompter.queueAnswer(answer);
    auto core = in.start(prompter, c.switches);
    const InventoryPassResult result = core->runInventoryPass();
    const UpdateList& list = core->updateList();

    EXPECT_EQ(pluginRows(list, in.tc), c.expected);
    EXPECT_TRUE(list.groupListsMatchRows());
    EXPECT_TRUE(list.hiddenItems().isEmpty());
    EXPECT_EQ(list.snapshot().count(), list.rowCount());
    EXPECT_TRUE(result.configFound);
    EXPECT_TRUE(result.tcRow);
    ASSERT_GE(list.rowCount(), 1);
    EXPECT_EQ(list.row(0).Group, ItemGroup::TC);
    EXPECT_EQ(list.row(0).FilePath, in.tc + u"/TOTALCMD64.EXE"_s);
    EXPECT_EQ(result.progressMaximum, list.groupLists().totalCount() + 1);
    EXPECT_EQ(result.showConfiguration, c.showConfiguration);
    int questions = 0;
    for (const auto& message : prompter.messages())
        questions += message.wasQuestion ? 1 : 0;
    EXPECT_EQ(questions, c.questions);
    if (c.detectionModeAfter >= 0) {
        EXPECT_EQ(modeNumber(core->settings().values.plugDetectionMode), c.detectionModeAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, InventoryPassTest,
    ::testing::Values(
        // Sections of wincmd.ini: flags and comma, "=" only, a Windows path, a path in another
        // letter case, a missing file, the "_detect" line, RedirectSection "1" to AlternateUserIni.
        PassCase{"AutomaticFromSections", sectionInstallation, {}, {}, kSectionRows, 0, 0, false},
        PassCase{"PluginDetectionOff",
                 [](Installation& in) {
                     sectionInstallation(in);
                     in.settings("[Plugins]\r\nDisabled=True\r\n");
                 },
                 {},
                 {},
                 {},
                 0,
                 -1,
                 false},
        // Mode 1: every file of the plugins directory matching the kind's mask, sections ignored.
        PassCase{"PluginsDirectoryScan",
                 [](Installation& in) {
                     sectionInstallation(in);
                     in.pe(u"plugins/extra/new.wcx64"_s);
                     in.pe(u"plugins/extra/old.WDX"_s);
                     in.file(u"plugins/extra/notes.txt"_s, "text");
                     in.settings("[Plugins]\r\nDetectionMode=1\r\n");
                 },
                 {},
                 {},
                 {u"wcx:plugins/wcx/aa/aa.wcx64"_s, u"wcx:plugins/wcx/mm.wcx"_s,
                  u"wcx:plugins/extra/new.wcx64"_s, u"wcx:plugins/wcx/zz/zz.wcx"_s,
                  u"wfx:plugins/wfx/fs.wfx64"_s, u"wlx:plugins/wlx/view.wlx"_s, u"wdx:plugins/wdx/alt.wdx"_s,
                  u"wdx:plugins/wdx/ignored.wdx"_s, u"wdx:plugins/extra/old.WDX"_s},
                 0,
                 1,
                 false},
        // pluginbasedir moves the scan.
        PassCase{"PluginBaseDir",
                 [](Installation& in) {
                     in.ini(u"wincmd.ini"_s, {"[Configuration]", "pluginbasedir=%COMMANDER_PATH%\\addons"});
                     in.pe(u"addons/one.wlx"_s);
                     in.pe(u"plugins/two.wlx"_s);
                     in.settings("[Plugins]\r\nDetectionMode=1\r\n");
                 },
                 {},
                 {},
                 {u"wlx:addons/one.wlx"_s},
                 0,
                 1,
                 false},
        // Mode 2: the list file, given without extension; wincmd.ini's own sections are not read.
        PassCase{"ManualListFile",
                 [](Installation& in) {
                     sectionInstallation(in);
                     in.ini(u"lists/mine.ini"_s,
                            {"[PackerPlugins]", "x=1,%COMMANDER_PATH%\\plugins\\wcx\\mm.wcx"});
                     in.settings(
                         "[Plugins]\r\nDetectionMode=2\r\nManualFilePath=C:\\totalcmd\\lists\\mine\r\n");
                 },
                 {},
                 {},
                 {u"wcx:plugins/wcx/mm.wcx"_s},
                 0,
                 2,
                 false},
        // A missing list file: "No" falls back to wincmd.ini and automatic detection.
        PassCase{"ManualListMissingNo",
                 [](Installation& in) {
                     sectionInstallation(in);
                     in.settings("[Plugins]\r\nDetectionMode=2\r\nManualFilePath=C:\\totalcmd\\none.ini\r\n");
                 },
                 {},
                 {PromptAnswer::No},
                 kSectionRows,
                 1,
                 0,
                 false},
        // "Yes": the user corrects the path; this pass lists no plugins.
        PassCase{"ManualListMissingYes",
                 [](Installation& in) {
                     sectionInstallation(in);
                     in.settings("[Plugins]\r\nDetectionMode=2\r\nManualFilePath=C:\\totalcmd\\none.ini\r\n");
                 },
                 {},
                 {PromptAnswer::Yes},
                 {},
                 1,
                 2,
                 true},
        // Add-ons and utilities: known add-ons anywhere below Total Commander's directory; the
        // executables of its subdirectories but the plugins directory, "language" and folders
        // holding plugin-kind folders; installers dropped; links not followed.
        PassCase{"AddonsAndUtilities", utilityInstallation, {}, {}, kUtilityRows, 0, -1, false},
        PassCase{"SafeSkipsAddons", utilityInstallation, {u"/safe"_s}, {}, {}, 0, -1, false},
        PassCase{"SecondaryDirectoryOnly",
                 [](Installation& in) {
                     utilityInstallation(in);
                     in.pe(u"../other/far.exe"_s);
                     in.settings("[Plugins]\r\nSecondaryPlgDir=C:\\other\r\nForceSecondary=True\r\n");
                 },
                 {},
                 {},
                 {u"oth:../other/far.exe"_s, u"oth:plugins/wfx/http/HTTPPlugin.dll"_s, u"oth:tcmatch.dll"_s},
                 0,
                 -1,
                 false},
        // Exceptions: a file, and a directory (its files only, not its subdirectories).
        PassCase{"ExceptionsByFileAndDirectory",
                 [](Installation& in) {
                     utilityInstallation(in);
                     sectionInstallation(in);
                     in.settings("[ExceptionList]\r\n0=%COMMANDER_PATH%\\plugins\\wcx\\MM.wcx\r\n"
                                 "1=%COMMANDER_PATH%\\tools\\sub\r\n2=c:\\totalcmd\\plugins\\wdx\\\r\n"
                                 "3=%COMMANDER_PATH%\r\n");
                 },
                 {},
                 {},
                 {u"wcx:plugins/wcx/aa/aa.wcx64"_s, u"wcx:plugins/wcx/zz/zz.wcx"_s,
                  u"wfx:plugins/wfx/fs.wfx64"_s, u"wlx:plugins/wlx/view.wlx"_s,
                  u"oth:tools/sub/deeper/deepest.exe"_s, u"oth:plugins/wfx/http/HTTPPlugin.dll"_s,
                  u"oth:tcmatch.dll"_s, u"oth:tools/zed.exe"_s},
                 0,
                 -1,
                 false},
        PassCase{"ExceptionsIgnored",
                 [](Installation& in) {
                     sectionInstallation(in);
                     in.settings("[ExceptionList]\r\n0=%COMMANDER_PATH%\\plugins\\wcx\\mm.wcx\r\n"
                                 "[UserDB]\r\nIgnoreExceptionList=True\r\n");
                 },
                 {},
                 {},
                 kSectionRows,
                 0,
                 -1,
                 false},
        // Identification hides files that are no executable image; the lists follow the rows.
        PassCase{"HiddenRowsLeaveTheLists",
                 [](Installation& in) {
                     sectionInstallation(in);
                     in.file(u"plugins/wcx/mm.wcx"_s, "MZ but nothing else");
                 },
                 {},
                 {},
                 {u"wcx:plugins/wcx/aa/aa.wcx64"_s, u"wcx:plugins/wcx/zz/zz.wcx"_s,
                  u"wfx:plugins/wfx/fs.wfx64"_s, u"wlx:plugins/wlx/view.wlx"_s, u"wdx:plugins/wdx/alt.wdx"_s},
                 0,
                 -1,
                 false}),
    [](const auto& param) { return std::string(param.param.name); });

class InventoryPassErrors : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::requireMingw())
            GTEST_SKIP() << "MinGW-built PE files are not available";
        clearCommanderVariables();
    }
    void TearDown() override { clearCommanderVariables(); }
};

TEST_F(InventoryPassErrors, MissingWincmdIniListsNothingAndSaysSoOnce) {
    Installation in;
    in.pe(u"TOTALCMD64.EXE"_s);
    in.pe(u"tools/zed.exe"_s);
    ScriptedPrompter prompter;
    auto core = in.start(prompter);
    const InventoryPassResult result = core->runInventoryPass();
    EXPECT_FALSE(result.configFound);
    EXPECT_TRUE(result.showConfiguration);
    EXPECT_EQ(core->updateList().rowCount(), 0);
    EXPECT_EQ(core->updateList().groupLists().totalCount(), 0);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages().first().text,
              u"Total Commander can't be found. Incorrect wincmd.ini path?"_s);
    EXPECT_EQ(result.errors.size(), 1);
}

TEST_F(InventoryPassErrors, MissingExecutableKeepsThePluginsWithoutTotalCommandersRow) {
    Installation in;
    sectionInstallation(in);
    ScriptedPrompter prompter;
    auto core = in.start(prompter);
    const InventoryPassResult result = core->runInventoryPass();
    EXPECT_TRUE(result.configFound);
    EXPECT_FALSE(result.tcRow);
    EXPECT_FALSE(core->updateList().hasTcRow());
    // Without its executable Total Commander's directory is unknown, so only the lines that
    // name a drive resolve; "%COMMANDER_PATH%" stays unexpanded.
    EXPECT_EQ(pluginRows(core->updateList(), in.tc),
              (QStringList{u"wcx:plugins/wcx/aa/aa.wcx64"_s, u"wcx:plugins/wcx/zz/zz.wcx"_s}));
    EXPECT_TRUE(core->updateList().groupListsMatchRows());
    EXPECT_EQ(prompter.messages().size(), 1);
}

TEST_F(InventoryPassErrors, ReloadBuildsTheSameListAgainAndSeesNewFiles) {
    Installation in;
    in.pe(u"TOTALCMD64.EXE"_s);
    sectionInstallation(in);
    ScriptedPrompter prompter;
    auto core = in.start(prompter);
    core->runInventoryPass();
    const QList<UpdateItem> first = core->updateList().rows();
    core->ReloadList();
    EXPECT_EQ(core->updateList().rows(), first);
    EXPECT_TRUE(core->InventoryDone);

    in.pe(u"tools/new.exe"_s);
    core->ReloadList();
    EXPECT_EQ(core->updateList().rowCount(), first.size() + 1);
    EXPECT_TRUE(core->updateList().groupListsMatchRows());
    // Quillon's group: the two database rows (this test's program is no executable image).
    const UpdateList& list = core->updateList();
    EXPECT_EQ(list.row(list.rowCount() - 1).FilePath, u"checksumdb"_s);
    EXPECT_EQ(list.row(list.rowCount() - 2).FilePath, u"tcplugindb"_s);
}

} // namespace
} // namespace quillon
