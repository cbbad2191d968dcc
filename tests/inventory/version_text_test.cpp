#include "inventory/version_release_date.h"
#include "inventory/version_tags.h"
#include "inventory/version_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

using TextCases = std::vector<std::pair<QString, QString>>;

void expectMapped(QString (*function)(const QString&), const TextCases& cases) {
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(function(input), expected) << "input \"" << input.toStdString() << '"';
}

TEST(VersionTagOf, FirstContainedTagWithoutRegardToCase) {
    const std::vector<std::tuple<QString, QString, int>> cases{
        {u"9.0RC2"_s, u"RC"_s, 1}, {u"9.0rc2"_s, u"RC"_s, 1},  {u"9.0 PB 3"_s, u"PB"_s, 3},
        {u"9.0pb3"_s, u"PB"_s, 3}, {u"9.0Pß3"_s, u"Pß"_s, 3},  {u"9.0pß3"_s, u"Pß"_s, 3},
        {u"8.0ß5"_s, u"ß"_s, 3},   {u"8.0ẞ5"_s, u"ß"_s, 3},    {u"8.0α1"_s, u"α"_s, 4},
        {u"8.0Α1"_s, u"α"_s, 4},   {u"9.0RCß1"_s, u"RC"_s, 1}, {u"9.0ßα"_s, u"ß"_s, 3},
        {u"1.5b"_s, u"Pß"_s, 0},   {u""_s, u"Pß"_s, 0},        {u"2.0 beta"_s, u"Pß"_s, 0},
    };
    for (const auto& [text, tag, rank] : cases) {
        const VersionTag found = VersionTagOf(text);
        EXPECT_EQ(found.Tag, tag) << text.toStdString();
        EXPECT_EQ(found.Rank, rank) << text.toStdString();
    }
}

TEST(GetMainVersion, TextBeforeFirstDot) {
    expectMapped(GetMainVersion, {
                                     {u"12.3b"_s, u"12"_s},
                                     {u"12"_s, u""_s},
                                     {u"1.2.3"_s, u"1"_s},
                                 });
}

TEST(NormalizeVersionText, SeparatorsWordsAndBlanks) {
    expectMapped(NormalizeVersionText, {
                                           {u"  1.2  "_s, u"1.2"_s},
                                           {u"Version 1,2 beta"_s, u"1.2"_s},
                                           {u"1. 2; 3, 4"_s, u"1.2.3.4"_s},
                                           {u"1;2,3"_s, u"1.2.3"_s},
                                           {u"ver 2.0 Final"_s, u"2.0"_s},
                                           {u"VER2.0"_s, u"2.0"_s},
                                           {u"2.0 ALPHA 3"_s, u"2.0"_s},
                                           {u"1.2 (build 5)"_s, u"1.2"_s},
                                           {u"8.0ß5"_s, u"8.0ß5"_s},
                                           {u"beta"_s, u""_s},
                                       });
}

TEST(CollapsedVersion, DigitsAndLettersOnly) {
    expectMapped(CollapsedVersion, {
                                       {u"1.5"_s, u"15"_s},
                                       {u"1.50"_s, u"15"_s},
                                       {u"2.0 final"_s, u"2"_s},
                                       {u"version 1.2 beta"_s, u"12"_s},
                                       {u"Version 1, 2; 3"_s, u"123"_s},
                                       {u"8.0ß5"_s, u"85"_s},
                                       {u"8.0Pß5"_s, u"85"_s},
                                       {u"9.0rc2"_s, u"92"_s},
                                       {u"1.2a extra"_s, u"12a"_s},
                                       {u"0.0"_s, u""_s},
                                   });
}

TEST(IsPlausibleReleaseDate, AfterJune1999AndNotAfterToday) {
    const QDate today(2024, 5, 10);
    const std::vector<std::pair<QDateTime, bool>> cases{
        {QDateTime(QDate(1999, 6, 17), QTime(23, 59)), false},
        {QDateTime(QDate(1999, 6, 18), QTime(0, 0)), true},
        {QDateTime(QDate(1970, 1, 1), QTime(0, 0)), false},
        {QDateTime(QDate(2024, 5, 10), QTime(23, 59, 59)), true},
        {QDateTime(QDate(2024, 5, 11), QTime(0, 0)), false},
        {QDateTime(), false},
    };
    for (const auto& [moment, expected] : cases)
        EXPECT_EQ(IsPlausibleReleaseDate(moment, today), expected) << moment.toString().toStdString();
    EXPECT_TRUE(IsPlausibleReleaseDate(QDateTime::currentDateTime()));
}

} // namespace
} // namespace quillon
