#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "app/common/checksums.h"
#include "inventory/identification_fixture.h"
#include "inventory/installed_version.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class Identification : public test::IdentificationFixture {
protected:
    const UpdateItem& only() {
        EXPECT_EQ(list.rowCount(), 1);
        return list.row(0);
    }
    QString crcOf(const QString& path) { return QString::number(FileCrc32OrZero(path)); }
};

TEST_F(Identification, VersionResourceNamesAndVersionsTheRow) {
    const QString path = install("us_english_1252_32.dll", u"plugins/sample/sample.wcx"_s);
    ASSERT_EQ(identify(path), 0);
    const UpdateItem& item = only();
    EXPECT_EQ(item.Name, u"Sample Packer"_s);
    EXPECT_EQ(item.InstalledVersion, u"1.2.3.4"_s);
    EXPECT_EQ(item.LatestVersion, u"-"_s);
    EXPECT_EQ(item.Status, u"Unknown."_s);
    EXPECT_EQ(item.FilePath, path);
    EXPECT_EQ(item.Group, ItemGroup::Wcx);
}

TEST_F(Identification, FileVersionStringThatSaysMoreWins) {
    ASSERT_EQ(identify(install("string_version_32.dll", u"plugins/foo/foo.wcx"_s)), 0);
    EXPECT_EQ(only().Name, u"Foo"_s); // "WCX_Foo Plug-in,"
    EXPECT_EQ(only().InstalledVersion, u"1.5b"_s);
}

TEST_F(Identification, ChecksumDatabaseByState) {
    const QString path = install("us_english_1252_32.dll", u"plugins/sample/sample.wcx"_s);
    const QString bare = install("no_version_64.dll", u"plugins/bare/bare.wcx"_s);
    checksumDb.setValue(u"SAMPLE.WCX"_s, crcOf(path), u"9.9"_s);
    checksumDb.setValue(u"bare.wcx"_s,
                        QString::number(FileCrc32OrZero(bare), 16).toUpper().rightJustified(8, u'0'),
                        u"3.3"_s);
    options.treatDateAsVer = false;
    options.autoHideInvalid = false;
    struct Case {
        int state;
        const char* sample;
        const char* bare;
    };
    for (const Case& c : {Case{2, "9.9", "3.3"}, Case{1, "1.2.3.4", "3.3"}, Case{0, "1.2.3.4", "-"}}) {
        list.resetForPass();
        options.checksumDbState = static_cast<ChecksumDbUse>(c.state);
        identify(path);
        identify(bare);
        ASSERT_EQ(list.rowCount(), 2);
        EXPECT_EQ(list.row(0).InstalledVersion, QString::fromLatin1(c.sample)) << "state " << c.state;
        EXPECT_EQ(list.row(1).InstalledVersion, QString::fromLatin1(c.bare)) << "state " << c.state;
    }
}

TEST_F(Identification, TextFileGivesTheVersionAndIsRemembered) {
    const QString path = install("no_version_64.dll", u"plugins/bar/bar.wdx"_s);
    const QString history = text(u"plugins/bar/doc/history.txt"_s, "2.5 (01.02.2020)\r\n");
    identify(path, 4);
    EXPECT_EQ(only().InstalledVersion, u"2.5"_s);
    EXPECT_EQ(userPluginInfo.value(u"bar.wdx"_s, u"VersionFile"_s),
              u"%COMMANDER_PATH%/plugins/bar/doc/history.txt"_s);
    EXPECT_TRUE(history.startsWith(tcDir));
}

TEST_F(Identification, TextFilesAreSkippedUnderSafeOrWithoutIntelliDetect) {
    const QString path = install("no_version_64.dll", u"plugins/bar/bar.wdx"_s);
    text(u"plugins/bar/history.txt"_s, "2.5\r\n");
    options.treatDateAsVer = false;
    options.autoHideInvalid = false;
    for (const auto& [safe, intelli] : {std::pair{true, true}, std::pair{false, false}}) {
        list.resetForPass();
        options.safe = safe;
        options.intelliDetect = intelli;
        identify(path, 4);
        EXPECT_EQ(only().InstalledVersion, u"-"_s);
    }
}

TEST_F(Identification, VersionFileOfTheDatabaseReplacesTheResourceVersion) {
    const QString path = install("us_english_1252_32.dll", u"plugins/sample/sample.wcx"_s);
    text(u"plugins/sample/whatsnew.doc"_s, "Version 1.3\r\n");
    userDb.setValue(u"sample"_s, u"VersionFile"_s, u"whatsnew.doc"_s);
    identify(path);
    EXPECT_EQ(only().InstalledVersion, u"1.3"_s);
}

TEST_F(Identification, DateFallback) {
    // The PE files are linked with the time stamp 2023-11-14 22:13:20 UTC.
    struct Case {
        QDateTime modified;
        const char* expected;
    };
    for (const Case& c : {Case{QDateTime(QDate(2024, 3, 1), QTime(12, 0)), "14.11.2023"},
                          Case{QDateTime(QDate(2023, 11, 15), QTime(9, 0)), "15.11.2023"}}) {
        list.resetForPass();
        identify(install("no_version_64.dll", u"plugins/bare/bare.wcx"_s, c.modified));
        EXPECT_EQ(only().InstalledVersion, QString::fromLatin1(c.expected));
    }
    list.resetForPass();
    options.treatDateAsVer = false;
    options.strictVer = true;
    identify(install("no_version_64.dll", u"plugins/bare/bare.wcx"_s));
    EXPECT_EQ(only().InstalledVersion, u"14.11.2023"_s);
}

TEST_F(Identification, RowsWithoutVersion) {
    const QString path = install("no_version_64.dll", u"plugins/bare/bare.wcx"_s);
    options.treatDateAsVer = false;
    int steps = 0;
    options.autoHideInvalid = true;
    identifier().setStepCallback([&](int row, bool) {
        ++steps;
        EXPECT_EQ(row, -1);
    });
    EXPECT_EQ(identifierPtr->GetPluginInformation(1, path), -1);
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.hiddenItems(), QStringList{path});
    EXPECT_EQ(steps, 1);

    list.resetForPass();
    options.autoHideInvalid = false;
    ASSERT_EQ(identify(path), 0);
    EXPECT_EQ(only().InstalledVersion, u"-"_s);
    EXPECT_EQ(only().Name, u"bare"_s);
    EXPECT_TRUE(list.hiddenItems().isEmpty());
}

TEST_F(Identification, NonExecutablesGetNoRow) {
    const QString notPe = text(u"plugins/fake/fake.wcx"_s, "MZ but nothing more");
    for (const QString& path : QStringList{notPe, tcDir + u"/plugins/missing.wcx"_s, QString()}) {
        EXPECT_EQ(identify(path), -1);
    }
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.hiddenItems().size(), 3);
}

TEST_F(Identification, ConfirmedVersionAppliesOnlyToTheSameFile) {
    const QString path = install("us_english_1252_32.dll", u"plugins/sample/sample.wcx"_s);
    const QString crc = crcOf(path);
    const QString hex = QString::number(crc.toUInt(), 16).toUpper().rightJustified(8, u'0');
    struct Case {
        const char* name;
        QString key;
        QString value;
        bool overrideUserVal;
        const char* expected;
    };
    const QList<Case> cases = {
        {"decimal", path, crc + u"|7.7"_s, false, "7.7"},
        {"hexadecimal", path, hex + u"|7.8"_s, false, "7.8"},
        {"stored with the variable", u"%COMMANDER_PATH%/plugins/sample/sample.wcx"_s, crc + u"|7.9"_s, false,
         "7.9"},
        {"other file's checksum", path, u"12345|7.7"_s, false, "1.2.3.4"},
        {"no separator", path, crc, false, "1.2.3.4"},
        {"database forbids it", path, crc + u"|7.7"_s, true, "1.2.3.4"},
    };
    for (const Case& c : cases) {
        list.resetForPass();
        settings.clear();
        checksumDb.clear();
        settings.setValue(u"OverridePlugVer"_s, c.key, c.value);
        if (c.overrideUserVal)
            checksumDb.setValue(u"sample.wcx"_s, crc + u"_OverrideUserVal"_s, u"True"_s);
        identify(path);
        EXPECT_EQ(only().InstalledVersion, QString::fromLatin1(c.expected)) << c.name;
        EXPECT_FALSE(only().Checked);
    }

    // Quillon's own executable never takes a confirmed version.
    list.resetForPass();
    settings.setValue(u"OverridePlugVer"_s, path, crc + u"|7.7"_s);
    ownExecutable = path;
    identify(path, 6);
    EXPECT_EQ(only().InstalledVersion, u"1.2.3.4"_s);

    // A replaced file no longer matches.
    list.resetForPass();
    ownExecutable.clear();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("x");
    f.close();
    identify(path);
    EXPECT_EQ(only().InstalledVersion, u"1.2.3.4"_s);
}

TEST_F(Identification, DatabaseRows) {
    pluginDb.setValue(u"DBInfo"_s, u"Update"_s, u"2015-03-29"_s);
    checksumDb.setValue(u"a.wcx"_s, u"1"_s, u"1.0"_s);
    checksumDb.setValue(u"b.wcx"_s, u"2"_s, u"2.0"_s);
    options.detectionMode = PluginDetection::PluginsDirectory;
    EXPECT_EQ(identify(u"tcplugindb"_s, 6), 0);
    EXPECT_EQ(identify(u"CHECKSUMDB"_s, 6), 1);
    EXPECT_EQ(list.row(0).Name, u"QN Plugin Database (IPD)"_s);
    EXPECT_EQ(list.row(0).InstalledVersion, u"29.03.2015"_s);
    EXPECT_EQ(list.row(1).Name, u"Checksum Database"_s);
    EXPECT_EQ(list.row(1).InstalledVersion, u"2"_s);

    list.resetForPass();
    pluginDb.clear();
    identify(u"tcplugindb"_s, 6);
    EXPECT_EQ(only().InstalledVersion, u"23.12.1988"_s);
}

TEST_F(Identification, MediaInfoIsVersionedThroughItsLibrary) {
    const QString plugin = install("no_version_64.dll", u"plugins/mi/mediainfo.wdx"_s);
    install("us_english_1252_32.dll", u"plugins/mi/mediainfo.DLL"_s);
    ASSERT_EQ(identify(plugin, 4), 0);
    EXPECT_EQ(only().InstalledVersion, u"1.2.3.4"_s);
    EXPECT_EQ(only().Name, u"Sample Packer"_s);
    EXPECT_EQ(only().FilePath, plugin);
}

TEST_F(Identification, ScriptVersionOfTcMatch) {
    ASSERT_EQ(identify(install("ahk_script_64.exe", u"tcmatch.exe"_s), 5), 0);
    EXPECT_EQ(only().InstalledVersion, u"2.1.0"_s);
}

TEST_F(Identification, TwoPluginsWithOneOnlineName) {
    list.addRow(u"Total Commander (x64)"_s, u"11.0"_s, tcDir + u"/TOTALCMD64.EXE"_s, ItemGroup::TC);
    const QString first = install("us_english_1252_32.dll", u"plugins/one/one.wcx"_s);
    const QString second = install("us_english_1252_32.dll", u"plugins/two/two.wcx"_s);
    const QString third = install("us_english_1252_32.dll", u"plugins/foo/Foo.wcx"_s);
    for (const char* name : {"one.wcx", "two.wcx", "Foo.wcx"})
        userPluginInfo.setValue(QString::fromLatin1(name), u"OnlineName"_s, u"Foo"_s);
    identify(first);
    identify(second);
    identify(third);
    ASSERT_EQ(list.rowCount(), 4);
    EXPECT_EQ(list.row(1).Name, u"Foo"_s);
    EXPECT_EQ(list.row(2).Name, u"Foo (two)"_s);
    EXPECT_EQ(list.row(3).Name, u"Foo"_s);
}

// Wine's own libraries are real PE files from outside the project: read as plugins they must
// show the file version that MinGW's resource compiler reads from them.
TEST_F(Identification, WineLibrariesShowWhatWindresReads) {
    const QString wineDir = u"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"_s;
    if (!QFileInfo(wineDir).isDir())
        GTEST_SKIP() << "Wine's libraries are not installed";
    const QString windres = QStandardPaths::findExecutable(u"x86_64-w64-mingw32-windres"_s);
    if (windres.isEmpty())
        GTEST_SKIP() << "windres is not installed";
    static const QRegularExpression fileVersion(u"FILEVERSION\\s+(\\d+),\\s*(\\d+),\\s*(\\d+),\\s*(\\d+)"_s);
    static const QRegularExpression fileVersionString(u"VALUE \"FileVersion\", L?\"([^\"]*)\""_s);
    options.treatDateAsVer = false;
    int checked = 0;
    for (const QString& stem :
         QStringList{u"version"_s, u"comctl32"_s, u"shell32"_s, u"msvcrt"_s, u"zlib1"_s, u"kernel32"_s}) {
        const QString dll = wineDir + u'/' + stem + u".dll"_s;
        if (!QFileInfo(dll).isFile())
            continue;
        QProcess proc;
        proc.start(windres, {u"-i"_s, dll, u"-O"_s, u"rc"_s});
        ASSERT_TRUE(proc.waitForFinished(60000));
        const QString rc = QString::fromLatin1(proc.readAllStandardOutput());
        const QRegularExpressionMatch fixed = fileVersion.match(rc);
        if (!fixed.hasMatch())
            continue;
        const QString expected =
            QStringList{fixed.captured(1), fixed.captured(2), fixed.captured(3), fixed.captured(4)}.join(
                u'.');
        // A string that is the fixed version or its beginning never outranks it.
        const QString string = fileVersionString.match(rc).captured(1);
        if (!expected.startsWith(string))
            continue;
        const QString plugin = tcDir + u"/plugins/"_s + stem + u'/' + stem + u".wcx"_s;
        QDir().mkpath(QFileInfo(plugin).absolutePath());
        ASSERT_TRUE(QFile::copy(dll, plugin));
        const int row = identify(plugin);
        ASSERT_GE(row, 0) << stem.toStdString();
        EXPECT_EQ(list.row(row).InstalledVersion, expected) << stem.toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 3);
}

} // namespace
} // namespace quillon
