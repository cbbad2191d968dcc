#include <gtest/gtest.h>

#include "inventory/name_cleaning.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

struct CleaningCase {
    const char* product;
    const char* expected;
};

class ProductNameCleaning : public ::testing::TestWithParam<CleaningCase> {};

TEST_P(ProductNameCleaning, GivesTheExpectedName) {
    const CleaningCase& c = GetParam();
    EXPECT_EQ(CleanProductName(QString::fromUtf8(c.product), u"intern"_s, u"/tc/plugins/myplug/MyPlug.wcx"_s),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProductNameCleaning,
    ::testing::Values(
        // what authors write around the name
        CleaningCase{"Foo plugin for Total Commander", "Foo"}, CleaningCase{"WCX_Bar", "Bar"},
        CleaningCase{"Baz Plug-in,", "Baz"}, CleaningCase{"Total Commander packer Zipper", "Zipper"},
        CleaningCase{"Lister plugin ImageView", "ImageView"}, CleaningCase{"WDX ExifData", "ExifData"},
        CleaningCase{"Quux -", "Quux"}, CleaningCase{"Quux_", "Quux"}, CleaningCase{"Quux (", "Quux"},
        CleaningCase{"Foo  Bar", "Foo Bar"},
        // "for" only as a word: names that merely contain it stay whole
        CleaningCase{"PlatformInfo", "PlatformInfo"}, CleaningCase{"Formula viewer", "Formula viewer"},
        CleaningCase{"Packer für Total Commander", "Packer für Total Commander"},
        // generic names fall back to the file name, "wincmd" to the internal name
        CleaningCase{"Total Commander", "MyPlug"}, CleaningCase{"Utility", "MyPlug"},
        CleaningCase{"für Total Commander", "MyPlug"}, CleaningCase{"wincmd", "intern"},
        // a path or a file name keeps its last component without extension
        CleaningCase{"C:\\Tools\\my.tool.exe", "my.tool"}, CleaningCase{"Tools: Viewer", "Viewer"},
        // four single digits lose the last to the extension rule; the rest is a version
        CleaningCase{"1.2.3.4", ""}, CleaningCase{"Ab", ""}, CleaningCase{"None", ""},
        CleaningCase{"Packer plugin for TC", ""},
        // letters outside ASCII that fold into the phrases count as their ASCII twins
        CleaningCase{"Archiver file\u017Fy\u017Ftem plugin", "Archiver"},
        CleaningCase{"Viewer \u00C4 content plugin", "Viewer \u00C4"},
        CleaningCase{"N\u00D6NE Tool\u00DF", "N\u00D6NE Tool\u00DF"},
        CleaningCase{"An overly long product name that goes on and on well past sixty-four letters", ""}));

TEST(ItemName, EmptyProductNameUsesTheVersionFilesName) {
    EXPECT_EQ(CleanItemName({}, {}, u"/tc/plugins/mi/MediaInfo.dll"_s, u"/tc/plugins/mi/mediainfo.wdx"_s),
              u"MediaInfo"_s);
}

struct CaptionCase {
    const char* name;
    CaptionInput input;
    QList<CaptionedRow> others;
    const char* expected;
};

class Captions : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(Captions, FollowTheRules) {
    EXPECT_EQ(ItemCaption(GetParam().input, GetParam().others), QString::fromUtf8(GetParam().expected));
}

CaptionInput caption(const QString& path, const QString& cleaned, const QString& online, bool forceFn = false,
                     bool onlineCorr = true, bool x64 = false) {
    return {path, cleaned, online, forceFn, onlineCorr, x64};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Captions,
    ::testing::Values(
        CaptionCase{"FileNameForced", caption(u"/p/bar.wcx"_s, u"Bar Packer"_s, u"Foo"_s, true), {}, "bar"},
        CaptionCase{"OnlineName", caption(u"/p/bar.wcx"_s, u"Bar Packer"_s, u"Foo"_s), {}, "Foo"},
        CaptionCase{
            "CleanedNameWithoutOnlineName", caption(u"/p/bar.wcx"_s, u"Bar Packer"_s, {}), {}, "Bar Packer"},
        CaptionCase{"SecondOfOneOnlineName",
                    caption(u"/p/bar.wcx"_s, u"Bar"_s, u"Foo"_s),
                    {{u"Total Commander (x64)"_s, u"/tc/TOTALCMD64.EXE"_s}, {u"foo"_s, u"/p/first.WCX"_s}},
                    "Foo (bar)"},
        CaptionCase{"SecondNamedLikeTheOnlineName",
                    caption(u"/p/Foo.wcx"_s, u"Bar"_s, u"Foo"_s),
                    {{u"x"_s, u"/x"_s}, {u"Foo"_s, u"/p/first.wcx"_s}},
                    "Foo"},
        CaptionCase{"SameCaptionOtherKind",
                    caption(u"/p/bar.wcx"_s, u"Bar"_s, u"Foo"_s),
                    {{u"x"_s, u"/x"_s}, {u"Foo"_s, u"/p/first.wdx"_s}},
                    "Foo"},
        CaptionCase{"NoCorrectionEmptyName", caption(u"/p/bar.wcx"_s, {}, u"Foo"_s, false, false), {}, "bar"},
        CaptionCase{"NothingAtAll", caption(u"/p/bar.wcx"_s, {}, {}), {}, "bar"},
        CaptionCase{"X64InAllFilesMode",
                    caption(u"/p/bar.wcx64"_s, u"Bar"_s, {}, false, true, true),
                    {},
                    "Bar (x64)"},
        CaptionCase{
            "X64OnlyForA64Path", caption(u"/p/bar.wcx"_s, u"Bar"_s, {}, false, true, true), {}, "Bar"}),
    [](const ::testing::TestParamInfo<CaptionCase>& param) { return std::string(param.param.name); });

} // namespace
} // namespace quillon
