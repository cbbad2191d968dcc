#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstring>

#include "app/common/pe_image.h"
#include "app/common/pe_info.h"
#include "app/common/version_info.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

QString peFile(const QString& name) {
    return QStringLiteral(QUILLON_GENERATED_DATA_DIR "/pe/") + name;
}

struct VersionCase {
    QString file;
    bool is64Image;
    QString numberVersion;  // GetFileVersionNumber
    QString englishVersion; // ReadFileVersionStrings().FileVersion (block 040904E4 only)
    QString englishDescription;
    QString firstFileVersion; // TCEVersionInfo, first translation
    QString firstDescription;
    QStringList parts; // FMajorVersion, FMinorVersion, FRelease, FBuild
    bool is64ByRule;   // Is64BitExecutable without a manifest
};

const VersionCase versionCases[] = {
    {u"us_english_1252_64.dll"_s,
     true,
     u"1.2.3.4"_s,
     u"1.2.3.4"_s,
     u"Sample packer plugin"_s,
     u"1.2.3.4"_s,
     u"Sample packer plugin"_s,
     {u"1"_s, u"2"_s, u"3"_s, u"4"_s},
     true},
    {u"us_english_1252_32.dll"_s,
     false,
     u"1.2.3.4"_s,
     u"1.2.3.4"_s,
     u"Sample packer plugin"_s,
     u"1.2.3.4"_s,
     u"Sample packer plugin"_s,
     {u"1"_s, u"2"_s, u"3"_s, u"4"_s},
     true},
    {u"us_english_unicode_32.dll"_s,
     false,
     u"2.5.0.17"_s,
     u""_s,
     u""_s,
     u"2.5.0.17"_s,
     u"Sample lister plugin (32 bit)"_s,
     {u"2"_s, u"5"_s, u"0"_s, u"17"_s},
     true},
    {u"german_unicode_64.dll"_s,
     true,
     u"3.1.4.1"_s,
     u""_s,
     u""_s,
     u"3, 1, 4, 1"_s,
     u"Beispiel-Erweiterung"_s,
     {u"3"_s, u"1"_s, u"4"_s, u"1"_s},
     true},
    {u"two_translations_32.dll"_s,
     false,
     u"4.0.0.9"_s,
     u"4.0.0.9"_s,
     u"Sample add-on for x86"_s,
     u"4.0 de"_s,
     u"Beispiel"_s,
     {u"4"_s, u"0 de"_s, u""_s, u""_s},
     false},
    {u"fixed_only_32.dll"_s,
     false,
     u"7.8.9.10"_s,
     u"7.8 (strings)"_s,
     u""_s,
     u"7.8.9.10"_s,
     u""_s,
     {u"7"_s, u"8"_s, u"9"_s, u"10"_s},
     true},
    {u"ahk_script_64.exe"_s, true, u""_s, u""_s, u""_s, u""_s, u""_s, {u""_s, u""_s, u""_s, u""_s}, true},
    {u"no_version_64.dll"_s, true, u""_s, u""_s, u""_s, u""_s, u""_s, {u""_s, u""_s, u""_s, u""_s}, true},
};

TEST(PeInfo, ReadsMinGwBuiltFiles) {
    if (!test::requireMingw())
        GTEST_SKIP() << "MinGW-w64 not available";
    const QDateTime linked = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    for (const VersionCase& c : versionCases) {
        SCOPED_TRACE(c.file.toStdString());
        const QString path = peFile(c.file);
        ASSERT_TRUE(IsPEFile(path));
        const auto image = pe::PeImage::fromFile(path);
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->is64Bit(), c.is64Image);
        EXPECT_EQ(PEFileTimeStamp(path), linked);
        EXPECT_EQ(GetFileVersionNumber(path), c.numberVersion);

        const FileVersionStrings english = ReadFileVersionStrings(path);
        EXPECT_EQ(english.FileVersion, c.englishVersion);
        EXPECT_EQ(english.FileDescription, c.englishDescription);

        TCEVersionInfo info;
        EXPECT_EQ(info.GetInfo(path), !c.numberVersion.isEmpty());
        EXPECT_EQ(info.FFileVersion, c.firstFileVersion);
        EXPECT_EQ(info.FFileDescription, c.firstDescription);
        EXPECT_EQ((QStringList{info.FMajorVersion, info.FMinorVersion, info.FRelease, info.FBuild}), c.parts);
        EXPECT_EQ(Is64BitExecutable(path), c.is64ByRule);
    }
}

TEST(PeInfo, ReadsEveryStringOfTheEnglishBlockAndTextOutsideAscii) {
    if (!test::requireMingw())
        GTEST_SKIP() << "MinGW-w64 not available";
    const FileVersionStrings s = ReadFileVersionStrings(peFile(u"us_english_1252_64.dll"_s));
    const QStringList all{s.CompanyName,    s.FileDescription, s.FileVersion,      s.InternalName,
                          s.LegalCopyRight, s.LegalTradeMark,  s.OriginalFileName, s.ProductName,
                          s.ProductVersion, s.Comments};
    EXPECT_EQ(all,
              (QStringList{u"Example Software"_s, u"Sample packer plugin"_s, u"1.2.3.4"_s, u"samplewcx"_s,
                           u"(c) 2023 Example Software"_s, u"Sample(tm)"_s, u"sample.wcx64"_s,
                           u"Sample Packer"_s, u"1.2 beta"_s, u"Built for the tests"_s}));

    TCEVersionInfo info;
    ASSERT_TRUE(info.GetInfo(peFile(u"german_unicode_64.dll"_s)));
    EXPECT_EQ(info.FCompanyName, u"M\u00fcller & S\u00f6hne"_s);
    EXPECT_EQ(info.FProductVersion, u"3.1"_s);
    info.NullValues();
    EXPECT_TRUE(info.FCompanyName.isEmpty());
    EXPECT_FALSE(info.GetInfo(peFile(u"no_version_64.dll"_s)));
    EXPECT_TRUE(info.FProductVersion.isEmpty());
}

TEST(PeInfo, ManifestDecidesTheArchitectureWhenPresent) {
    if (!test::requireMingw())
        GTEST_SKIP() << "MinGW-w64 not available";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString dll = dir.filePath(u"TOTALCMD64.EXE"_s);
    ASSERT_TRUE(QFile::copy(peFile(u"two_translations_32.dll"_s), dll));
    EXPECT_FALSE(Is64BitExecutable(dll)); // description mentions x86
    const std::pair<QByteArray, bool> manifests[] = {
        {R"(<assemblyIdentity processorArchitecture="AMD64" name="x"/>)", true},
        {R"(<assemblyIdentity processorArchitecture="x86" name="x"/>)", false},
        {"", false},
    };
    for (const auto& [text, expected] : manifests) {
        ASSERT_TRUE(test::writeFile(dir.filePath(u"totalcmd64.exe.manifest"_s), text));
        EXPECT_EQ(Is64BitExecutable(dll), expected) << text.toStdString();
    }
    EXPECT_FALSE(Is64BitExecutable(dir.filePath(u"missing.exe"_s)));
    EXPECT_FALSE(Is64BitExecutable(QString()));
}

TEST(PeInfo, FindsTheScriptAndTheIconOfACompiledScript) {
    if (!test::requireMingw())
        GTEST_SKIP() << "MinGW-w64 not available";
    EXPECT_EQ(ReadAhkScriptResource(peFile(u"ahk_script_64.exe"_s)),
              u"; compiled script\r\nversion=2.1.0\r\nMsgBox, Gr\u00fc\u00dfe\r\n"_s);
    EXPECT_EQ(ReadAhkScriptResource(peFile(u"no_version_64.dll"_s)), QString());
    EXPECT_EQ(FirstIconGroup(peFile(u"ahk_script_64.exe"_s)),
              test::readFile(QStringLiteral(QUILLON_TEST_DATA_DIR "/pe/sample.ico")));
    EXPECT_TRUE(FirstIconGroup(peFile(u"us_english_1252_64.dll"_s)).isEmpty());
}

// A PE32 image whose only resources are icon 1 (iconSize bytes) and an icon group naming it
// count times.
QByteArray imageWithIconGroup(quint16 count, qsizetype iconSize) {
    const qsizetype iconAt = 176;
    const qsizetype groupAt = iconAt + iconSize;
    QByteArray rsrc(groupAt + 6 + qsizetype(count) * 14, '\0');
    char* r = rsrc.data();
    const auto directory = [r](qsizetype at, std::initializer_list<std::pair<quint32, quint32>> entries) {
        qToLittleEndian<quint16>(quint16(entries.size()), r + at + 14);
        for (const auto& [id, target] : entries) {
            at += 8;
            qToLittleEndian<quint32>(id, r + at + 8);
            qToLittleEndian<quint32>(target, r + at + 12);
        }
    };
    const quint32 subdirectory = 0x80000000u;
    directory(0, {{3, subdirectory | 48}, {14, subdirectory | 72}});
    directory(48, {{1, subdirectory | 96}});
    directory(72, {{1, subdirectory | 120}});
    directory(96, {{0, 144}});
    directory(120, {{0, 160}});
    const quint32 rva = 0x1000;
    qToLittleEndian<quint32>(rva + quint32(iconAt), r + 144);
    qToLittleEndian<quint32>(quint32(iconSize), r + 148);
    qToLittleEndian<quint32>(rva + quint32(groupAt), r + 160);
    qToLittleEndian<quint32>(quint32(6 + count * 14), r + 164);
    qToLittleEndian<quint16>(1, r + groupAt + 2);
    qToLittleEndian<quint16>(count, r + groupAt + 4);
    for (quint16 i = 0; i < count; ++i)
        qToLittleEndian<quint16>(1, r + groupAt + 6 + i * 14 + 12);

    QByteArray file(0x200, '\0');
    char* h = file.data();
    h[0] = 'M';
    h[1] = 'Z';
    qToLittleEndian<quint32>(64, h + 60);
    std::memcpy(h + 64, "PE\0\0", 4);
    qToLittleEndian<quint16>(0x14c, h + 68);
    qToLittleEndian<quint16>(1, h + 70);   // sections
    qToLittleEndian<quint16>(224, h + 84); // optional header size
    qToLittleEndian<quint16>(0x10b, h + 88);
    qToLittleEndian<quint32>(16, h + 88 + 92); // data directories
    qToLittleEndian<quint32>(rva, h + 88 + 96 + 16);
    qToLittleEndian<quint32>(quint32(rsrc.size()), h + 88 + 96 + 20);
    const qsizetype section = 88 + 224;
    qToLittleEndian<quint32>(quint32(rsrc.size()), h + section + 8);
    qToLittleEndian<quint32>(rva, h + section + 12);
    qToLittleEndian<quint32>(quint32(rsrc.size()), h + section + 16);
    qToLittleEndian<quint32>(0x200, h + section + 20);
    return file + rsrc;
}

TEST(PeInfo, IconGroupRepeatingOneImageIsRefused) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"icons.exe"_s);
    ASSERT_TRUE(test::writeFile(path, imageWithIconGroup(2, 40)));
    EXPECT_EQ(FirstIconGroup(path).size(), 6 + 2 * 16 + 2 * 40);
    // 65535 times 64 KiB: 4 GiB from a file of one megabyte.
    ASSERT_TRUE(test::writeFile(path, imageWithIconGroup(65535, 64 * 1024)));
    EXPECT_TRUE(FirstIconGroup(path).isEmpty());
}

TEST(PeInfo, NonPeFilesGiveNoInformation) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray farHeader(64, '\0');
    farHeader[0] = 'M';
    farHeader[1] = 'Z';
    farHeader[60] = char(0xF0); // header offset past the end of the file
    QByteArray shortHeader = farHeader;
    shortHeader[60] = 64;
    shortHeader += "PE\0\0";
    const std::pair<QString, QByteArray> files[] = {
        {u"text.dll"_s, "just some text, long enough to have sixty-four bytes in it........"},
        {u"empty.dll"_s, ""},
        {u"far.dll"_s, farHeader},
        {u"short.dll"_s, shortHeader}, // signature without the headers after it
    };
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name);
        ASSERT_TRUE(test::writeFile(path, content));
        EXPECT_FALSE(IsPEFile(path));
        EXPECT_EQ(GetFileVersionNumber(path), QString());
        EXPECT_EQ(ReadFileVersionStrings(path).FileVersion, QString());
        EXPECT_FALSE(TCEVersionInfo().GetInfo(path));
        EXPECT_FALSE(ReadAhkScriptResource(path).has_value());
        EXPECT_TRUE(FirstIconGroup(path).isEmpty());
    }
    EXPECT_FALSE(PEFileTimeStamp(dir.filePath(u"missing.dll"_s)).has_value());
    EXPECT_FALSE(IsPEFile(dir.filePath(u"missing.dll"_s)));
}

// The single reading the inventory pass uses must answer exactly as the two separate readers.
TEST(PeInfo, OneReadingAgreesWithTheSeparateReaders) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray farHeader(64, '\0');
    farHeader[0] = 'M';
    farHeader[1] = 'Z';
    farHeader[60] = char(0xF0);
    QByteArray signatureOnly = farHeader;
    signatureOnly[60] = 64;
    signatureOnly += "PE\0\0";
    QByteArray bareHeaders = signatureOnly; // the signature and room for the headers, nothing valid
    bareHeaders.append(QByteArray(244, '\0'));
    QList<std::pair<QString, QByteArray>> files = {
        {u"text.dll"_s, "just some text, long enough to have sixty-four bytes in it........"},
        {u"empty.dll"_s, ""},
        {u"far.dll"_s, farHeader},
        {u"signature_only.dll"_s, signatureOnly},
        {u"bare_headers.dll"_s, bareHeaders},
    };
    if (QFile::exists(peFile(u"us_english_1252_64.dll"_s))) {
        for (const QString& name : {u"us_english_1252_64.dll"_s, u"two_translations_32.dll"_s,
                                    u"fixed_only_32.dll"_s, u"no_version_64.dll"_s}) {
            const QByteArray image = test::readFile(peFile(name));
            files.append({name, image});
            files.append({u"cut_"_s + name, image.left(image.size() / 2)});
            // Large enough to be mapped rather than read.
            files.append({u"padded_"_s + name, image + QByteArray(512 * 1024, '\0')});
        }
    }
    files.append({u"missing.dll"_s, QByteArray()});
    for (const auto& [name, content] : std::as_const(files)) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name);
        if (name != u"missing.dll"_s) {
            ASSERT_TRUE(test::writeFile(path, content));
        }
        const ExecutableReading reading = ReadExecutable(path);
        const ExecutableFacts facts = ReadExecutableFacts(path);
        EXPECT_EQ(reading.isPeFile, IsPEFile(path));
        EXPECT_EQ(reading.facts.fileVersionNumber, facts.fileVersionNumber);
        EXPECT_EQ(reading.facts.timeStamp, facts.timeStamp);
        EXPECT_EQ(reading.facts.info.FFileVersion, facts.info.FFileVersion);
        EXPECT_EQ(reading.facts.info.FProductName, facts.info.FProductName);
        EXPECT_EQ(reading.facts.info.FBuild, facts.info.FBuild);
    }
}

// Keys are matched without regard to case; each field takes the value stringValue gives.
TEST(PeInfo, VersionStringsMatchKeysIgnoringCase) {
    pe::VersionInfo info;
    info.translations.append({0x0409, 0x04E4});
    QHash<QString, QString> table;
    table.insert(u"companyname"_s, u"Example"_s);
    table.insert(u"FILEVERSION"_s, u"1,5"_s);
    table.insert(u"ProductName"_s, u"Sample"_s);
    table.insert(u"Comment"_s, u"not the comments"_s);
    table.insert(u"ProductNam"_s, u"too short"_s);
    table.insert(u"FileDe\u017Fcription"_s, u"long s"_s); // folds to "s" without regard to case
    info.stringTables.insert(u"040904E4"_s, table);
    TCEVersionInfo fields;
    ASSERT_TRUE(fields.GetInfo(std::optional<pe::VersionInfo>(info)));
    const std::pair<QString, const QString*> expected[] = {
        {u"CompanyName"_s, &fields.FCompanyName},   {u"FileVersion"_s, &fields.FFileVersion},
        {u"ProductName"_s, &fields.FProductName},   {u"Comments"_s, &fields.FComments},
        {u"InternalName"_s, &fields.FInternalname}, {u"FileDescription"_s, &fields.FFileDescription},
    };
    for (const auto& [key, field] : expected) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_EQ(*field, info.stringValue(u"040904e4"_s, key));
    }
    EXPECT_EQ(fields.FCompanyName, u"Example"_s);
    EXPECT_EQ(fields.FComments, QString());
    EXPECT_EQ(fields.FFileDescription, u"long s"_s);
    EXPECT_EQ(fields.FMajorVersion, u"1"_s);
    EXPECT_EQ(fields.FMinorVersion, u"5"_s);
}

// Hand-made VS_VERSIONINFO trees with broken lengths.
QByteArray node(quint16 length, quint16 valueLength, quint16 type, const QString& key) {
    QByteArray bytes;
    auto put16 = [&](quint16 v) { bytes.append(char(v & 0xFF)).append(char(v >> 8)); };
    put16(length);
    put16(valueLength);
    put16(type);
    for (const QChar c : key)
        put16(c.unicode());
    put16(0);
    while (bytes.size() % 4)
        bytes.append('\0');
    return bytes;
}

TEST(VersionInfoParser, SurvivesBrokenLengths) {
    const QByteArray rootKey = node(0, 0, 0, u"VS_VERSION_INFO"_s);
    const std::pair<const char*, QByteArray> blobs[] = {
        {"empty", {}},
        {"too short", QByteArray("\x06\x00", 2)},
        {"length zero", rootKey},
        {"child of length zero", node(200, 0, 0, u"VS_VERSION_INFO"_s) + QByteArray(8, '\0')},
        {"value past the end", node(60, 52, 0, u"VS_VERSION_INFO"_s) + QByteArray("\xbd\x04\xef\xfe", 4)},
        {"child longer than parent",
         node(44, 0, 0, u"VS_VERSION_INFO"_s) + node(0xFFFF, 0, 1, u"StringFileInfo"_s)},
        {"unterminated key", QByteArray("\xff\x00\x00\x00\x01\x00", 6) + QByteArray(64, 'A')},
    };
    for (const auto& [name, blob] : blobs) {
        const auto info = pe::ParseVersionInfo(blob);
        if (info) {
            EXPECT_TRUE(info->translations.isEmpty()) << name;
            EXPECT_FALSE(info->hasFixedInfo) << name;
        }
    }
}

// Reads everything the program reads from an image held in memory.
void readEverything(const QByteArray& bytes) {
    const auto image = pe::PeImage::fromBytes(bytes);
    if (!image)
        return;
    if (const auto version = image->resource(pe::ResourceTypeVersion, quint16(1)))
        (void)pe::ParseVersionInfo(*version);
    (void)image->resource(pe::ResourceTypeRcData, u">AHK WITH ICON<"_s);
    (void)image->firstResource(pe::ResourceTypeGroupIcon);
    (void)image->resource(pe::ResourceTypeIcon, quint16(1));
}

// File range of the ".rsrc" section, found through the section table.
std::pair<qsizetype, qsizetype> resourceSection(const QByteArray& file) {
    const qsizetype at = file.indexOf(QByteArrayView(".rsrc\0\0\0", 8));
    if (at < 0 || at + 24 > file.size())
        return {0, 0};
    const auto rawSize = qFromLittleEndian<quint32>(file.constData() + at + 16);
    const auto rawOffset = qFromLittleEndian<quint32>(file.constData() + at + 20);
    return {qsizetype(rawOffset), std::min(file.size(), qsizetype(rawOffset) + qsizetype(rawSize))};
}

TEST(PeImage, TruncatedAndCorruptedFilesNeverCrash) {
    if (!test::requireMingw())
        GTEST_SKIP() << "MinGW-w64 not available";
    for (const QString& name :
         {u"us_english_1252_64.dll"_s, u"two_translations_32.dll"_s, u"ahk_script_64.exe"_s}) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray original = test::readFile(peFile(name));
        ASSERT_GT(original.size(), 4096);
        // Every byte of the headers and of the resource section, where the parsing happens.
        const auto [rsrcStart, rsrcEnd] = resourceSection(original);
        ASSERT_GT(rsrcEnd, rsrcStart);
        auto interesting = [&](qsizetype at) { return at < 1024 || (at >= rsrcStart && at < rsrcEnd); };
        for (qsizetype length = 0; length <= original.size(); ++length) {
            if (interesting(length) || length % 61 == 0)
                readEverything(QByteArray::fromRawData(original.constData(), length));
        }
        QByteArray flipped = original;
        for (qsizetype at = 0; at < flipped.size(); ++at) {
            if (!interesting(at))
                continue;
            for (const char mask : {char(0xFF), char(0x80), char(0x01)}) {
                flipped[at] = char(flipped[at] ^ mask);
                readEverything(flipped);
                flipped[at] = original[at];
            }
        }
        QRandomGenerator random(20231114);
        for (int round = 0; round < 1000; ++round) {
            QByteArray damaged = original;
            for (int i = 0; i < 8; ++i)
                damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            readEverything(damaged);
        }
    }
    // The file routines on truncated copies, through the file system.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray original = test::readFile(peFile(u"us_english_1252_64.dll"_s));
    const QString path = dir.filePath(u"cut.dll"_s);
    for (qsizetype length = 0; length < original.size(); length += 97) {
        ASSERT_TRUE(test::writeFile(path, original.left(length)));
        (void)IsPEFile(path);
        (void)GetFileVersionNumber(path);
        (void)TCEVersionInfo().GetInfo(path);
        (void)ReadAhkScriptResource(path);
        (void)FirstIconGroup(path);
    }
}

// Wine's own DLLs, compared with what binutils' resource decompiler reads from them.
TEST(PeInfo, AgreesWithWindresOnWineDlls) {
    const QDir wine(u"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"_s);
    if (!wine.exists())
        GTEST_SKIP() << "Wine is not installed";
    const QString windres = QStandardPaths::findExecutable(u"x86_64-w64-mingw32-windres"_s);
    if (windres.isEmpty())
        GTEST_SKIP() << "windres is not installed";
    const QRegularExpression value(uR"re(VALUE "(FileVersion|ProductVersion)", "([^"]*)")re"_s);
    int compared = 0;
    for (const QString& name : {u"kernel32.dll"_s, u"comctl32.dll"_s, u"zlib1.dll"_s, u"shell32.dll"_s,
                                u"msvcrt.dll"_s, u"ntdll.dll"_s}) {
        const QString path = wine.filePath(name);
        if (!QFile::exists(path))
            continue;
        QProcess process;
        process.start(windres, {u"-i"_s, path, u"-O"_s, u"rc"_s});
        ASSERT_TRUE(process.waitForFinished(60000));
        const QString rc = QString::fromUtf8(process.readAllStandardOutput());
        QString fileVersion;
        QString productVersion;
        for (auto it = value.globalMatch(rc); it.hasNext();) {
            const auto match = it.next();
            QString& target = match.captured(1) == u"FileVersion"_s ? fileVersion : productVersion;
            if (target.isEmpty())
                target = match.captured(2);
        }
        if (fileVersion.isEmpty())
            continue;
        TCEVersionInfo info;
        ASSERT_TRUE(info.GetInfo(path)) << name.toStdString();
        EXPECT_EQ(info.FFileVersion, fileVersion) << name.toStdString();
        EXPECT_EQ(info.FProductVersion, productVersion) << name.toStdString();
        EXPECT_TRUE(IsPEFile(path));
        EXPECT_FALSE(GetFileVersionNumber(path).isEmpty());
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

} // namespace
