#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "inventory/addon_search.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

struct TreeCase {
    const char* name;
    QStringList files; // below the installation directory
    bool trailingSlash;
    bool withSecondary;
    QStringList expected; // below the temporary folder, in the order of the search
};

class AddonSearchTest : public ::testing::TestWithParam<TreeCase> {};

TEST_P(AddonSearchTest, ListsTheProgramsOfEachUtilityFolder) {
    const TreeCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString tc = dir.filePath(u"tc"_s);
    for (const QString& file : c.files)
        ASSERT_TRUE(test::writeFile(tc + u'/' + file, "MZ"));
    QDir().mkpath(tc + u"/empty"_s);
    AddonSearchInput input;
    input.tcDir = c.trailingSlash ? tc + u'/' : tc;
    input.pluginsDir = tc + u"/plugins"_s;
    if (c.withSecondary) {
        input.secondaryDir = dir.filePath(u"second"_s);
        ASSERT_TRUE(test::writeFile(input.secondaryDir + u"/deep/extra.exe"_s, "MZ"));
    }
    QStringList expected;
    for (const QString& file : c.expected)
        expected.append(dir.filePath(file));
    EXPECT_EQ(FindAddonFiles(input), expected);
}

const QStringList kTools = {
    u"tools/b.exe"_s,        u"tools/A.EXE"_s,        u"tools/readme.txt"_s, u"tools/sub/z/deep.exe"_s,
    u"tools/sub/c.exe"_s,    u"tools/.hidden.exe"_s,  u"Utils/x.exe"_s,      u"plugins/wcx/p/p.exe"_s,
    u"language/l.exe"_s,     u"sorted/wlx/v/v.exe"_s, u"top.exe"_s,          u"tools2/only.txt"_s,
    u"toolsX/tools/e.exe"_s, u"tools-extra/f.exe"_s,
};
// Folders by name in any letter case, each folder's files before its subfolders; the folders
// of plugins and languages, the top folder and files of other kinds are left out.
const QStringList kToolPrograms = {
    u"tc/tools/.hidden.exe"_s,  u"tc/tools/A.EXE"_s,          u"tc/tools/b.exe"_s,
    u"tc/tools/sub/c.exe"_s,    u"tc/tools/sub/z/deep.exe"_s, u"tc/tools-extra/f.exe"_s,
    u"tc/toolsX/tools/e.exe"_s, u"tc/Utils/x.exe"_s,
};

INSTANTIATE_TEST_SUITE_P(
    Trees, AddonSearchTest,
    ::testing::Values(TreeCase{"plain", kTools, false, false, kToolPrograms},
                      TreeCase{"trailing_slash", kTools, true, false, kToolPrograms},
                      TreeCase{"with_secondary", kTools, false, true,
                               kToolPrograms + QStringList{u"second/deep/extra.exe"_s}},
                      TreeCase{
                          "only_secondary", {u"notes.txt"_s}, false, true, {u"second/deep/extra.exe"_s}}),
    [](const ::testing::TestParamInfo<TreeCase>& row) { return std::string(row.param.name); });

} // namespace
} // namespace quillon
