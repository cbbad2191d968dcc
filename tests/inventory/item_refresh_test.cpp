#include <gtest/gtest.h>

#include "app/common/checksums.h"
#include "inventory/identification_fixture.h"
#include "inventory/item_refresh.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

struct DecisionCase {
    const char* name;
    MatchedStateInput input;
    ItemState state;
    const char* installedAfter;
    bool remember;
};

MatchedStateInput decision(const char* installed, const char* latest, const char* published = "",
                           QDate build = QDate(2024, 1, 10)) {
    MatchedStateInput in;
    in.installedVersion = QString::fromUtf8(installed);
    in.latestVersion = QString::fromUtf8(latest);
    in.publicationDate = QString::fromUtf8(published);
    in.buildDate = build;
    in.lastWriteDate = build;
    in.pubDateDiffCorr = 1;
    return in;
}

MatchedStateInput with(MatchedStateInput in, void (*change)(MatchedStateInput&)) {
    change(in);
    return in;
}

class StateDecision : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(StateDecision, FollowsTheCheckRules) {
    const DecisionCase& c = GetParam();
    const MatchedStateResult r = DecideMatchedItemState(c.input);
    EXPECT_EQ(r.state, c.state);
    EXPECT_EQ(r.checked, c.state == ItemState::Update);
    EXPECT_EQ(r.installedVersion, QString::fromUtf8(c.installedAfter));
    EXPECT_EQ(r.rememberVersion, c.remember);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StateDecision,
    ::testing::Values(
        DecisionCase{"Equal", decision("1.1", "1.1", "01.06.2024"), ItemState::Ok, "1.1", false},
        DecisionCase{"SameReleaseWrittenDifferently", decision("1.5", "1.50", "01.06.2024"), ItemState::Ok,
                     "1.5", false},
        DecisionCase{"NewerAndPublishedLater", decision("1.0", "1.1", "01.06.2024"), ItemState::Update, "1.0",
                     false},
        // the file was built after the publication: the catalogue's text is behind, not the file
        DecisionCase{"NewerButPublishedEarlier", decision("1.0", "1.1", "01.12.2023"), ItemState::Ok, "1.0",
                     false},
        DecisionCase{"PublishedTheDayAfterTheBuild", decision("1.0", "1.1", "11.01.2024"), ItemState::Ok,
                     "1.1", true},
        DecisionCase{"DatesMatchWithoutCorrection",
                     with(decision("1.0", "1.1", "11.01.2024"),
                          [](MatchedStateInput& i) { i.verCorrOnDateMatch = false; }),
                     ItemState::Ok, "1.0", false},
        DecisionCase{
            "ForcedLatestSkipsTheDateCheck",
            with(decision("1.0", "1.1", "01.12.2023"), [](MatchedStateInput& i) { i.forceLatestVer = true; }),
            ItemState::Update, "1.0", false},
        DecisionCase{"OverrideUserValSkipsTheDateCheck",
                     with(decision("1.0", "1.1", "01.12.2023"),
                          [](MatchedStateInput& i) { i.overrideUserVal = true; }),
                     ItemState::Update, "1.0", false},
        DecisionCase{"DateCheckSwitchedOff",
                     with(decision("1.0", "1.1", "01.12.2023"),
                          [](MatchedStateInput& i) { i.updateDateCheck = false; }),
                     ItemState::Update, "1.0", false},
        DecisionCase{"NoPublicationDateVersionsDecide", decision("1.0", "1.1"), ItemState::Update, "1.0",
                     false},
        DecisionCase{"NoInstalledVersion", decision("-", "1.1", "01.06.2024"), ItemState::Ok, "-", false},
        DecisionCase{"LatestIsADate", decision("-", "2024-02-01"), ItemState::Update, "10.01.2024", false},
        DecisionCase{"LatestDateBeforeTheBuild", decision("-", "01.01.2024"), ItemState::Ok, "10.01.2024",
                     false},
        DecisionCase{"InstalledDateCounts", decision("05.03.2024", "01.03.2024"), ItemState::Ok, "05.03.2024",
                     false},
        DecisionCase{"LastWriteOnTheNextDay",
                     with(decision("-", "11.01.2024"),
                          [](MatchedStateInput& i) { i.lastWriteDate = i.buildDate.addDays(1); }),
                     ItemState::Ok, "11.01.2024", false}),
    [](const ::testing::TestParamInfo<DecisionCase>& param) { return std::string(param.param.name); });

class Refresh : public test::IdentificationFixture {
protected:
    int sampleRow(const QString& latest) {
        path = install("us_english_1252_32.dll", u"plugins/sample/sample.wcx"_s);
        const int row = identify(path);
        list.setLatestVersion(row, latest);
        list.VisualPlugList_Backup();
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
        settings.value(u"OverridePlugVer"_s, u"%COMMANDER_PATH%/plugins/sample/sample.wcx"_s);
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

} // namespace
} // namespace quillon
