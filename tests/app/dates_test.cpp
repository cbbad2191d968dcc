#include <gtest/gtest.h>

#include "app/common/dates.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

TEST(IsDateString, AcceptsDayFirstAndYearFirstDatesInRange) {
    const std::pair<QString, bool> cases[] = {
        {u"12.12.2013"_s, true},  {u"2013-12-12"_s, true},  {u"12/12/2013"_s, true},
        {u"1900.1.1"_s, true},    {u"1.1.1900"_s, true},    {u" 1 . 2 . 2001 "_s, true},
        {u"31.12.2099"_s, true},  {u"12.12.13"_s, false},   {u"2013.13.01"_s, false},
        {u"2100-01-01"_s, false}, {u"01.01.1899"_s, false}, {u"32.01.2000"_s, false},
        {u"00.01.2000"_s, false}, {u"aa.bb.cccc"_s, false}, {u"12.12.2013.1"_s, false},
        {u"1212.2013"_s, false},  {u"12.12."_s, false},     {u""_s, false},
        {u"2013-1-"_s, false},    {u"1.2.3.4.5"_s, false},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(IsDateString(text), expected) << text.toStdString();
}

TEST(FormatByteSize, ChoosesTheUnitAtTheStatedBoundaries) {
    const std::pair<quint32, QString> cases[] = {
        {0, u"0 bytes"_s},          {1, u"1 bytes"_s},       {1024, u"1024 bytes"_s},
        {1025, u"1 KB"_s},          {1536, u"1,5 KB"_s},     {1152, u"1,13 KB"_s}, // 1.125 rounds up
        {1048576, u"1024 KB"_s},    {1048577, u"1 MB"_s},    {5 * 1048576 + 262144, u"5,25 MB"_s},
        {1073741824, u"1024 MB"_s}, {1073741825, u"1 GB"_s}, {4294967295u, u"4 GB"_s},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(FormatByteSize(bytes), text) << bytes;
}

TEST(DateFormats, UseDayMonthYearWithDots) {
    EXPECT_EQ(FormatDate(QDate(2024, 3, 5)), u"05.03.2024"_s);
    EXPECT_EQ(FormatShortTime(QTime(7, 4, 9)), u"07:04"_s);
    EXPECT_EQ(FormatLongTime(QTime(7, 4, 9)), u"07:04:09"_s);
}

} // namespace
