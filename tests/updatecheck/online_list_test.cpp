// The catalogue's list page: clean-up into record lines, the split, and the identifier index.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "updatecheck/online_list.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(OnlineListTest, CleanUpMakesOneRecordPerLine) {
    struct Case {
        const char* name;
        QString page;
        QStringList lines;
    };
    const Case cases[] = {
        {"records after '| '",
         u"<HEAD></HEAD><body><PRE>a|A|1.0|01.02.2020|packer|x32| b|B|2.0|03.04.2021|util|x64|</pre></BODY>"_s,
         {u"a|A|1.0|01.02.2020|packer|x32|"_s, u"b|B|2.0|03.04.2021|util|x64|"_s}},
        {"entities and quotes",
         u"a&amp;b|It's&nbsp;|1|01.01.2020|util|x32|"_s,
         {u"a&b|Its|1|01.01.2020|util|x32|"_s}},
        {"'src ' breaks the line", u"img src x|y"_s, {u"img src"_s, u"x|y"_s}},
        {"every kind of line break", u"  a\r\nb\rc\nd  "_s, {u"a"_s, u"b"_s, u"c"_s, u"d"_s}},
        {"blank page", u"  \r\n "_s, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CleanOnlineListPage(c.page), c.lines) << c.name;
}

TEST(OnlineListTest, AddressMustNameTheListPageExactly) {
    EXPECT_TRUE(IsOnlineListAddress(u"http://127.0.0.1:8123/get_plugins_list.php"_s));
    EXPECT_TRUE(IsOnlineListAddress(u"http://h/sub/get_plugins_list.php?x=1"_s));
    EXPECT_FALSE(IsOnlineListAddress(u"http://h/GET_PLUGINS_LIST.PHP"_s));
    EXPECT_FALSE(IsOnlineListAddress(u"http://h/get_plugins_list.php/other"_s));
}

TEST(OnlineListTest, EmptyFieldsShiftTheRestAndShortLinesAreNoRecords) {
    OnlineRecord record;
    ASSERT_TRUE(SplitOnlineRecord(u"foo|Foo -|1.0||01.02.2020|packer|x32"_s, record));
    EXPECT_EQ(record.displayName(), u"Foo "_s);
    EXPECT_EQ(record.releaseDate(), u"01.02.2020"_s);
    EXPECT_EQ(record.category(), u"packer"_s);
    EXPECT_EQ(record.platform2(), QString());
    EXPECT_FALSE(SplitOnlineRecord(u"foo|Foo|1.0|01.02.2020"_s, record));
    EXPECT_FALSE(SplitOnlineRecord(u"||||"_s, record));
}

TEST(OnlineListTest, IndexKeepsPageOrderPerIdentifier) {
    const OnlineList list(QStringList{u" Foo |A|1|01.01.2020|util"_s, u"junk"_s, u"bar|B|1|01.01.2020|util"_s,
                                      u"foo|C|2|01.01.2020|util"_s});
    EXPECT_EQ(list.recordCount(), 3);
    EXPECT_EQ(list.lines().size(), 4);
    EXPECT_EQ(list.positionsOf(u"foo"_s), (QList<int>{0, 2}));
    EXPECT_EQ(list.positionsOf(u"bar"_s), (QList<int>{1}));
    EXPECT_TRUE(list.positionsOf(u"Foo"_s).isEmpty());
}

} // namespace
} // namespace quillon
