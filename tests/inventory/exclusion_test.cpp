// The exception list as the inventory pass applies it.
#include <gtest/gtest.h>

#include "inventory/exclusion_filter.h"
#include "inventory/group_file_list.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

QString expand(const QString& line) {
    QString text = line;
    text.replace(u"%COMMANDER_PATH%"_s, u"/opt/TC"_s, Qt::CaseInsensitive);
    return text.replace(u'\\', u'/');
}

TEST(ExclusionFilter, FilesAndDirectories) {
    const ExclusionFilter filter({u"%COMMANDER_PATH%\\Plugins\\WCX\\Zip.wcx"_s, u"  /opt/tc/tools/  "_s,
                                  u"%COMMANDER_PATH%"_s, u""_s, u"/opt/tc/a/../b"_s},
                                 expand, u"/opt/tc/"_s);
    struct Row {
        QString path;
        bool excluded;
    };
    const Row rows[] = {
        {u"/opt/tc/plugins/wcx/zip.wcx"_s, true},    // file, letter case ignored
        {u"/opt/tc/plugins/wcx/zip.wcx64"_s, false}, // not the same file
        {u"/opt/tc/tools/x.exe"_s, true},            // directly in an excluded directory
        {u"/opt/tc/tools/sub/x.exe"_s, false},       // its subdirectories are not
        {u"/opt/tc/tools"_s, true},                  // the line itself, as a file
        {u"/opt/tc/totalcmd64.exe"_s, false},        // Total Commander's directory hides nothing
        {u"/opt/tc/b/file.exe"_s, true},             // lines are normalised
        {u"/opt/tcx/tools/x.exe"_s, false},          // a longer name is another directory
        {u""_s, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(filter.excludes(row.path), row.excluded) << row.path.toStdString();
}

TEST(ExclusionFilter, ApplyDropsEachMatchOnceAndKeepsOrder) {
    GroupFileList list;
    for (const char* path : {"/d/a.exe", "/d/b.exe", "/e/c.exe", "/d/sub/d.exe", "/E/C.EXE"})
        list.append(QString::fromLatin1(path));
    // Two lines match /e/c.exe; it goes once.
    const ExclusionFilter filter({u"/d"_s, u"/e/c.exe"_s, u"/E/"_s}, {}, u"/tc"_s);
    EXPECT_EQ(filter.apply(list), 4);
    EXPECT_EQ(list.filePaths(), QStringList{u"/d/sub/d.exe"_s});

    GroupFileList untouched;
    untouched.append(u"/d/a.exe"_s);
    EXPECT_EQ(ExclusionFilter({}, {}, {}).apply(untouched), 0);
    EXPECT_EQ(untouched.count(), 1);
}

} // namespace
} // namespace quillon
