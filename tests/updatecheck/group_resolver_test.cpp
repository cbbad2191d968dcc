// One group of items resolved against catalogue records: which record wins, what it writes
// into the row, the names learned, the remembered versions, and the literal scan's equality.
#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/common/checksums.h"
#include "app/ini_document.h"
#include "inventory/update_list.h"
#include "support/test_support.h"
#include "updatecheck/group_resolver.h"
#include "updatecheck/online_list.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class GroupResolverTest : public ::testing::Test {
protected:
    // A plugin file last written on the given day (not a PE file: its last write is its build day).
    QString plugin(const QString& name, const QDate& built = QDate(2020, 6, 1)) {
        const QString path = m_dir.path() + u'/' + name;
        EXPECT_TRUE(test::writeFile(path, name.toUtf8()));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime(built, QTime(12, 0)), QFileDevice::FileModificationTime);
        return path;
    }
    int add(ItemGroup group, const QString& path, const QString& installed = u"1.0"_s) {
        list.groupLists().list(group).append(path);
        return list.addRow(entryFileStem(path), installed, path, group);
    }
    void resolve(const QStringList& lines, GroupResolver::Scan scan = GroupResolver::Scan::Indexed) {
        GroupResolver resolver = makeResolver();
        resolver.setScan(scan);
        const OnlineList records(lines);
        for (const ItemGroup g :
             {ItemGroup::Wcx, ItemGroup::Wfx, ItemGroup::Wlx, ItemGroup::Wdx, ItemGroup::Oth, ItemGroup::QN})
            resolver.ResolveGroupAgainstOnlineList(list.groupLists().list(g), records,
                                                   list.rowOfListEntry(g, 0));
        databaseInfo = resolver.databaseInfo();
    }
    GroupResolver makeResolver() {
        return GroupResolver(ResolverContext{list,
                                             {pluginDb, userDb, checksumDb, userPluginInfo, settings},
                                             options,
                                             PathForms::unchanged(),
                                             u"/opt/quillon/quillon"_s,
                                             u"/tc/TOTALCMD64.EXE"_s});
    }
    const UpdateItem& row(int r) const { return list.row(r); }

    QTemporaryDir m_dir;
    UpdateList list;
    IniDocument pluginDb, userDb, checksumDb, userPluginInfo, settings;
    IdentificationOptions options;
    DatabaseOnlineInfo databaseInfo;
};

TEST_F(GroupResolverTest, FirstRecordThatYieldsAVersionWins) {
    struct Case {
        const char* name;
        QString file;
        QStringList records;
        QString latest;
        ItemState state;
    };
    const Case cases[] = {
        {"plain match", u"zip.wcx"_s, {u"zip|Zip|1.1|10.06.2020|packer|x32"_s}, u"1.1"_s, ItemState::Update},
        {"words, brackets and the cut",
         u"zip.wcx"_s,
         {u"zip|Zip|ver 1.2 (x86)|10.06.2020|packer"_s},
         u"1.2"_s,
         ItemState::Update},
        {"an abbreviation's dot is not the version",
         u"zip.wcx"_s,
         {u"zip|Zip|ver. 1.3beta2|10.06.2020|packer"_s},
         u"1.3beta2"_s,
         ItemState::Update},
        {"cut before a dash",
         u"zip.wcx"_s,
         {u"zip|Zip|Version 2.0-beta|10.06.2020|packer"_s},
         u"2.0"_s,
         ItemState::Update},
        {"a plugin accepts any category",
         u"view.wlx"_s,
         {u"view|View|1.1|10.06.2020|packer"_s},
         u"1.1"_s,
         ItemState::Update},
        {"a utility skips a packer record",
         u"tool.exe"_s,
         {u"tool|Tool P|3.0|10.06.2020|packer"_s, u"tool|Tool E|1.1|10.06.2020|editors"_s},
         u"1.1"_s,
         ItemState::Update},
        {"no readable date: next record",
         u"zip.wcx"_s,
         {u"zip|Zip|3.0|someday|packer"_s, u"zip|Zip|0.9|10.06.2020|packer"_s},
         u"0.9"_s,
         ItemState::Ok},
        {"date from the version field",
         u"zip.wcx"_s,
         {u"zip|Zip|10.06.2020|n/a|packer"_s},
         u"10.06.2020"_s,
         ItemState::Update},
        {"an empty version yields nothing",
         u"zip.wcx"_s,
         {u"zip|Zip|version|10.06.2020|packer"_s},
         u"-"_s,
         ItemState::Unknown},
        {"empty version, then a good record",
         u"zip.wcx"_s,
         {u"zip|Zip|version|10.06.2020|packer"_s, u"zip_wcx|Zip|1.0|10.06.2020|packer"_s},
         u"1.0"_s,
         ItemState::Ok},
        {"no match", u"zip.wcx"_s, {u"unzip|Zip|1.1|10.06.2020|packer"_s}, u"-"_s, ItemState::Unknown},
    };
    for (const Case& c : cases) {
        list.resetForPass();
        list.clearRows();
        const int r = add(c.file.endsWith(u".exe"_s) ? ItemGroup::Oth : ItemGroup::Wcx, plugin(c.file));
        resolve(c.records);
        EXPECT_EQ(row(r).LatestVersion, c.latest) << c.name;
        EXPECT_EQ(list.state(r), c.state) << c.name;
        EXPECT_EQ(row(r).Checked, c.state == ItemState::Update) << c.name;
    }
}

TEST_F(GroupResolverTest, DatabaseOverrides) {
    userDb.setText(u"[forced.wcx]\nForceLatestVer=2.5\n[typed.wcx]\nForcePlugType=util\n"
                   u"[opt.wcx]\nOptions=1\n[keyed.wcx]\nWebsiteID=real_id\n"_s);
    pluginDb.setText(u"[keyed.wcx]\nForcePlugType=util\n"_s);
    const int forced = add(ItemGroup::Wcx, plugin(u"forced.wcx"_s));
    const int typed = add(ItemGroup::Wcx, plugin(u"typed.wcx"_s));
    const int opt = add(ItemGroup::Wcx, plugin(u"opt.wcx"_s));
    const int keyed = add(ItemGroup::Wcx, plugin(u"keyed.wcx"_s));
    resolve({u"first|First|9.0|01.01.2019|lister"_s, u"typed|T|1.1|10.06.2020|packer"_s,
             u"typed|T|1.2|10.06.2020|other"_s, u"opt|O|1.1|01.01.2019|packer"_s,
             u"real_id|K|1.1|10.06.2020|packer"_s});
    // Any record matches a forced version, which then decides without the release date.
    EXPECT_EQ(row(forced).LatestVersion, u"2.5"_s);
    EXPECT_EQ(list.state(forced), ItemState::Update);
    EXPECT_EQ(row(forced).Name, u"forced"_s);
    EXPECT_EQ(row(typed).LatestVersion, u"1.2"_s);
    // Options=1: a release older than the file still counts.
    EXPECT_EQ(list.state(opt), ItemState::Update);
    // The plugin database's type belongs to its own identifier, not to the user's.
    EXPECT_EQ(row(keyed).LatestVersion, u"1.1"_s);
}

TEST_F(GroupResolverTest, OnlineNamesAreLearnedOnceAndRejectedRecordsNameNothing) {
    options.detectionMode = 1;
    userPluginInfo.setText(u"[kept.wlx]\nOnlineName=Old Name\n"_s);
    const int fresh = add(ItemGroup::Wcx, plugin(u"fresh.wcx64"_s));
    const int kept = add(ItemGroup::Wlx, plugin(u"kept.wlx"_s));
    const int tool = add(ItemGroup::Oth, plugin(u"tool.exe"_s));
    const int tc = add(ItemGroup::Oth, plugin(u"TOTALCMD64.EXE"_s));
    resolve({u"fresh|Fresh Packer-|1.0|10.06.2020|packer"_s, u"kept|New Name|1.0|10.06.2020|lister"_s,
             u"tool|Wrong Tool|1.0|10.06.2020|packer"_s, u"tool|Right Tool|1.0|10.06.2020|util"_s,
             u"totalcmd64|Total Commander|1.0|10.06.2020|util"_s});
    EXPECT_EQ(row(fresh).Name, u"Fresh Packer (x64)"_s);
    EXPECT_EQ(userPluginInfo.value(u"fresh.wcx64"_s, u"OnlineName"_s), u"Fresh Packer"_s);
    EXPECT_EQ(row(kept).Name, u"kept"_s);
    EXPECT_EQ(userPluginInfo.value(u"kept.wlx"_s, u"OnlineName"_s), u"Old Name"_s);
    EXPECT_EQ(row(tool).Name, u"Right Tool"_s);
    EXPECT_EQ(row(tc).Name, u"TOTALCMD64"_s);
    EXPECT_FALSE(userPluginInfo.hasSection(u"TOTALCMD64.EXE"_s));
}

TEST_F(GroupResolverTest, DatesVersionsAndRememberedVersions) {
    const QString dated = plugin(u"dated.wdx"_s);
    const QString remembered = plugin(u"rem.wfx"_s);
    const QString stale = plugin(u"stale.wfx"_s);
    const QString corrected = plugin(u"corr.wfx"_s);
    const int r = add(ItemGroup::Wfx, remembered);
    const int s = add(ItemGroup::Wfx, stale);
    const int c = add(ItemGroup::Wfx, corrected);
    const int d = add(ItemGroup::Wdx, dated, u"01.06.2020"_s);
    settings.setValue(u"OverridePlugVer"_s, remembered, QString::number(*FileCrc32(remembered)) + u"|1.1"_s);
    settings.setValue(u"OverridePlugVer"_s, stale, u"12345|1.1"_s);
    resolve({u"dated|D|7.0|10.06.2020|content"_s, u"rem|R|1.1|10.06.2020|fsplugin"_s,
             u"stale|S|1.1|10.06.2020|fsplugin"_s, u"corr|C|1.1|02.06.2020|fsplugin"_s});
    // A date as installed version makes the release date the latest version.
    EXPECT_EQ(row(d).LatestVersion, u"10.06.2020"_s);
    EXPECT_EQ(list.state(d), ItemState::Update);
    EXPECT_EQ(row(r).InstalledVersion, u"1.1"_s);
    EXPECT_EQ(list.state(r), ItemState::Ok);
    EXPECT_EQ(list.state(s), ItemState::Update);
    // Published the day after the build: the same release, remembered for this very file.
    EXPECT_EQ(row(c).InstalledVersion, u"1.1"_s);
    EXPECT_EQ(list.state(c), ItemState::Ok);
    EXPECT_EQ(settings.value(u"OverridePlugVer"_s, corrected),
              QString::number(*FileCrc32(corrected)) + u"|1.1"_s);
}

TEST_F(GroupResolverTest, DatabaseRowsReadTheirVersionForms) {
    const int own = add(ItemGroup::QN, u"/opt/quillon/quillon"_s, u"0.8"_s);
    const int db = add(ItemGroup::QN, u"tcplugindb"_s, u"01.05.2020"_s);
    const int sums = add(ItemGroup::QN, u"checksumdb"_s, u"4000"_s);
    resolve({u"quillon|Quillon|0.9|10.06.2020|util"_s, u"tcplugindb|DB|1200b/05.06.2020|05.06.2020|other"_s});
    EXPECT_EQ(row(own).LatestVersion, u"0.9"_s);
    EXPECT_EQ(list.state(own), ItemState::Update);
    EXPECT_EQ(row(db).LatestVersion, u"05.06.2020"_s);
    EXPECT_EQ(list.state(db), ItemState::Update);
    EXPECT_EQ(databaseInfo.pluginDbReleaseDate, u"05.06.2020"_s);
    // The checksum database reads the same record as "<entries>b<version>/...": no version here.
    EXPECT_EQ(row(sums).LatestVersion, u"-"_s);
    EXPECT_EQ(list.state(sums), ItemState::Unknown);
    EXPECT_EQ(databaseInfo.checksumDbEntries, u"1200"_s);
    EXPECT_EQ(row(db).Name, u"tcplugindb"_s);
}

TEST_F(GroupResolverTest, RowsAfterTotalCommandersRowAndTheLiteralScanAgree) {
    QRandomGenerator random(99);
    const QStringList ids{u"a"_s, u"b"_s, u"wcx_c"_s, u"c"_s, u"dwlx"_s, u"d"_s, u"e_wdx"_s, u"tool"_s};
    const QStringList categories{u"packer"_s, u"util"_s, u"editors"_s, u"lister"_s};
    const QStringList versions{u"1.0"_s, u"1.1"_s, u"version"_s, u"2.0 beta"_s, u"0.9"_s};
    const QStringList dates{u"10.06.2020"_s, u"01.01.2019"_s, u"x"_s};
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines.append(ids.at(random.bounded(ids.size())) + u"|Name "_s + QString::number(i) + u'|' +
                     versions.at(random.bounded(versions.size())) + u'|' +
                     dates.at(random.bounded(dates.size())) + u'|' +
                     categories.at(random.bounded(categories.size())));
    list.addRow(u"Total Commander"_s, u"11.0"_s, u"/tc/TOTALCMD64.EXE"_s, ItemGroup::TC);
    userDb.setText(u"[e.wdx]\nForceLatestVer=3.0\n"_s);
    for (const QString& file : {u"a.wcx"_s, u"c.wcx"_s, u"zz.wfx"_s, u"d.wlx"_s, u"e.wdx"_s, u"tool.exe"_s}) {
        const QString ext = file.section(u'.', 1);
        add(ext == u"exe"_s ? ItemGroup::Oth
                            : static_cast<ItemGroup>(
                                  1 + QStringList{u"wcx"_s, u"wfx"_s, u"wlx"_s, u"wdx"_s}.indexOf(ext)),
            plugin(file));
    }
    ASSERT_TRUE(list.groupListsMatchRows());
    const QList<UpdateItem> before = list.rows();
    const QString infoBefore = userPluginInfo.toText();
    const QString settingsBefore = settings.toText();
    resolve(lines, GroupResolver::Scan::Literal);
    const QList<UpdateItem> literal = list.rows();
    const QString infoLiteral = userPluginInfo.toText();
    EXPECT_NE(literal, before);
    EXPECT_EQ(literal.first(), before.first()); // Total Commander's row is not the catalogue's

    // Same start, indexed.
    userPluginInfo.setText(infoBefore);
    settings.setText(settingsBefore);
    list.restoreFromSnapshot({});
    for (const UpdateItem& item : before)
        list.addRow(item.Name, item.InstalledVersion, item.FilePath, item.Group);
    resolve(lines, GroupResolver::Scan::Indexed);
    EXPECT_EQ(list.rows(), literal);
    EXPECT_EQ(userPluginInfo.toText(), infoLiteral);
}

} // namespace
} // namespace quillon
