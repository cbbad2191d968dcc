#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/ini_document.h"
#include "app/language.h"
#include "app/scripted_prompter.h"
#include "app/settings_values.h"
#include "install/request_builder.h"
#include "inventory/update_list.h"
#include "support/test_support.h"
#include "updatecheck/online_list.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(PackageChoice, KindsAndLinks) {
    const struct {
        int choice;
        PackageKind kind;
    } kinds[] = {{0, PackageKind::Unified}, {6486, PackageKind::Unified}, {86, PackageKind::X86},
                 {1, PackageKind::X86},     {64, PackageKind::X64},       {2, PackageKind::X64},
                 {7, PackageKind::None}};
    for (const auto& k : kinds)
        EXPECT_EQ(PackageKindOf(static_cast<PackageChoice>(k.choice)), k.kind) << k.choice;

    const TcPackageLinks links = ClassifyTcPackageLinks(
        {u"http://t/tcmd1100x32.exe"_s, u"http://t/readme.txt"_s, u"http://t/tcmd1100x64.exe"_s,
         u"http://t/tcmd1100x32_64.exe"_s, u"http://t/tcmd1101x32.exe"_s});
    EXPECT_EQ(links.unified, u"http://t/tcmd1100x32_64.exe"_s);
    EXPECT_EQ(links.x86, u"http://t/tcmd1101x32.exe"_s); // the later one wins
    EXPECT_EQ(links.x64, u"http://t/tcmd1100x64.exe"_s);
    EXPECT_EQ(
        TcPackageLinkForDownload(links, static_cast<PackageChoice>(64), false, u"http://c/"_s, u"totalcmd"_s),
        links.x64);
    EXPECT_EQ(
        TcPackageLinkForDownload(links, static_cast<PackageChoice>(7), false, u"http://c/"_s, u"totalcmd"_s),
        links.x86);
    EXPECT_EQ(
        TcPackageLinkForDownload({}, static_cast<PackageChoice>(0), true, u"http://c/"_s, u"totalcmd"_s),
        u"http://c/download.php?id=totalcmd&pkg=x64"_s);
    EXPECT_EQ(TcPackageLinkForExternal({{}, {}, links.x64}, static_cast<PackageChoice>(7), u"http://c/"_s,
                                       u"totalcmd"_s),
              links.x64);
    EXPECT_EQ(TcPackageLinkForExternal({}, static_cast<PackageChoice>(1), u"http://c/"_s, u"totalcmd"_s),
              u"http://c/download.php?id=totalcmd&pkg=x32"_s);
}

TEST(PackageTag, ByNameExtensionAndPlatform) {
    const struct {
        const char* name;
        const char* extension;
        const char* platform;
        const char* platform2;
        const char* tag;
    } cases[] = {
        {"foo", "wcx", "x32+x64", "x64", "x32"},     {"foo", "wcx64", "x32", "x64", "x64"},
        {"foo", "wcx64", "x32", "", "x32"},          {"foo", "wcx64", "x32+x64", "", "x32+x64"},
        {"totalcmd64", "exe", "x32", "", "x32+x64"}, {"TOTALCMD64", "exe", "x32", "x64", "x64"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PackageTag(QString::fromLatin1(c.name), QString::fromLatin1(c.extension),
                             QString::fromLatin1(c.platform), QString::fromLatin1(c.platform2)),
                  QString::fromLatin1(c.tag))
            << c.name << ' ' << c.extension;
}

class RequestBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_settings.siteCatalogue = u"http://127.0.0.1:1/"_s;
        m_settings.oneTimeUpdateQuestion = true;
        m_settings.rememberTcPackageSel = true;
        m_list.addRow(u"Total Commander"_s, u"10.0"_s, u"/tc/TOTALCMD64.EXE"_s, ItemGroup::TC);
        m_list.addRow(u"My Packer.wcx64"_s, u"1.0"_s, u"/tc/plugins/mypacker.wcx64"_s, ItemGroup::Wcx);
        m_list.addRow(u"Mirrored"_s, u"1.0"_s, u"/tc/plugins/mirrored.wlx"_s, ItemGroup::Wlx);
        m_list.addRow(u"Hidden"_s, u"1.0"_s, u"/tc/plugins/forum.wdx"_s, ItemGroup::Wdx);
        m_list.addRow(u"Plugin database"_s, u"1"_s, u"tcplugindb"_s, ItemGroup::QN);
        m_list.setState(1, ItemState::Update);
        m_list.setChecked(1, true);
        m_list.setChecked(3, true);
        m_pluginDb.setValue(u"mypacker"_s, u"AuthorURL"_s, u"http://author/"_s);
        m_pluginDb.setValue(u"mirrored.wlx"_s, u"DirectLink"_s, u"$762"_s);
        m_userDb.setValue(u"forum.wdx"_s, u"WebsiteID"_s, u"#12345"_s);
        m_pluginDb.setValue(u"tcplugindb"_s, u"WebsiteID"_s, u"tcplugindb"_s);
    }
    RequestContext context() {
        return RequestContext{.list = m_list,
                              .userDb = m_userDb,
                              .pluginDb = m_pluginDb,
                              .switches = {},
                              .online = m_online,
                              .settings = m_settings,
                              .downloadDir = u"/dl/"_s,
                              .safeMode = m_safe,
                              .announcedBetaPage = {},
                              .pageLinks = {},
                              .choosePackage = {}};
    }
    DownloadRequestList build(bool forceInstall, const QList<int>& selected, bool marked,
                              const QString& force = {}) {
        RequestContext ctx = context();
        const DownloadRequestList requests = StartDownloadProcess(
            ctx, m_prompter, m_language, u"Quillon"_s, true, force, forceInstall, selected, marked);
        ApplyRequestChoices(m_settings, ctx.choices);
        return requests;
    }

    UpdateList m_list;
    IniDocument m_userDb;
    IniDocument m_pluginDb;
    OnlineList m_online{QStringList{u"mypacker|My Packer|1.5|01.01.2024|packer|x32+x64|x64"_s}};
    SettingValues m_settings;
    ScriptedPrompter m_prompter;
    Language m_language;
    bool m_safe = false;
};

TEST_F(RequestBuilderTest, RowsTakenAndFields) {
    m_settings.installAfterDl = true;
    // Marked rows: the packer (updatable) and the forum item, which has no usable source.
    const DownloadRequestList marked = build(false, {2}, true);
    ASSERT_EQ(marked.size(), 1);
    EXPECT_EQ(marked[0].Url, u"http://127.0.0.1:1/download.php?id=mypacker&pkg=x64&source=kwiloo"_s);
    EXPECT_EQ(marked[0].LocalArchive, u"/dl/wcx64_My_Packer.zip"_s);
    EXPECT_EQ(marked[0].AuthorUrl, u"http://author/"_s);
    EXPECT_EQ(marked[0].Category, u"packer"_s);
    EXPECT_EQ(marked[0].InstallFlag, u"1"_s);

    // Selected rows: the "$" link unchanged, marks ignored.
    const DownloadRequestList selected = build(false, {2, 3}, false);
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].Url, u"$762"_s);
    EXPECT_EQ(selected[0].Category, u"lister"_s);
    EXPECT_EQ(selected[0].InstallFlag, u"0"_s);

    const DownloadRequestList forced = build(true, {1, 2}, true, u"tcplugindb"_s);
    ASSERT_EQ(forced.size(), 1);
    EXPECT_EQ(forced[0].LocalArchive, u"database.dat"_s);
    EXPECT_EQ(forced[0].Category, u"tcplugindb"_s);
    EXPECT_EQ(forced[0].InstallFlag, u"1"_s);
    EXPECT_TRUE(ExternalManagerLinks(forced).isEmpty());
}

TEST_F(RequestBuilderTest, SafeModeAndTheOneTimeQuestion) {
    m_settings.installAfterDl = false;
    m_settings.oneTimeUpdateQuestion = false;
    m_safe = true;
    m_prompter.queueAnswer(PromptAnswer::Yes);
    const DownloadRequestList safe = build(false, {}, true);
    EXPECT_TRUE(m_settings.installAfterDl);
    EXPECT_TRUE(m_settings.oneTimeUpdateQuestion);
    ASSERT_EQ(safe.size(), 1);
    EXPECT_EQ(safe[0].InstallFlag, u"0"_s);
    EXPECT_EQ(build(true, {}, true)[0].InstallFlag, u"1"_s);
    EXPECT_EQ(m_prompter.messages().size(), 1); // asked once only
}

TEST_F(RequestBuilderTest, TotalCommanderRowAsksForThePackage) {
    m_settings.rememberTcPackageSel = false;
    RequestContext ctx = context();
    int asked = 0;
    ctx.choosePackage = [&] {
        ++asked;
        return std::optional<PackageSelection>({PackageChoice::X64, true});
    };
    ctx.pageLinks = [](const QString&) { return QStringList{u"http://t/tc64x64.exe"_s}; };
    const auto internal = DownloadSetValues(ctx, true, {}, false, 0);
    ASSERT_TRUE(internal);
    EXPECT_EQ(internal->Category, u"totalcmd"_s);
    ApplyRequestChoices(m_settings, ctx.choices);
    EXPECT_EQ(m_settings.tcDownloadPackage, PackageChoice::X64);
    EXPECT_TRUE(m_settings.rememberTcPackageSel);
    const auto external = DownloadSetValues(ctx, false, {}, false, 0);
    ASSERT_TRUE(external);
    EXPECT_EQ(external->Url, u"http://t/tc64x64.exe"_s);
    EXPECT_EQ(asked, 1);

    // Cancelled: no package of Total Commander is fetched at all.
    m_settings.rememberTcPackageSel = false;
    ctx.choices = {};
    ctx.choosePackage = [] { return std::optional<PackageSelection>(); };
    EXPECT_FALSE(DownloadSetValues(ctx, true, {}, false, 0));
}

TEST_F(RequestBuilderTest, ConfirmWritesOverrideAndSetsOk) {
    QTemporaryDir dir;
    const QString plugin = dir.path() + u"/mine.wcx"_s;
    ASSERT_TRUE(test::writeFile(plugin, "123456789"));
    const int row = m_list.addRow(u"Mine"_s, u"1.0"_s, plugin, ItemGroup::Wcx);
    m_list.setLatestVersion(row, u"2.0"_s);
    m_list.setState(row, ItemState::Update);
    m_list.setChecked(row, true);
    IniDocument store;
    ConfirmContext confirm{m_list, store, {}, u"/tc/TOTALCMD64.EXE"_s, [](const QString& path) -> QString {
                               return u"%COMMANDER_PATH%/"_s + path.section(u'/', -1);
                           }};
    m_prompter.queueAnswer(PromptAnswer::Yes);
    // Row 1 (updatable, marked) has no file on disk and stays as it is.
    EXPECT_EQ(ConfirmUpdatableAsLatest(confirm, m_prompter, m_language), 1);
    EXPECT_TRUE(m_prompter.messages().last().text.contains(u"(2/2)"_s));
    EXPECT_EQ(store.value(u"OverridePlugVer"_s, u"%COMMANDER_PATH%\\mine.wcx"_s), u"3421780262|2.0"_s);
    EXPECT_EQ(m_list.row(row).InstalledVersion, u"2.0"_s);
    EXPECT_EQ(m_list.state(row), ItemState::Ok);
    EXPECT_FALSE(m_list.row(row).Checked);
    EXPECT_EQ(m_list.state(1), ItemState::Update);
}

} // namespace
} // namespace quillon
