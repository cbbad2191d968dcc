#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include "app/tc_description.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

constexpr quint32 kInterfaceLcids[] = {1029, 1030, 1031, 1033, 1036, 1038, 1040, 1043, 1045,
                                       1049, 1051, 1053, 1058, 1060, 1063, 2052, 3082};

QByteArray resourceBytes(quint32 lcid) {
    QFile file(u":/tc_descriptions/TC_LNG_"_s + QString::number(lcid) + u".txt"_s);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(TcDescription, EveryInterfaceLanguageHasItsOwnText) {
    const QString english = TotalCommanderDescription(1033);
    for (const quint32 lcid : kInterfaceLcids) {
        SCOPED_TRACE(lcid);
        const QByteArray bytes = resourceBytes(lcid);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes);
        EXPECT_FALSE(decoder.hasError());
        EXPECT_FALSE(text.contains(u'\r'));
        // Several paragraphs, and the names stay untranslated.
        EXPECT_GE(text.trimmed().count(u"\n\n"_s), 2);
        EXPECT_TRUE(text.contains(u"Total Commander"_s));
        EXPECT_TRUE(text.contains(u"Ghisler"_s));
        for (const char* extension : {".wcx", ".wfx", ".wlx", ".wdx"})
            EXPECT_TRUE(text.contains(QLatin1String(extension))) << extension;

        const QString description = TotalCommanderDescription(lcid);
        EXPECT_EQ(description, text.trimmed());
        // A copy of the English text would pass every other check.
        if (lcid != 1033) {
            EXPECT_NE(description, english);
        }
    }
}

TEST(TcDescription, EveryBuiltInLanguageHasADescription) {
    const QStringList files = QDir(u":/languages"_s).entryList({u"LNG_*.lng"_s}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (QString name : files) {
        name.remove(u"LNG_"_s).remove(u".lng"_s);
        EXPECT_FALSE(resourceBytes(name.toUInt()).isEmpty()) << name.toStdString();
    }
}

TEST(TcDescription, PicksTheLanguageOrFallsBackToEnglish) {
    const struct {
        quint32 lcid;
        const char* phrase; // UTF-8
    } cases[] = {
        {1033, "file manager for Windows"}, {1031, "Dateimanager für Windows"},
        {1049, "файловый менеджер"},        {2052, "文件管理器"},
        {1063, "failų tvarkyklė"},          {3082, "gestor de archivos"},
        {2057, "file manager for Windows"}, // English of the UK has no text of its own
        {9999, "file manager for Windows"}, {0, "file manager for Windows"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(TotalCommanderDescription(c.lcid).contains(QString::fromUtf8(c.phrase))) << c.lcid;
    }
}

TEST(TcDescription, UnusableTextsFallBackToEnglish) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.path();
    EXPECT_EQ(TotalCommanderDescription(1031, path), QString());

    const struct {
        const char* file;
        QByteArray content;
    } files[] = {
        {"TC_LNG_1033.txt", "\xEF\xBB\xBFOne.\r\n\r\nTwo.\r\n"},
        {"TC_LNG_1031.txt", "Eins \xFC ohne UTF-8."},
        {"TC_LNG_1049.txt", " \n\n "},
        {"TC_LNG_1040.txt", "Uno.\n\nDue.\n"},
    };
    for (const auto& f : files)
        ASSERT_TRUE(test::writeFile(path + u'/' + QLatin1String(f.file), f.content));

    const struct {
        quint32 lcid;
        QString expected;
    } cases[] = {
        {1033, u"One.\n\nTwo."_s},                            // byte-order mark and CR dropped
        {1031, u"One.\n\nTwo."_s},                            // not UTF-8
        {1049, u"One.\n\nTwo."_s},                            // blank
        {1040, u"Uno.\n\nDue."_s}, {1036, u"One.\n\nTwo."_s}, // missing
    };
    for (const auto& c : cases)
        EXPECT_EQ(TotalCommanderDescription(c.lcid, path), c.expected) << c.lcid;
}

} // namespace
