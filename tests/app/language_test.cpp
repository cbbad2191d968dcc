#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "app/ini_document.h"
#include "app/language.h"
#include "app/locales.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

const QString kEnglish = u":/languages/LNG_1033.lng"_s;

QByteArray resourceBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

IniDocument parseLatin1(const QByteArray& bytes) {
    IniDocument doc(QString(), IniDocument::Encoding::Latin1);
    doc.setBytes(bytes);
    return doc;
}

QStringList builtInFiles() {
    QStringList files;
    for (const QString& name : QDir(u":/languages"_s).entryList({u"LNG_*.lng"_s}, QDir::Files))
        files.append(u":/languages/"_s + name);
    return files;
}

// Sets the locale variables for one test and puts the old values back.
class LocaleEnvironment {
public:
    explicit LocaleEnvironment(const char* lcAll) {
        for (const char* name : kNames)
            m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qunsetenv("LC_MESSAGES");
        qunsetenv("LANG");
        qputenv("LC_ALL", lcAll);
    }
    ~LocaleEnvironment() {
        for (const auto& [name, value, set] : m_saved) {
            if (set)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
    }

private:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    struct Saved {
        const char* name;
        QByteArray value;
        bool set;
    };
    QList<Saved> m_saved;
};

TEST(BuiltInLanguages, EveryFileHasTheEnglishSectionsKeysAndPlaceholders) {
    const IniDocument english = parseLatin1(resourceBytes(kEnglish));
    int englishKeys = 0;
    for (const QString& section : english.sections())
        englishKeys += static_cast<int>(english.keys(section).size());
    EXPECT_EQ(englishKeys, 365);
    EXPECT_EQ(english.sections().size(), 18);

    const QStringList files = builtInFiles();
    ASSERT_EQ(files.size(), 17);
    for (const QString& path : files) {
        SCOPED_TRACE(path.toStdString());
        const IniDocument doc = parseLatin1(resourceBytes(path));
        ASSERT_EQ(doc.sections(), english.sections());
        for (const QString& section : english.sections()) {
            EXPECT_EQ(doc.keys(section), english.keys(section)) << section.toStdString();
            if (section == u"Language"_s)
                continue;
            // A translation that loses "%s1" would show a count nowhere.
            for (const QString& key : english.keys(section)) {
                static const QRegularExpression placeholder(u"%s[12]?"_s,
                                                            QRegularExpression::CaseInsensitiveOption);
                const auto collect = [](const QString& text) {
                    QStringList found;
                    for (auto it = placeholder.globalMatch(text); it.hasNext();)
                        found.append(it.next().captured().toLower());
                    found.sort();
                    return found;
                };
                EXPECT_EQ(collect(doc.value(section, key)), collect(english.value(section, key)))
                    << section.toStdString() << "/" << key.toStdString();
            }
        }
        // The header names the file: LNG_<LCID>.lng.
        EXPECT_TRUE(path.endsWith(u"LNG_"_s + doc.value(u"Language"_s, u"LCID"_s).trimmed() + u".lng"_s));
    }
}

TEST(BuiltInLanguages, StatusTextsTellTheStatesApartAndNoAccidentalAccelerators) {
    const IniDocument english = parseLatin1(resourceBytes(kEnglish));
    static const QRegularExpression loneAmpersand(u"(?<!&)&(?!&)"_s);
    for (const QString& path : builtInFiles()) {
        SCOPED_TRACE(path.toStdString());
        const IniDocument doc = parseLatin1(resourceBytes(path));
        // A row's state is recognised by its text: two equal texts would merge two states.
        const QString captions = u"CaptionsMainFrm"_s;
        const QStringList states = {doc.value(captions, u"UpdateList_OK"_s).trimmed(),
                                    doc.value(captions, u"UpdateList_Update"_s).trimmed(),
                                    doc.value(captions, u"UpdateList_Unknown"_s).trimmed()};
        EXPECT_FALSE(states.contains(QString()));
        EXPECT_EQ(QSet<QString>(states.cbegin(), states.cend()).size(), 3);

        // "&&" shows one "&"; a lone "&" would swallow the next letter as an accelerator.
        for (const QString& section : english.sections()) {
            for (const QString& key : english.keys(section)) {
                if (english.value(section, key).contains(loneAmpersand))
                    continue;
                EXPECT_FALSE(doc.value(section, key).contains(loneAmpersand))
                    << section.toStdString() << "/" << key.toStdString();
            }
        }
    }
}

TEST(BuiltInLanguages, DeclaredCodepageDecodesEveryByteWithoutLoss) {
    const struct {
        const char* file;
        const char* codepage;
        const char* shortName;
        quint32 lcid;
    } cases[] = {
        {"LNG_1033.lng", "1252", "ENG", 2057}, {"LNG_1031.lng", "1252", "DEU", 1031},
        {"LNG_1049.lng", "1251", "RUS", 1049}, {"LNG_2052.lng", "936", "CHS", 2052},
        {"LNG_1051.lng", "1250", "SKY", 1051}, {"LNG_1053.lng", "1252", "SVE", 1053},
        {"LNG_1058.lng", "1251", "UKR", 1058}, {"LNG_1060.lng", "1250", "SLV", 1060},
        {"LNG_1063.lng", "1257", "LTH", 1063}, {"LNG_3082.lng", "1252", "ESN", 3082},
        {"LNG_1029.lng", "1250", "CSY", 1029}, {"LNG_1030.lng", "1252", "DAN", 1030},
        {"LNG_1036.lng", "1252", "FRA", 1036}, {"LNG_1038.lng", "1250", "HUN", 1038},
        {"LNG_1040.lng", "1252", "ITA", 1040}, {"LNG_1043.lng", "1252", "NLD", 1043},
        {"LNG_1045.lng", "1250", "PLK", 1045},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray bytes = resourceBytes(u":/languages/"_s + QLatin1String(c.file));
        ASSERT_FALSE(bytes.isEmpty());
        const IniDocument doc = parseLatin1(bytes);
        EXPECT_EQ(doc.value(u"Language"_s, u"Codepage"_s).trimmed(), QLatin1String(c.codepage));
        const QString shortName = doc.value(u"Language"_s, u"LngShortID"_s).trimmed();
        EXPECT_EQ(shortName, QLatin1String(c.shortName));
        EXPECT_EQ(LcidFromShortName(shortName), c.lcid);

        const QByteArray codec = codecForCodepage(QLatin1String(c.codepage));
        QStringDecoder decoder(codec.constData());
        const QString text = decoder.decode(bytes);
        EXPECT_FALSE(decoder.hasError());
        EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
        QStringEncoder encoder(codec.constData());
        const QByteArray back = encoder.encode(text);
        EXPECT_FALSE(encoder.hasError());
        EXPECT_EQ(back, bytes);
    }
}

TEST(Language, TextsDecodeFromTheirOwnCodepage) {
    const struct {
        const char* lcid;
        const char* section;
        const char* key;
        const char* expected; // UTF-8
    } cases[] = {
        {"1049", "Buttons", "BtnCancel", "Отмена"},
        // windows-1251 writes "…" as 0x85, a blank to a Latin-1 trim.
        {"1049", "Buttons", "BtnBrowse", "Обзор…"},
        {"1049", "CaptionsMainFrm", "UpdateList_Update", "Есть обновление!"},
        {"1049", "Language", "LngName", "Русский"},
        {"2052", "CaptionsMainFrm", "UpdateList_Update", "有可用更新！"},
        {"2052", "ErrorMessages", "TCError", "Total Commander 没有运行！"},
        {"2052", "Language", "LngName", "简体中文"},
        {"1031", "Buttons", "BtnClose", "Schließen"},
        {"1031", "Hints", "AuthorFormat", "Format: „Firmenname (Copyright)“"},
        {"1033", "ErrorMessages", "TCError", "Total Commander isn't running!"},
        {"1051", "Buttons", "BtnClose", "Zavrieť"},
        {"1058", "Language", "LngName", "Українська"},
        {"1060", "Language", "LngName", "Slovenščina"},
        {"1063", "CaptionsMainFrm", "UpdateList_Update", "Yra naujinimas!"},
        {"1063", "Buttons", "BtnCancel", "Atšaukti"},
        {"3082", "CaptionsMainFrm", "UpdateList_Update", "¡Actualización disponible!"},
    };
    Language language;
    for (const auto& c : cases) {
        ASSERT_TRUE(language.LoadLanguage(QLatin1String(c.lcid)));
        EXPECT_EQ(language.text(QLatin1String(c.section), QLatin1String(c.key), u"default"_s),
                  QString::fromUtf8(c.expected))
            << c.lcid << " " << c.key;
    }
}

TEST(Language, MissingKeyGivesTheDefaultUntouched) {
    Language language;
    ASSERT_TRUE(language.LoadLanguage(u"1049"_s));
    // Latin-1 letters in a default must not be read as windows-1251 bytes.
    EXPECT_EQ(language.text(u"Buttons"_s, u"NoSuchKey"_s, u"Größe "_s), u"Größe"_s);
    EXPECT_EQ(language.text(u"NoSuchSection"_s, u"BtnOK"_s, u"OK!"_s), u"OK!"_s);
}

TEST(Language, StatusTextsFollowTheLoadedLanguage) {
    Language language;
    EXPECT_EQ(language.statusOk(), u"OK."_s); // nothing loaded yet: the defaults
    ASSERT_TRUE(language.LoadLanguage(u"1033"_s));
    EXPECT_EQ(language.statusUpdate(), u"Update available!"_s);
    EXPECT_EQ(language.statusUnknown(), u"Unknown."_s);
    ASSERT_TRUE(language.LoadLanguage(u"1049"_s));
    EXPECT_EQ(language.statusOk(), u"OK."_s);
    EXPECT_EQ(language.statusUpdate(), u"Есть обновление!"_s);
    EXPECT_EQ(language.statusUnknown(), u"Неизвестно."_s);
}

TEST(Language, ReplacesPlaceholdersInAnyCaseWithoutEatingNumberedOnes) {
    const struct {
        const char* text;
        Placeholders values;
        const char* expected;
    } cases[] = {
        {"%s plugins in the database", {u"12"_s, {}, {}}, "12 plugins in the database"},
        {"%S and %s", {u"x"_s, {}, {}}, "x and x"},
        {"%s1 / %s2 items checked for update.", {{}, u"3"_s, u"7"_s}, "3 / 7 items checked for update."},
        {"%S2 before %s1", {{}, u"a"_s, u"b"_s}, "b before a"},
        {"%s1 and %s", {u"S"_s, u"one"_s, {}}, "one and S"},
        // Without a value for "%s1" the text reads as "%s" followed by "1".
        {"%s1 only", {u"S"_s, {}, {}}, "S1 only"},
        // An inserted value is never searched again.
        {"%s1 / %s2", {{}, u"50%s2"_s, u"Z"_s}, "50%s2 / Z"},
        {"%s in %s", {u"%s"_s, {}, {}}, "%s in %s"},
        {"no values: %s %s1", {{}, {}, {}}, "no values: %s %s1"},
        {"100% and %", {u"x"_s, {}, {}}, "100% and %"},
        {"ends with %", {u"x"_s, {}, {}}, "ends with %"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Language::ReplacePlaceholders(QString::fromUtf8(c.text), c.values),
                  QString::fromUtf8(c.expected))
            << c.text;
    }

    Language language;
    ASSERT_TRUE(language.LoadLanguage(u"1049"_s));
    EXPECT_EQ(language.format(u"ErrorMessages"_s, u"InfoNotAvailable_L1"_s, QString(),
                              {{}, u"Quillon"_s, u"wcx_7zip"_s}),
              u"К сожалению, Quillon не может показать дополнительные сведения о wcx_7zip."_s);
}

class LanguageFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString dir() const { return m_dir.path(); }
    void writeExternal(const QByteArray& content) {
        ASSERT_TRUE(test::writeFile(dir() + u"/Quillon.lng"_s, content));
    }

    QTemporaryDir m_dir;
};

TEST_F(LanguageFiles, LoadLanguageFallsBackToEnglish) {
    const struct {
        const char* code;
        const char* file;
        const char* shortName;
        quint32 lcid;
        bool ok;
    } cases[] = {
        {"1031", "LNG_1031.lng", "DEU", 1031, true}, {" 1049 ", "LNG_1049.lng", "RUS", 1049, true},
        {"2052", "LNG_2052.lng", "CHS", 2052, true}, {"9999", "LNG_1033.lng", "ENG", 2057, true},
        {"2057", "LNG_1033.lng", "ENG", 2057, true}, // "ENG" is a locale without its own file
        {"", "LNG_1033.lng", "ENG", 2057, true},     {"../LNG_1031", "LNG_1033.lng", "ENG", 2057, true},
        {"0", "LNG_1033.lng", "ENG", 2057, false}, // no external file here
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        Language language(dir(), u"Quillon"_s);
        EXPECT_EQ(language.LoadLanguage(QLatin1String(c.code)), c.ok);
        EXPECT_EQ(language.loadedFile(), u":/languages/"_s + QLatin1String(c.file));
        EXPECT_EQ(language.currentShortName(), QLatin1String(c.shortName));
        EXPECT_EQ(language.buttonCaption(), QLatin1String(c.shortName));
        EXPECT_EQ(language.currentLcid(), c.lcid);
        EXPECT_FALSE(language.ExternalLanguage());
    }
}

TEST_F(LanguageFiles, StartChoiceFromTheSavedShortNameOrTheUserLocale) {
    const struct {
        const char* currentLng;
        const char* lcAll;
        const char* file;
    } cases[] = {
        {"DEU", "ru_RU.UTF-8", "LNG_1031.lng"},
        {"rus", "de_DE.UTF-8", "LNG_1049.lng"},
        {"ENG", "de_DE.UTF-8", "LNG_1033.lng"},
        // A short name no locale has must not be read as the external file's code "0".
        {"XYZ", "de_DE.UTF-8", "LNG_1033.lng"},
        {"", "de_DE.UTF-8", "LNG_1031.lng"},
        {"", "de_CH.UTF-8", "LNG_1033.lng"},
        {"", "zh_CN.UTF-8", "LNG_2052.lng"},
        {"", "C", "LNG_1033.lng"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.currentLng) + " / " + c.lcAll);
        const LocaleEnvironment environment(c.lcAll);
        Language language(dir(), u"Quillon"_s);
        language.loadStartLanguage(QLatin1String(c.currentLng));
        EXPECT_EQ(language.loadedFile(), u":/languages/"_s + QLatin1String(c.file));
        EXPECT_FALSE(language.ExternalLanguage());
    }
}

TEST_F(LanguageFiles, ExternalFileWinsAndStaysTheRememberedChoice) {
    QStringEncoder cp1251("windows-1251");
    const QByteArray name = cp1251.encode(u"Мой язык"_s);
    const QByteArray stop = cp1251.encode(u"Стоп…"_s);
    writeExternal("[Language]\r\nLCID=1049\r\nCodepage=1251\r\nLngShortID=rux\r\nLngName=" + name +
                  "\r\n[Buttons]\r\nBtnCancel= " + stop + " \r\n");
    Language language(dir(), u"Quillon"_s);
    language.loadStartLanguage(u"DEU"_s);
    EXPECT_EQ(language.loadedFile(), dir() + u"/Quillon.lng"_s);
    EXPECT_TRUE(language.ExternalLanguage());
    EXPECT_EQ(language.buttonCaption(), u"LNG"_s);
    EXPECT_EQ(language.currentShortName(), u"RUX"_s);
    EXPECT_EQ(language.currentLcid(), 0u);
    EXPECT_EQ(language.text(u"Buttons"_s, u"BtnCancel"_s, u"Cancel"_s), u"Стоп…"_s);
    EXPECT_EQ(language.text(u"Buttons"_s, u"BtnOK"_s, u"OK"_s), u"OK"_s);

    const QList<LanguageMenuEntry> entries = language.menuEntries();
    ASSERT_FALSE(entries.isEmpty());
    const LanguageMenuEntry& last = entries.last();
    EXPECT_TRUE(last.external);
    EXPECT_TRUE(last.checked);
    EXPECT_EQ(last.LCID, 0u);
    EXPECT_EQ(last.caption(), u"Quillon.lng\tLNG"_s);
    for (qsizetype i = 0; i + 1 < entries.size(); ++i)
        EXPECT_FALSE(entries[i].checked) << entries[i].LngNameEng.toStdString();

    // A built-in choice in the same run shows that language but stays an external-file run.
    ASSERT_TRUE(language.LoadLanguage(u"1049"_s));
    EXPECT_EQ(language.buttonCaption(), u"RUS"_s);
    EXPECT_TRUE(language.ExternalLanguage());
}

TEST_F(LanguageFiles, UnusableCodepageFallsBackTo1252AndBadBytesStayReadable) {
    const struct {
        QByteArray codepage;
        QByteArray value;
        QString expected;
    } cases[] = {
        {"1252", "\x80 Euro", u"€ Euro"_s},
        {"abc", "\x80 Euro", u"€ Euro"_s},
        {"", "\xE9t\xE9", u"été"_s},
        {"99999", "\xE9t\xE9", u"été"_s},
        {" 1251 ", "\xC4\xE0", u"Да"_s},
        {"936", "\xC4\xE3\xBA\xC3", u"你好"_s},
        // A lone GBK lead byte cannot be converted: the text is shown as it stands.
        {"936", "  ab\x81  ", u"ab\u0081"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codepage.toStdString());
        writeExternal("[Language]\nCodepage=" + c.codepage + "\n[Hints]\nX=" + c.value + "\n");
        Language language(dir(), u"Quillon"_s);
        ASSERT_TRUE(language.LoadLanguage(u"0"_s));
        EXPECT_EQ(language.text(u"Hints"_s, u"X"_s, QString()), c.expected);
    }
}

TEST_F(LanguageFiles, MenuListsBuiltInLanguagesByEnglishName) {
    Language language(dir(), u"Quillon"_s);
    ASSERT_TRUE(language.LoadLanguage(u"1049"_s));
    const QList<LanguageMenuEntry> entries = language.menuEntries();
    QStringList names;
    for (const LanguageMenuEntry& entry : entries) {
        EXPECT_FALSE(entry.external);
        EXPECT_EQ(entry.checked, entry.LngShortID == u"RUS"_s) << entry.LngShortID.toStdString();
        names.append(entry.LngNameEng);
    }
    QStringList sorted = names;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(names, sorted);
    for (const char* name : {"Chinese Simplified", "English", "German", "Russian"})
        EXPECT_TRUE(names.contains(QLatin1String(name))) << name;

    const auto chinese = std::find_if(entries.cbegin(), entries.cend(),
                                      [](const LanguageMenuEntry& e) { return e.LCID == 2052; });
    ASSERT_NE(chinese, entries.cend());
    EXPECT_EQ(chinese->caption(), u"Chinese Simplified (简体中文)\tCHS"_s);
}

TEST_F(LanguageFiles, MenuSortIgnoresLetterCase) {
    const QString builtIn = dir() + u"/builtin"_s;
    const struct {
        const char* file;
        const char* nameEng;
    } files[] = {{"LNG_1.lng", "beta"}, {"LNG_2.lng", "Gamma"}, {"LNG_3.lng", "Alpha"}};
    for (const auto& f : files) {
        ASSERT_TRUE(test::writeFile(builtIn + u'/' + QLatin1String(f.file),
                                    "[Language]\nLngNameEng=" + QByteArray(f.nameEng) + "\n"));
    }
    ASSERT_TRUE(test::writeFile(builtIn + u"/README"_s, "not a language"));
    const Language language(dir(), u"Quillon"_s, builtIn);
    QStringList names;
    for (const LanguageMenuEntry& entry : language.menuEntries())
        names.append(entry.LngNameEng);
    EXPECT_EQ(names, (QStringList{u"Alpha"_s, u"beta"_s, u"Gamma"_s}));
}

} // namespace
