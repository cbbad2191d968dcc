#include <gtest/gtest.h>

#include <QSet>

#include "app/locales.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

TEST(Locales, ShortNamesOfTheBuiltInLanguagesAndTheirNeighbours) {
    const struct {
        const char* shortName;
        quint32 lcid;
    } cases[] = {
        {"CSY", 1029},
        {"DAN", 1030},
        {"DEU", 1031},
        {"ENU", 1033},
        {"FRA", 1036},
        {"HUN", 1038},
        {"ITA", 1040},
        {"NLD", 1043},
        {"PLK", 1045},
        {"RUS", 1049},
        {"SKY", 1051},
        {"SVE", 1053},
        {"UKR", 1058},
        {"SLV", 1060},
        {"LTH", 1063},
        {"CHS", 2052},
        {"ESN", 3082},
        // English of the United Kingdom: the English file's own short name points here.
        {"ENG", 2057},
        {"DES", 2055},
        {"PTB", 1046},
        {"PTG", 2070},
        {"CHT", 1028},
    };
    for (const auto& c : cases) {
        const QString shortName = QString::fromLatin1(c.shortName);
        EXPECT_EQ(LcidFromShortName(shortName), c.lcid) << c.shortName;
        EXPECT_EQ(LocaleShortName(c.lcid), shortName) << c.lcid;
    }
}

TEST(Locales, UnknownOrDifferentlyWrittenShortNamesGiveNothing) {
    for (const QString& name : {u"deu"_s, u"Deu"_s, u""_s, u"DEU "_s, u"LNG"_s, u"XYZ"_s})
        EXPECT_EQ(LcidFromShortName(name), 0u) << name.toStdString();
    EXPECT_EQ(LocaleShortName(0), QString());
    EXPECT_EQ(LocaleShortName(12345), QString());
}

TEST(Locales, TableIsInEnumerationOrderWithUniqueNames) {
    QSet<QString> shortNames;
    QSet<QString> posixNames;
    quint32 previous = 0;
    for (const LocaleInfo& locale : knownLocales()) {
        EXPECT_GT(locale.lcid, previous) << locale.lcid;
        previous = locale.lcid;
        EXPECT_EQ(locale.shortName.size(), 3) << locale.lcid;
        shortNames.insert(locale.shortName);
        posixNames.insert(locale.posixName);
    }
    // A repeated name would make the first-match lookups hide a locale.
    EXPECT_EQ(shortNames.size(), knownLocales().size());
    EXPECT_EQ(posixNames.size(), knownLocales().size());
}

TEST(Locales, UserDefaultLocaleFromTheEnvironment) {
    const struct {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        quint32 lcid;
    } cases[] = {
        {"", "", "de_DE.UTF-8", 1031},
        {"", "", "de_CH", 2055},
        {"", "", "de_CH.UTF-8@euro", 2055},
        {"", "", "de_LU@euro", 4103},
        {"", "", "de_BE.UTF-8", 1031}, // territory unknown here: the language's main locale
        {"", "", "en_GB.UTF-8", 2057},
        {"", "", "en", 1033},
        {"", "", "pt", 1046},
        {"", "", "pt_PT", 2070},
        {"", "", "no_NO", 1044},
        {"", "", "zh_CN.GB18030", 2052},
        {"", "", "zh_TW.Big5", 1028},
        {"", "", "ru-RU", 1049},
        {"", "", "C", 1033},
        {"", "", "C.UTF-8", 1033},
        {"", "", "POSIX", 1033},
        {"", "", "xx_YY", 1033},
        {"", "", "", 1033},
        {"", "ru_RU.UTF-8", "de_DE.UTF-8", 1049},      // LC_MESSAGES before LANG
        {"fr_FR", "ru_RU.UTF-8", "de_DE.UTF-8", 1036}, // LC_ALL before both
        {"C", "", "de_DE.UTF-8", 1033},                // a set LC_ALL wins even when it is "C"
        {"  ", "", "sv_SE", 1053},                     // blank counts as unset
    };
    for (const auto& c : cases) {
        EXPECT_EQ(userDefaultLcidFrom(QString::fromLatin1(c.lcAll), QString::fromLatin1(c.lcMessages),
                                      QString::fromLatin1(c.lang)),
                  c.lcid)
            << c.lcAll << " | " << c.lcMessages << " | " << c.lang;
    }
}

} // namespace
