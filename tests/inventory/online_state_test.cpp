// The state of a matched item: dates as versions, the version comparison confirmed by the
// release date, the waivers, the correction on matching dates and the beta guard.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "app/common/checksums.h"
#include "app/ini_document.h"
#include "app/settings_overrides.h"
#include "inventory/item_identification.h"
#include "inventory/online_state.h"
#include "inventory/update_list.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(OnlineStateTest, RegionalAndGeneralDates) {
    EXPECT_EQ(RegionalDate(u"05.03.2021"_s), QDate(2021, 3, 5));
    EXPECT_EQ(RegionalDate(u" 5.3.21 14:30"_s), QDate(2021, 3, 5));
    EXPECT_EQ(RegionalDate(u"5.3.99"_s), QDate(1999, 3, 5));
    EXPECT_FALSE(RegionalDate(u"1.5"_s)); // a version, not a day of this year
    EXPECT_FALSE(RegionalDate(u"31.02.2021"_s));
    EXPECT_FALSE(RegionalDate(u"2021-03-05"_s));
    EXPECT_EQ(GeneralDate(u"2021-03-05"_s), QDate(2021, 3, 5));
    EXPECT_EQ(GeneralDate(u"05/03/2021"_s), QDate(2021, 3, 5));
}

OnlineStateInput base() {
    OnlineStateInput in;
    in.installedVersion = u"1.0"_s;
    in.latestVersion = u"1.1"_s;
    in.publicationDate = u"10.06.2020"_s;
    in.buildDate = QDate(2020, 6, 1);
    in.lastWriteDate = QDate(2020, 6, 1);
    return in;
}

TEST(OnlineStateTest, Decisions) {
    struct Case {
        const char* name;
        std::function<void(OnlineStateInput&)> change;
        ItemState state;
        QString installed;
        QString latest;
        bool remember = false;
    };
    const Case cases[] = {
        {"newer, published after the build", [](OnlineStateInput&) {}, ItemState::Update, u"1.0"_s, u"1.1"_s},
        {"not newer", [](OnlineStateInput& i) { i.latestVersion = u"1.0"_s; }, ItemState::Ok, u"1.0"_s,
         u"1.0"_s},
        {"no installed version", [](OnlineStateInput& i) { i.installedVersion = u"-"_s; }, ItemState::Ok,
         u"-"_s, u"1.1"_s},
        {"same collapsed version", [](OnlineStateInput& i) { i.latestVersion = u"1.00"_s; }, ItemState::Ok,
         u"1.0"_s, u"1.00"_s},
        // Built on 1 June: with one day of grace a publication on 2 June is the same release.
        {"published the day after the build",
         [](OnlineStateInput& i) { i.publicationDate = u"02.06.2020"_s; }, ItemState::Ok, u"1.1"_s, u"1.1"_s,
         true},
        {"published before the build", [](OnlineStateInput& i) { i.publicationDate = u"20.05.2020"_s; },
         ItemState::Ok, u"1.0"_s, u"1.1"_s},
        {"no correction when switched off",
         [](OnlineStateInput& i) {
             i.publicationDate = u"02.06.2020"_s;
             i.verCorrOnDateMatch = false;
         },
         ItemState::Ok, u"1.0"_s, u"1.1"_s},
        {"no grace",
         [](OnlineStateInput& i) {
             i.publicationDate = u"02.06.2020"_s;
             i.pubDateDiffCorr = 0;
         },
         ItemState::Update, u"1.0"_s, u"1.1"_s},
        {"date check off",
         [](OnlineStateInput& i) {
             i.publicationDate = u"20.05.2020"_s;
             i.updateDateCheck = false;
         },
         ItemState::Update, u"1.0"_s, u"1.1"_s},
        {"forced latest version",
         [](OnlineStateInput& i) {
             i.publicationDate = u"20.05.2020"_s;
             i.forceLatestVer = true;
         },
         ItemState::Update, u"1.0"_s, u"1.1"_s},
        {"checksum database override",
         [](OnlineStateInput& i) {
             i.publicationDate = u"20.05.2020"_s;
             i.overrideUserVal = true;
         },
         ItemState::Update, u"1.0"_s, u"1.1"_s},
        {"Options 1",
         [](OnlineStateInput& i) {
             i.publicationDate = u"20.05.2020"_s;
             i.optionsSkipDateCheck = true;
         },
         ItemState::Update, u"1.0"_s, u"1.1"_s},
        {"database row: no grace and no correction",
         [](OnlineStateInput& i) {
             i.publicationDate = u"01.06.2020"_s;
             i.databaseItem = true;
         },
         ItemState::Ok, u"1.0"_s, u"1.1"_s},
        {"no file date: the versions decide", [](OnlineStateInput& i) { i.buildDate = QDate(); },
         ItemState::Update, u"1.0"_s, u"1.1"_s},
        {"beta guard",
         [](OnlineStateInput& i) {
             i.installedVersion = u"1.0b"_s;
             i.latestVersion = u"1.1beta"_s;
         },
         ItemState::Ok, u"1.0b"_s, u"1.1beta"_s},
        // Dates as versions, compared by day.
        {"date version newer", [](OnlineStateInput& i) { i.latestVersion = u"2020-06-10"_s; },
         ItemState::Update, u"01.06.2020"_s, u"10.06.2020"_s},
        {"date version same day", [](OnlineStateInput& i) { i.latestVersion = u"1.6.2020"_s; }, ItemState::Ok,
         u"01.06.2020"_s, u"01.06.2020"_s},
        {"last write the day after the build counts",
         [](OnlineStateInput& i) {
             i.latestVersion = u"02.06.2020"_s;
             i.lastWriteDate = QDate(2020, 6, 2);
         },
         ItemState::Ok, u"02.06.2020"_s, u"02.06.2020"_s},
        {"installed date version wins over the file",
         [](OnlineStateInput& i) {
             i.installedVersion = u"15.06.2020"_s;
             i.latestVersion = u"10.06.2020"_s;
         },
         ItemState::Ok, u"15.06.2020"_s, u"10.06.2020"_s},
        {"date version without any installed day",
         [](OnlineStateInput& i) {
             i.installedVersion = u"-"_s;
             i.latestVersion = u"10.06.2020"_s;
             i.buildDate = QDate();
         },
         ItemState::Unknown, u"-"_s, u"10.06.2020"_s},
    };
    for (const Case& c : cases) {
        OnlineStateInput in = base();
        c.change(in);
        const OnlineStateResult r = DecideOnlineState(in);
        EXPECT_EQ(r.state, c.state) << c.name;
        EXPECT_EQ(r.checked, c.state == ItemState::Update) << c.name;
        EXPECT_EQ(r.installedVersion, c.installed) << c.name;
        EXPECT_EQ(r.latestVersion, c.latest) << c.name;
        EXPECT_EQ(r.rememberVersion, c.remember) << c.name;
    }
}

// A row decided in the list: what it remembers, and which rows a remembered version settles.
TEST(OnlineStateTest, DecidedRowRemembersAndIsSettled) {
    QTemporaryDir dir;
    const QString file = dir.path() + u"/zip.wcx"_s;
    ASSERT_TRUE(test::writeFile(file, "zip"));
    QFile handle(file);
    ASSERT_TRUE(handle.open(QIODevice::ReadWrite));
    handle.setFileTime(QDateTime(QDate(2024, 6, 9), QTime(12, 0)), QFileDevice::FileModificationTime);
    handle.close();
    const QString crc = QString::number(FileCrc32OrZero(file));
    const QString stored = u"%HERE%/zip.wcx"_s;

    struct Case {
        const char* name;
        QString ownExecutable;
        QString published;
        QString remembered; // OverridePlugVer before; empty: none
        ItemState state;
        QString installed;
        QString rememberedAfter;
    };
    const Case cases[] = {
        // released the day after the build: the file is that release, for this checksum
        {"confirmed by its date", {}, u"10.06.2024"_s, {}, ItemState::Ok, u"1.1"_s, crc + u"|1.1"_s},
        {"released later", {}, u"20.06.2024"_s, {}, ItemState::Update, u"1.0"_s, {}},
        {"remembered as the latest",
         {},
         u"20.06.2024"_s,
         crc + u"|1.1"_s,
         ItemState::Ok,
         u"1.1"_s,
         crc + u"|1.1"_s},
        {"remembered for another file",
         {},
         u"20.06.2024"_s,
         u"12345|1.1"_s,
         ItemState::Update,
         u"1.0"_s,
         u"12345|1.1"_s},
        // the program's own file is judged by its versions alone
        {"own executable", file, u"10.06.2024"_s, crc + u"|1.1"_s, ItemState::Update, u"1.0"_s,
         crc + u"|1.1"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IniDocument pluginDb, userDb, checksumDb, userPluginInfo, settings;
        if (!c.remembered.isEmpty())
            settings.setValue(u"OverridePlugVer"_s, stored, c.remembered);
        const IdentificationStores stores{pluginDb, userDb, checksumDb, userPluginInfo, settings};
        const IdentificationOptions options;
        const QString here = dir.path();
        const auto toStored = [here](const QString& p) { return QString(p).replace(here, u"%HERE%"_s); };
        const auto expand = [here](const QString& p) { return QString(p).replace(u"%HERE%"_s, here); };
        const PathForms paths{toStored, toStored, expand};
        UpdateList list;
        const int row = list.addRow(u"zip"_s, u"1.0"_s, file, ItemGroup::Wcx);

        DecideMatchedRow(MatchedRowContext{list, stores, options, paths, c.ownExecutable}, row, file,
                         u"1.1"_s, c.published);
        EXPECT_EQ(list.state(row), c.state);
        EXPECT_EQ(list.row(row).Checked, c.state == ItemState::Update);
        EXPECT_EQ(list.row(row).InstalledVersion, c.installed);
        EXPECT_EQ(StoredOverride(settings, stored), c.rememberedAfter);
    }
}

} // namespace
} // namespace quillon
