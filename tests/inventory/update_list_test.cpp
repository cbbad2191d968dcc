#include <gtest/gtest.h>

#include <algorithm>

#include "inventory/update_list.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

StatusTexts german() {
    return {u"OK."_s, u"Aktualisierung verfügbar!"_s, u"Unbekannt."_s};
}

// Fills the lists and rows the way the inventory pass does: lists first, then one row per entry
// in group order, with the rows of hidden paths taken away again.
struct Pass {
    bool tcRow = true;
    QList<std::pair<ItemGroup, QString>> files;
    QStringList hidden;
};

void runPass(UpdateList& list, const Pass& pass) {
    list.resetForPass();
    if (pass.tcRow)
        list.addRow(u"Total Commander (x64)"_s, u"11.51"_s, u"/tc/TOTALCMD64.EXE"_s, ItemGroup::TC);
    for (const auto& [group, path] : pass.files)
        list.groupLists().list(group).append(path);
    for (int g = 1; g < kGroupCount; ++g) {
        const ItemGroup group = *groupFromId(g);
        for (const QString& path : list.groupLists().list(group).filePaths()) {
            const auto hidden = std::find_if(pass.hidden.cbegin(), pass.hidden.cend(), [&](const QString& h) {
                return h.compare(path, Qt::CaseInsensitive) == 0;
            });
            if (hidden != pass.hidden.cend()) {
                // identification either makes no row or removes the one it made
                if (path.endsWith(u".wdx"_s))
                    list.hideRow(list.addRow(path, u"1.0"_s, path, group));
                else
                    list.hidePath(*hidden);
                continue;
            }
            list.addRow(path.section(u'/', -1), u"1.0"_s, path, group);
        }
    }
    list.finishPass();
}

const QList<std::pair<ItemGroup, QString>> kFiles = {
    {ItemGroup::Wcx, u"/tc/a.wcx"_s},     {ItemGroup::Wcx, u"/tc/b.wcx"_s}, {ItemGroup::Wlx, u"/tc/c.wlx"_s},
    {ItemGroup::Wdx, u"/tc/d.wdx"_s},     {ItemGroup::Wdx, u"/tc/e.wdx"_s}, {ItemGroup::Oth, u"/tc/f.exe"_s},
    {ItemGroup::QN, u"/q/Quillon.exe"_s}, {ItemGroup::QN, u"tcplugindb"_s}, {ItemGroup::QN, u"checksumdb"_s},
};

void expectEveryEntryAddressesItsRow(const UpdateList& list) {
    ASSERT_TRUE(list.groupListsMatchRows());
    for (int g = 1; g < kGroupCount; ++g) {
        const ItemGroup group = *groupFromId(g);
        const GroupFileList& l = list.groupLists().list(group);
        for (int k = 0; k < l.count(); ++k) {
            const int row = list.rowOfListEntry(group, k);
            ASSERT_TRUE(list.isValidRow(row));
            EXPECT_EQ(list.row(row).FilePath, l.at(k).filePath);
            EXPECT_EQ(list.groupLists().locate(row, list.hasTcRow()), (GroupFileLists::Position{group, k}));
        }
    }
}

TEST(GroupListInvariantTest, HoldsAfterPassAndRemovals) {
    const struct {
        const char* name;
        Pass pass;
        QStringList removedAfterPass; // by excludePath
        int removedRow;               // by removeRow, -1 for none
        int expectedRows;
    } cases[] = {
        {"with_tc_row", {true, kFiles, {}}, {}, -1, 10},
        {"without_tc_row", {false, kFiles, {}}, {}, -1, 9},
        {"hidden_rows_and_paths", {true, kFiles, {u"/TC/B.WCX"_s, u"/tc/e.wdx"_s}}, {}, -1, 8},
        {"excluded_path", {true, kFiles, {}}, {u"/tc/C.wlx"_s}, -1, 9},
        {"removed_row_in_the_middle", {true, kFiles, {}}, {}, 4, 9},
        {"removed_last_row", {false, kFiles, {u"/tc/a.wcx"_s}}, {}, 7, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateList list;
        runPass(list, c.pass);
        for (const QString& path : c.removedAfterPass)
            list.excludePath(path);
        if (c.removedRow >= 0)
            list.removeRow(c.removedRow);
        EXPECT_EQ(list.rowCount(), c.expectedRows);
        EXPECT_TRUE(list.hiddenItems().isEmpty());
        expectEveryEntryAddressesItsRow(list);
    }
}

TEST(GroupFileListTest, HiddenPathsNeverTakeTheDatabaseKeyWords) {
    GroupFileLists lists;
    lists.list(ItemGroup::QN).append(u"tcplugindb"_s);
    lists.list(ItemGroup::QN).append(u"checksumdb"_s);
    lists.list(ItemGroup::Oth).append(u"/tc/x.exe"_s);
    lists.dropHidden({u"TCPLUGINDB"_s, u" checksumdb"_s, u"/TC/X.EXE"_s});
    EXPECT_EQ(lists.list(ItemGroup::QN).count(), 2);
    EXPECT_TRUE(lists.list(ItemGroup::Oth).isEmpty());
}

TEST(GroupFileListTest, SortsOnTheWholeLineAndDropsDuplicatePaths) {
    GroupFileList l;
    l.append(u"/p/x.wcx"_s, u"beta"_s);
    l.append(u"/p/y.wcx"_s, u"Alpha"_s);
    l.append(u"/P/X.WCX"_s, u"alpha"_s);
    l.append(u"/p/a|b.wcx"_s, u"alpha"_s);
    l.removeDuplicatePaths();
    l.sortByLine();
    EXPECT_EQ(l.filePaths(), (QStringList{u"/p/a|b.wcx"_s, u"/p/y.wcx"_s, u"/p/x.wcx"_s}));
    EXPECT_EQ(l.at(0).line(), u"alpha|/p/a|b.wcx"_s);
}

TEST(GroupFileListTest, DuplicatesDifferOnlyInCaseInsideAndOutsideAscii) {
    GroupFileList l;
    for (const QString& path : {u"/p/k.wcx"_s, u"/p/\u212A.wcx"_s, u"/P/K.WCX "_s, u"/p/\u00C4.wcx"_s,
                                u"/p/\u00E4.wcx"_s, u"/p/a.wcx"_s})
        l.append(path);
    l.removeDuplicatePaths();
    // The Kelvin sign lowers to "k"; "Ä" and "a" stay apart.
    EXPECT_EQ(l.filePaths(), (QStringList{u"/p/k.wcx"_s, u"/p/\u00C4.wcx"_s, u"/p/a.wcx"_s}));
}

TEST(GroupFileListTest, SortsInTheOrderOfTheCaseInsensitiveComparison) {
    // Long shared prefixes, differences in case only, and a letter outside the basic plane whose
    // two forms share their first code unit: the order must stay that of QString::compare.
    const QString upperDeseret = QString::fromUcs4(U"\U00010400");
    const QString lowerDeseret = QString::fromUcs4(U"\U00010428");
    const QStringList paths = {
        u"/tc/tools/Util10.exe"_s,
        u"/tc/tools/util1.exe"_s,
        u"/tc/tools/UTIL1.EXE"_s,
        u"/tc/tools/util1"_s,
        u"/tc/Tools/util2.exe"_s,
        u"/tc/tools/"_s + upperDeseret + u"b.exe"_s,
        u"/tc/tools/"_s + lowerDeseret + u"a.exe"_s,
        u"/tc/tools/"_s + lowerDeseret + u"c.exe"_s,
        u"/tc/tools/\u00C4.exe"_s,
        u"/tc/tools/\u00E4.exe"_s,
        u"/tc/tools/z.exe"_s,
        u"/tc/tools/k.exe"_s,
        u"/tc/tools/\u212A.exe"_s, // the Kelvin sign folds to "k"
        u"/tc/tools/L.exe"_s,
        u"/tc/tool"_s,
        u""_s,
    };
    GroupFileList list;
    QList<GroupFileList::Entry> expected;
    for (const QString& path : paths) {
        list.append(path, u"key"_s);
        expected.append({u"key"_s, path});
    }
    std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
        return a.line().compare(b.line(), Qt::CaseInsensitive) < 0;
    });
    list.sortByLine();
    QStringList expectedPaths;
    for (const auto& e : std::as_const(expected))
        expectedPaths.append(e.filePath);
    EXPECT_EQ(list.filePaths(), expectedPaths);
    // The surrogate pairs fold alike, so their next letter decides.
    EXPECT_LT(list.filePaths().indexOf(u"/tc/tools/"_s + lowerDeseret + u"a.exe"_s),
              list.filePaths().indexOf(u"/tc/tools/"_s + upperDeseret + u"b.exe"_s));
}

UpdateList checkedList(const StatusTexts& texts) {
    UpdateList list(texts);
    runPass(list, {true, kFiles, {}});
    list.setLatestVersion(1, u"2.0"_s);
    list.setState(1, ItemState::Update);
    list.setChecked(1, true);
    list.setState(2, ItemState::Ok);
    return list;
}

TEST(SnapshotTest, RestoreGivesBackTheRows) {
    UpdateList list = checkedList({});
    const QList<UpdateItem> before = list.rows();
    list.takeSnapshot();
    list.restoreFromSnapshot({});
    EXPECT_EQ(list.rowCount(), 0);
    list.restoreFromSnapshot(list.snapshot().lines());
    EXPECT_EQ(list.rows(), before);

    // text form round trip, with a "|" in a path
    list.restoreFromSnapshot({});
    QList<SnapshotLine> parsed;
    for (const QString& text : list.snapshot().toText())
        parsed.append(*SnapshotLine::parse(text));
    list.restoreFromSnapshot(parsed);
    EXPECT_EQ(list.rows(), before);
}

TEST(SnapshotTest, StateSurvivesALanguageChange) {
    UpdateList list = checkedList({});
    list.takeSnapshot();
    list.setStatusTexts(german());
    list.restoreFromSnapshot(list.snapshot().lines());
    EXPECT_EQ(list.row(1).Status, u"Aktualisierung verfügbar!"_s);
    EXPECT_EQ(list.row(3).Status, u"Unbekannt."_s);
    EXPECT_EQ(list.state(1), ItemState::Update);
    EXPECT_EQ(list.countInState(ItemState::Unknown), 8);
    EXPECT_EQ(list.checkedCount(), 1);
}

TEST(SnapshotTest, ForeignStatusTextIsCodedOk) {
    UpdateList list = checkedList(german());
    list.setStatusTexts({}); // English now; the rows still carry German texts
    list.takeSnapshot();
    list.restoreFromSnapshot(list.snapshot().lines());
    EXPECT_EQ(list.row(1).Status, u"OK."_s);
    EXPECT_EQ(list.row(3).Status, u"OK."_s);
}

TEST(SnapshotTest, ModifyReplacesEveryLineOfThePathIgnoringCase) {
    UpdateList list = checkedList({});
    list.takeSnapshot();
    QList<SnapshotLine> lines = list.snapshot().lines();
    lines.append(lines[2]); // the same path twice
    lines.last().FilePath = u"  /TC/B.wcx "_s;
    list.restoreFromSnapshot(lines);
    list.takeSnapshot();

    list.setInstalledVersion(2, u"9.9"_s);
    list.updateSnapshotRow(u"/tc/b.WCX"_s, 2);
    int updated = 0;
    for (const SnapshotLine& l : list.snapshot().lines()) {
        if (l.FilePath.compare(u"/tc/b.wcx"_s, Qt::CaseInsensitive) == 0) {
            EXPECT_EQ(l.InstalledVersion, u"9.9"_s);
            ++updated;
        }
    }
    EXPECT_EQ(updated, 2);
    list.updateSnapshotRow(u"/tc/b.wcx"_s, 99); // no such row: nothing changes, no crash
    EXPECT_EQ(list.snapshot().count(), 11);
}

TEST(SnapshotTest, ParsesFieldsTheWayRestoreReadsThem) {
    const struct {
        QString text;
        std::optional<SnapshotLine> expected;
    } cases[] = {
        {u" Name | 1.0 | 2.0 | 1 | /p/x.wcx | 1 | 7 | 1 "_s,
         SnapshotLine{u"Name"_s, u"1.0"_s, u"2.0"_s, 1, u"/p/x.wcx"_s, 1, 7, true}},
        {u"N|-|-|-1|/p/a|b|c.wcx|3|2|0"_s,
         SnapshotLine{u"N"_s, u"-"_s, u"-"_s, -1, u"/p/a|b|c.wcx"_s, 3, 2, false}},
        {u"N|-|-|7|p|6|x|01"_s, SnapshotLine{u"N"_s, u"-"_s, u"-"_s, 0, u"p"_s, 6, 0, false}},
        {u"N|-|-|0|p|9|0|0"_s, std::nullopt},
        {u"N|-|-|0|p|6|0"_s, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnapshotLine::parse(c.text), c.expected) << c.text.toStdString();
}

class RecordingObserver : public UpdateListObserver {
public:
    QStringList calls;
    void beginInsertRow(int row) override { calls << u"+%1"_s.arg(row); }
    void endInsertRow() override {}
    void beginRemoveRow(int row) override { calls << u"-%1"_s.arg(row); }
    void endRemoveRow() override {}
    void rowChanged(int row) override { calls << u"~%1"_s.arg(row); }
    void beginReset() override { calls << u"reset"_s; }
    void endReset() override {}
};

TEST(UpdateListTest, TellsTheViewAboutEveryChange) {
    UpdateList list;
    RecordingObserver observer;
    list.setObserver(&observer);
    runPass(list, {false, {{ItemGroup::Wcx, u"/a.wcx"_s}, {ItemGroup::Wcx, u"/b.wcx"_s}}, {}});
    list.setChecked(1, true);
    list.excludePath(u"/A.wcx"_s);
    list.restoreFromSnapshot({});
    EXPECT_EQ(observer.calls, (QStringList{u"reset"_s, u"+0"_s, u"+1"_s, u"~1"_s, u"-0"_s, u"reset"_s}));
}

// Rows are found by path with letter case and surrounding spaces aside, beyond ASCII too.
TEST(SameItemPath, IgnoresCaseAndSpacesOnly) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"/tc/Plugins/WCX/Sample.wcx", "/tc/plugins/wcx/SAMPLE.WCX", true},
        {" /tc/a.exe\t", "/tc/a.exe", true},
        {"/tc/ÜBER/Straße.exe", "/tc/über/STRASSE.exe", false},
        {"/tc/ÜBER/Ärger.exe", "/tc/über/ärger.EXE", true},
        {"/tc/a.exe", "/tc/a.exe2", false},
        {"/tc/a.exe", "/tc/b.exe", false},
        {"/tc/a[.exe", "/tc/a{.exe", false}, // '[' and '{' are 32 apart, yet no letters
        {"", "  ", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sameItemPath(QString::fromUtf8(c.a), QString::fromUtf8(c.b)), c.same)
            << c.a << " | " << c.b;
    }
}

} // namespace
} // namespace quillon
