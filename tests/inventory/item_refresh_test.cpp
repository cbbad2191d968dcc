#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include "app/common/checksums.h"
#include "inventory/identification_fixture.h"
#include "inventory/installed_version.h"
#include "updatecheck/group_resolver.h"
#include "updatecheck/online_list.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class Refresh : public test::IdentificationFixture {
protected:
    int sampleRow(const QString& latest) {
        path = install("us_english_1252_32.dll", u"plugins/sample/sample.wcx"_s);
        const int row = identify(path);
        list.setLatestVersion(row, latest);
        list.takeSnapshot();
        return row;
    }
    QString path;
};

TEST_F(Refresh, StateAgainstTheKnownLatestVersion) {
    options.updateDateCheck = false;
    struct Case {
        const char* latest;
        ItemState state;
    };
    for (const Case& c :
         {Case{"-", ItemState::Unknown}, Case{"", ItemState::Unknown}, Case{"1.3", ItemState::Update},
          Case{"1.2.3.4", ItemState::Ok}, Case{"1.1", ItemState::Ok}}) {
        list.resetForPass();
        const int row = sampleRow(QString::fromLatin1(c.latest));
        ASSERT_TRUE(identifier().RefreshPluginInfo(path, row, {}, true));
        EXPECT_EQ(list.state(row), c.state) << c.latest;
        EXPECT_EQ(list.row(row).Checked, c.state == ItemState::Update);
        EXPECT_EQ(list.row(row).InstalledVersion, u"1.2.3.4"_s);
        EXPECT_EQ(list.snapshot().lines().first().InstalledVersion, u"1.2.3.4"_s);
    }
    EXPECT_FALSE(identifier().RefreshPluginInfo(path, 5, {}, false));
}

TEST_F(Refresh, BetaGuard) {
    const QString plugin = install("string_version_32.dll", u"plugins/foo/foo.wcx"_s); // "1.5b"
    options.updateDateCheck = false;
    const int row = identify(plugin);
    list.setLatestVersion(row, u"1.6 beta"_s);
    identifier().RefreshPluginInfo(plugin, row, {}, false);
    EXPECT_EQ(list.state(row), ItemState::Ok);
    EXPECT_FALSE(list.row(row).Checked);
}

TEST_F(Refresh, ChecksumDatabaseStillReplacesAConfirmedVersion) {
    const int row = sampleRow(u"-"_s);
    const QString crc = QString::number(FileCrc32OrZero(path));
    settings.setValue(u"OverridePlugVer"_s, path, crc + u"|7.7"_s);
    identifier().RefreshPluginInfo(path, row, {}, false);
    EXPECT_EQ(list.row(row).InstalledVersion, u"7.7"_s);
    checksumDb.setValue(u"sample.wcx"_s, crc, u"8.8"_s);
    identifier().RefreshPluginInfo(path, row, {}, false);
    EXPECT_EQ(list.row(row).InstalledVersion, u"8.8"_s);
}

TEST_F(Refresh, AnInstalledPackageCountsAsTheLatestVersion) {
    options.updateDateCheck = false;
    const int row = sampleRow(u"2.0"_s);
    const QString installed = install("us_english_1252_64.dll", u"plugins/sample/sample.wcx64"_s);
    identifier().RefreshPluginInfo(path, row, installed, false);
    EXPECT_EQ(list.state(row), ItemState::Ok);
    EXPECT_FALSE(list.row(row).Checked);
    EXPECT_EQ(list.row(row).InstalledVersion, u"2.0"_s);
    const QString stored =
        settings.value(u"OverridePlugVer"_s, u"%COMMANDER_PATH%\\plugins\\sample\\sample.wcx"_s);
    EXPECT_EQ(stored, QString::number(FileCrc32OrZero(path)) + u"|2.0"_s);

    // The next identification of the same file takes the remembered version.
    list.resetForPass();
    identify(path);
    EXPECT_EQ(list.row(0).InstalledVersion, u"2.0"_s);

    // The row's own file given as the installed one: the versions decide as they are.
    list.resetForPass();
    settings.clear();
    const int again = sampleRow(u"2.0"_s);
    identifier().RefreshPluginInfo(path, again, path, false);
    EXPECT_EQ(list.state(again), ItemState::Update);
}

// A plugin (not a PE file: its last write is its build day, a history file beside it gives its
// version) checked against one catalogue record, then replaced by a package. The refreshed row
// must show what a new check of the installed file shows: a fresh identification resolved
// against the same record.
class RefreshAgainstCheck : public ::testing::Test {
public: // the cases set up the stores
    void SetUp() override {
        dir = tmp.path() + u"/plugins/zip"_s;
        path = dir + u"/zip.wcx"_s;
    }

    // The files a package leaves: the plugin with its contents and build day and, unless
    // version is empty, a history file naming the version.
    void placeFiles(const QByteArray& contents, const QDate& built, const QString& version) {
        ASSERT_TRUE(test::writeFile(path, contents));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime(built, QTime(12, 0)), QFileDevice::FileModificationTime);
        QFile::remove(dir + u"/history.txt"_s);
        if (!version.isEmpty()) {
            ASSERT_TRUE(test::writeFile(dir + u"/history.txt"_s, "Changes\n v" + version.toUtf8() + " \n"));
        }
    }

    IdentificationStores stores(IniDocument& settingsStore) {
        return {pluginDb, userDb, checksumDb, userPluginInfo, settingsStore};
    }

    // The row a list load makes for the plugin.
    int load(UpdateList& list, IniDocument& settingsStore) {
        const IdentificationStores s = stores(settingsStore);
        const PathForms paths = PathForms::unchanged();
        const QString version = InstalledVersionFinder(s, options, paths, ownExecutable)
                                    .find(path, VersionPass::Identification)
                                    .version;
        list.groupLists().list(ItemGroup::Wcx).append(path);
        return list.addRow(u"zip"_s, version.isEmpty() ? u"-"_s : version, path, ItemGroup::Wcx);
    }

    // One check of the list's only group; the publication date it found for the plugin.
    QString check(UpdateList& list, IniDocument& settingsStore, const QString& record) {
        GroupResolver resolver(ResolverContext{list, stores(settingsStore), options, PathForms::unchanged(),
                                               ownExecutable, u"/tc/TOTALCMD.EXE"_s});
        resolver.ResolveGroupAgainstOnlineList(list.groupLists().list(ItemGroup::Wcx), OnlineList({record}),
                                               0);
        return resolver.publicationDate(path);
    }

    QTemporaryDir tmp;
    QString dir;
    QString path;
    IniDocument pluginDb, userDb, checksumDb, userPluginInfo, settings;
    IdentificationOptions options;
    QString ownExecutable = u"/opt/quillon/quillon"_s;
};

TEST_F(RefreshAgainstCheck, RefreshedRowShowsWhatANewCheckShows) {
    const QString released = u"zip|Zip|1.1|10.06.2024|packer|x32"_s; // PubDateDiffCorr 1 applies
    const QByteArray package = "the package's zip.wcx";
    struct Case {
        const char* name;
        QString before; // installed version before the package
        QString after;  // the package's version; empty: the file's day is its version
        QDate built;    // the package's build day
        QString record;
        std::function<void(RefreshAgainstCheck&)> databases; // before the first check
        ItemState state;
        QString installedShown;
    };
    const auto options1 = [](RefreshAgainstCheck& t) {
        // the plugin database's options belong to its own identifier, which the user replaced
        t.pluginDb.setValue(u"zip.wcx"_s, u"Options"_s, u"1"_s);
        t.userDb.setValue(u"zip.wcx"_s, u"WebsiteID"_s, u"zipper"_s);
    };
    const auto forced = [](RefreshAgainstCheck& t) {
        t.userDb.setValue(u"zip.wcx"_s, u"ForceLatestVer"_s, u"2.0"_s);
    };
    const auto remembered = [package](RefreshAgainstCheck& t) {
        // the user confirmed 1.1 for the package's file; the checksum database says 1.0.9
        const QString crc = QString::number(Crc32OfBytes(package));
        t.settings.setValue(u"OverridePlugVer"_s, t.path, crc + u"|1.1"_s);
        t.checksumDb.setValue(u"zip.wcx"_s, crc, u"1.0.9"_s);
    };
    const Case cases[] = {
        {"the catalogue's version", u"1.0"_s, u"1.1"_s, {2024, 6, 9}, released, {}, ItemState::Ok, u"1.1"_s},
        {"still older, built before the release",
         u"1.0"_s,
         u"1.0.9"_s,
         {2024, 5, 1},
         released,
         {},
         ItemState::Update,
         u"1.0.9"_s},
        {"older text, built with the release",
         u"1.0"_s,
         u"1.0.9"_s,
         {2024, 6, 9},
         released,
         {},
         ItemState::Ok,
         u"1.1"_s},
        {"a day as version, after the release",
         u"1.0"_s,
         {},
         {2024, 6, 20},
         released,
         {},
         ItemState::Ok,
         u"20.06.2024"_s},
        {"a day as version, before the release",
         u"1.0"_s,
         {},
         {2024, 6, 1},
         released,
         {},
         ItemState::Update,
         u"01.06.2024"_s},
        {"options of a replaced identifier",
         u"1.0"_s,
         u"1.0.9"_s,
         {2024, 6, 20},
         u"zipper|Zip|1.1|10.06.2024|packer"_s,
         options1,
         ItemState::Ok,
         u"1.0.9"_s},
        {"forced latest version",
         u"1.0"_s,
         u"1.5"_s,
         {2024, 6, 20},
         u"other|Other|0.1|01.01.2020|packer"_s,
         forced,
         ItemState::Update,
         u"1.5"_s},
        {"remembered version settles it",
         u"1.0"_s,
         u"1.0.9"_s,
         {2024, 5, 1},
         released,
         remembered,
         ItemState::Ok,
         u"1.1"_s},
        {"beta guard",
         u"1.0"_s,
         u"1.2b"_s,
         {2024, 5, 1},
         u"zip|Zip|1.3beta|10.06.2024|packer"_s,
         {},
         ItemState::Ok,
         u"1.2b"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (IniDocument* store : {&pluginDb, &userDb, &checksumDb, &userPluginInfo, &settings})
            store->clear();
        if (c.databases)
            c.databases(*this);
        placeFiles("the old zip.wcx", QDate(2024, 1, 10), c.before);
        UpdateList list;
        const int row = load(list, settings);
        const QString published = check(list, settings, c.record);
        ASSERT_FALSE(published.isEmpty());
        placeFiles(package, c.built, c.after);

        IniDocument settingsOfNewCheck = settings;
        UpdateList newCheck;
        load(newCheck, settingsOfNewCheck);
        check(newCheck, settingsOfNewCheck, c.record);
        const UpdateItem& expected = newCheck.row(0);

        ItemIdentifier identifier(list, stores(settings), options, PathForms::unchanged(), ownExecutable);
        identifier.setPublicationDateLookup([&](const QString& filePath) {
            return filePath.compare(path, Qt::CaseInsensitive) == 0 ? published : QString();
        });
        ASSERT_TRUE(identifier.RefreshPluginInfo(path, row, path, false));
        const UpdateItem& refreshed = list.row(row);
        EXPECT_EQ(list.state(row), newCheck.state(0));
        EXPECT_EQ(refreshed.Checked, expected.Checked);
        EXPECT_EQ(refreshed.InstalledVersion, expected.InstalledVersion);
        EXPECT_EQ(refreshed.LatestVersion, expected.LatestVersion);
        EXPECT_EQ(list.state(row), c.state);
        EXPECT_EQ(refreshed.InstalledVersion, c.installedShown);
    }
}

} // namespace
} // namespace quillon
