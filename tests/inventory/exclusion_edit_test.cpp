// Excluding rows of the update list: which rows may go and what leaves the list at once.
#include <gtest/gtest.h>

#include "inventory/exclusion_edit.h"
#include "inventory/exclusion_filter.h"
#include "inventory/update_list.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

ExclusionContext context() {
    ExclusionContext c;
    c.tcDir = u"/opt/TC"_s;
    c.tcExeFile = u"/opt/TC/TOTALCMD64.EXE"_s;
    c.programPath = u"/opt/quillon/Quillon.exe"_s;
    c.toEnvPath = [](const QString& path) {
        return path.startsWith("/opt/TC/"_L1) ? "%COMMANDER_PATH%"_L1 + path.mid(7) : path;
    };
    c.expand = [](const QString& line) {
        QString text = line;
        return text.replace(u"%COMMANDER_PATH%"_s, u"/opt/TC"_s);
    };
    return c;
}

struct ListFixture {
    UpdateList list;
    ListFixture() {
        list.addRow(u"TC"_s, {}, u"/opt/TC/TOTALCMD64.EXE"_s, ItemGroup::TC);
        for (const char* path :
             {"/opt/TC/plugins/wcx/Zip/Zip.wcx", "/opt/TC/plugins/wcx/Zip/ZipTool.wcx",
              "/opt/TC/plugins/wcx/Zip/sub/Inner.wcx", "/opt/TC/plugins/wcx/ZipX/Other.wcx"}) {
            const QString p = QString::fromLatin1(path);
            list.addRow(p, {}, p, ItemGroup::Wcx);
            list.groupLists().list(ItemGroup::Wcx).append(p);
        }
        list.addRow(u"Quillon"_s, {}, u"/opt/quillon/Quillon.exe"_s, ItemGroup::QN);
        list.addRow(u"DB"_s, {}, u"tcplugindb"_s, ItemGroup::QN);
        list.takeSnapshot();
    }
    QStringList paths() const {
        QStringList result;
        for (const UpdateItem& row : list.rows())
            result.append(row.FilePath.section('/'_L1, -1));
        return result;
    }
};

TEST(ExcludeItem, WhichRowsMayGo) {
    const ExclusionContext c = context();
    struct Case {
        const char* path;
        ExcludeMode mode;
        bool allowed;
    };
    const Case cases[] = {
        {"/opt/TC/plugins/wcx/Zip/Zip.wcx", ExcludeMode::File, true},
        {"/opt/quillon/quillon.exe", ExcludeMode::File, false}, // the program itself
        {"tcplugindb", ExcludeMode::File, false},
        {"checksumdb", ExcludeMode::Directory, false},
        {"/opt/TC/TOTALCMD64.EXE", ExcludeMode::File, true},
        {"/opt/tc/TOTALCMD64.EXE", ExcludeMode::Directory, false}, // Total Commander's directory
        {"/opt/quillon/tool.exe", ExcludeMode::Directory, false},  // the program's directory
        {"/opt/TC/plugins/wcx/Zip/Zip.wcx", ExcludeMode::Directory, true},
    };
    for (const Case& k : cases)
        EXPECT_EQ(canExclude(QString::fromLatin1(k.path), k.mode, c), k.allowed) << k.path;
}

TEST(ExcludeItem, FileAndDirectoryLeaveWhatTheNextPassLeavesOut) {
    const ExclusionContext c = context();
    {
        ListFixture f;
        QStringList exceptions{u"/b/x"_s};
        const ExcludeResult r = ExcludeItemFromList(f.list, exceptions, u"/opt/TC/plugins/wcx/Zip/Zip.wcx"_s,
                                                    ExcludeMode::File, c);
        EXPECT_TRUE(r.excluded);
        EXPECT_EQ(r.line, u"%COMMANDER_PATH%/plugins/wcx/Zip/Zip.wcx"_s); // letter case kept
        EXPECT_EQ(exceptions, (QStringList{u"%COMMANDER_PATH%/plugins/wcx/Zip/Zip.wcx"_s, u"/b/x"_s}));
        EXPECT_EQ(f.paths(), (QStringList{u"TOTALCMD64.EXE"_s, u"ZipTool.wcx"_s, u"Inner.wcx"_s,
                                          u"Other.wcx"_s, u"Quillon.exe"_s, u"tcplugindb"_s}));
        EXPECT_EQ(f.list.snapshot().count(), 6);
        EXPECT_EQ(f.list.groupLists().list(ItemGroup::Wcx).count(), 3);
        EXPECT_FALSE(r.doNotDetectTc);
    }
    {
        // Only the files directly in the directory: not those below it, nor a directory whose
        // name merely starts the same.
        ListFixture f;
        QStringList exceptions;
        const ExcludeResult r = ExcludeItemFromList(f.list, exceptions, u"/opt/TC/plugins/wcx/Zip/Zip.wcx"_s,
                                                    ExcludeMode::Directory, c);
        EXPECT_EQ(r.line, u"%COMMANDER_PATH%/plugins/wcx/Zip"_s);
        EXPECT_EQ(r.rowsRemoved, 2);
        EXPECT_EQ(f.paths(), (QStringList{u"TOTALCMD64.EXE"_s, u"Inner.wcx"_s, u"Other.wcx"_s,
                                          u"Quillon.exe"_s, u"tcplugindb"_s}));
        const ExclusionFilter next(exceptions, c.expand, c.tcDir);
        for (const UpdateItem& row : f.list.rows())
            EXPECT_FALSE(next.excludes(row.FilePath)) << row.FilePath.toStdString();
    }
    {
        ListFixture f;
        QStringList exceptions;
        EXPECT_TRUE(ExcludeItemFromList(f.list, exceptions, u"/opt/TC/TOTALCMD64.EXE"_s, ExcludeMode::File, c)
                        .doNotDetectTc);
        EXPECT_FALSE(ExcludeItemFromList(f.list, exceptions, u"tcplugindb"_s, ExcludeMode::File, c).excluded);
        EXPECT_EQ(exceptions.size(), 1);
    }
}

} // namespace
} // namespace quillon
