#include <gtest/gtest.h>

#include "support/zip_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/common/checksums.h"
#include "app/ini_document.h"
#include "inventory/database_loader.h"
#include "inventory/plugin_database.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

using Members = test::ZipMembers;

bool writeZip(const QString& path, const Members& members) {
    return test::writeZip(path, members, "store");
}

// A plugin database whose single entry names where it came from.
QByteArray pluginDb(const QString& origin, const QString& date,
                    const QString& internalName = u"tcplugindb"_s) {
    QString text = u"[DBInfo]\r\nInternalName=%1\r\n"_s.arg(internalName);
    if (!date.isEmpty())
        text += u"Update=%1\r\n"_s.arg(date);
    text += u"[Configuration]\r\nLatestTCcl_beta=%1_beta.txt\r\n[%1]\r\nWebsiteID=%1\r\n"_s.arg(origin);
    return text.toLatin1().toBase64();
}

QByteArray checksumDb(const QString& origin) {
    return u"[%1.exe]\r\n1=1.0\r\n[second.exe]\r\n"_s.arg(origin).toLatin1();
}

class DatabaseLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        options.settingsDir = dir.filePath(u"settings"_s);
        options.builtInPluginDb = dir.filePath(u"DB_PLUGINS"_s);
        options.builtInChecksumDb = dir.filePath(u"DB_CRC32"_s);
        ASSERT_TRUE(QDir().mkpath(options.settingsDir));
        ASSERT_TRUE(test::writeFile(options.builtInChecksumDb, checksumDb(u"builtin"_s)));
    }
    void setBuiltIn(const QString& date) {
        ASSERT_TRUE(test::writeFile(options.builtInPluginDb, pluginDb(u"builtin"_s, date)));
    }
    QString archive() const { return databaseArchivePath(options.settingsDir); }
    DatabaseLoadResult load() { return LoadPluginDatabases(plugins, checksums, options); }
    // Which copy each store holds.
    QString pluginOrigin() const {
        return plugins.hasSection(u"external"_s)  ? u"external"_s
               : plugins.hasSection(u"builtin"_s) ? u"builtin"_s
                                                  : u"none"_s;
    }
    QString checksumOrigin() const {
        return checksums.hasSection(u"external.exe"_s)  ? u"external"_s
               : checksums.hasSection(u"builtin.exe"_s) ? u"builtin"_s
                                                        : u"none"_s;
    }

    QTemporaryDir dir;
    DatabaseLoadOptions options;
    IniDocument plugins;
    IniDocument checksums;
};

struct ChoiceCase {
    const char* name;
    QString builtInDate;
    std::optional<Members> archive; // database.dat, when there is one
    bool force;
    QString plugins;   // "builtin" or "external"
    QString checksums; // "builtin" or "external"
    bool externalLoaded;
    bool forceAfter;
    bool problems;
};

Members external(const QString& date, const QString& internalName = u"tcplugindb"_s) {
    return {{u"db_plugins.db"_s, pluginDb(u"external"_s, date, internalName)},
            {u"db_crc32.db"_s, checksumDb(u"external"_s)}};
}

class DatabaseChoiceTest : public DatabaseLoaderTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(DatabaseChoiceTest, LoadsTheRightCopies) {
    const ChoiceCase& c = GetParam();
    setBuiltIn(c.builtInDate);
    if (c.archive) {
        if (c.archive->isEmpty())
            ASSERT_TRUE(test::writeFile(archive(), {}));
        else if (c.archive->first().first == u"raw"_s)
            ASSERT_TRUE(test::writeFile(archive(), c.archive->first().second));
        else
            ASSERT_TRUE(writeZip(archive(), *c.archive));
    }
    options.forceUseExtDb = c.force;
    const DatabaseLoadResult r = load();
    EXPECT_EQ(pluginOrigin(), c.plugins);
    EXPECT_EQ(checksumOrigin(), c.checksums);
    EXPECT_EQ(r.externalLoaded, c.externalLoaded);
    EXPECT_EQ(r.forceUseExtDb, c.forceAfter);
    EXPECT_EQ(!r.problems.isEmpty(), c.problems) << r.problems.join(u'\n').toStdString();
    EXPECT_EQ(r.entryCount, 1);
    EXPECT_EQ(r.checksumEntryCount, 2);
    // a copy that does not count as loaded gives no change-log names
    const bool namesRead = c.plugins == u"builtin"_s || c.externalLoaded;
    EXPECT_EQ(r.changeLogBeta, namesRead ? c.plugins + u"_beta.txt"_s : u"history.txt"_s);
    EXPECT_EQ(r.changeLogStable, u"history.txt"_s);
    EXPECT_EQ(plugins.value(u"tcplugindb"_s, u"WebsiteID"_s), u"tcplugindb"_s);
    EXPECT_EQ(plugins.value(u"checksumdb"_s, u"WebsiteID"_s), u"tcplugindb"_s);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DatabaseChoiceTest,
    ::testing::Values(
        ChoiceCase{"no_archive", u"2015-03-29"_s, std::nullopt, false, u"builtin"_s, u"builtin"_s, false,
                   false, false},
        ChoiceCase{"same_day_keeps_built_in", u"2015-03-29"_s, external(u"2015-03-29"_s), false, u"builtin"_s,
                   u"builtin"_s, false, false, false},
        ChoiceCase{"newer_archive", u"2015-03-29"_s, external(u"2015-04-01"_s), false, u"external"_s,
                   u"external"_s, true, false, false},
        ChoiceCase{"day_first_date_compared_as_date", u"2015-03-29"_s, external(u"01/04/2015"_s), false,
                   u"external"_s, u"external"_s, true, false, false},
        ChoiceCase{"older_archive", u"2015-03-29"_s, external(u"2014-12-31"_s), false, u"builtin"_s,
                   u"builtin"_s, false, false, false},
        ChoiceCase{"built_in_without_date_is_oldest",
                   {},
                   external(u"1990-01-01"_s),
                   false,
                   u"external"_s,
                   u"external"_s,
                   true,
                   false,
                   false},
        ChoiceCase{"newer_but_not_a_plugin_database", u"2015-03-29"_s, external(u"2030-01-01"_s, u"x"_s),
                   false, u"builtin"_s, u"builtin"_s, false, false, false},
        ChoiceCase{"forced_without_archive", u"2015-03-29"_s, std::nullopt, true, u"builtin"_s, u"builtin"_s,
                   false, false, false},
        ChoiceCase{"forced_older_archive", u"2015-03-29"_s, external(u"2001-01-01"_s), true, u"external"_s,
                   u"external"_s, true, true, false},
        ChoiceCase{"forced_foreign_database_stays_but_does_not_count", u"2015-03-29"_s,
                   external(u"2001-01-01"_s, u"x"_s), true, u"external"_s, u"builtin"_s, false, true, false},
        ChoiceCase{"corrupt_archive", u"2015-03-29"_s, Members{{u"raw"_s, "PK\x03\x04 not really"}}, false,
                   u"builtin"_s, u"builtin"_s, false, false, true},
        ChoiceCase{"forced_corrupt_archive", u"2015-03-29"_s, Members{{u"raw"_s, "garbage"}}, true,
                   u"builtin"_s, u"builtin"_s, false, true, true},
        ChoiceCase{"empty_archive_file", u"2015-03-29"_s, Members{}, true, u"builtin"_s, u"builtin"_s, false,
                   true, true},
        ChoiceCase{"member_missing", u"2015-03-29"_s, Members{{u"other.txt"_s, "x"}}, false, u"builtin"_s,
                   u"builtin"_s, false, false, true},
        ChoiceCase{"member_not_base64", u"2015-03-29"_s, Members{{u"db_plugins.db"_s, "!!not base64!!"}},
                   true, u"builtin"_s, u"builtin"_s, false, true, true},
        ChoiceCase{"newer_without_checksums", u"2015-03-29"_s,
                   Members{{u"DB_PLUGINS.DB"_s, pluginDb(u"external"_s, u"2016-01-01"_s)}}, false,
                   u"external"_s, u"builtin"_s, true, false, true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(DatabaseLoaderTest, ExternalVersionAndHeaderText) {
    setBuiltIn(u"2015-03-29"_s);
    EXPECT_EQ(GetExternalDBversion(options.settingsDir), u"23/12/1988"_s);
    ASSERT_TRUE(writeZip(archive(), external(u" 2015-04-01 "_s)));
    EXPECT_EQ(GetExternalDBversion(options.settingsDir), u"2015-04-01"_s);
    const DatabaseLoadResult r = load();
    EXPECT_EQ(r.updateText, u"2015-04-01"_s);
    EXPECT_EQ(pluginDbHeaderText(u"%S plugins in the database"_s, r.updateText),
              u"plugins in the database (2015-04-01)"_s);
}

TEST_F(DatabaseLoaderTest, MissingBuiltInLeavesTheStoreAsItWas) {
    plugins.setText(u"[DBInfo]\n[kept]\n"_s);
    const DatabaseLoadResult r = load();
    EXPECT_TRUE(plugins.hasSection(u"kept"_s));
    EXPECT_EQ(r.entryCount, 1);
    EXPECT_FALSE(r.problems.isEmpty());
}

TEST_F(DatabaseLoaderTest, OversizedMemberIsRefused) {
    QByteArray big(65 * 1024 * 1024, 'A');
    ASSERT_TRUE(writeZip(archive(), {{u"db_plugins.db"_s, big}}));
    QString error;
    EXPECT_FALSE(readArchiveMember(archive(), u"db_plugins.db"_s, &error));
    EXPECT_TRUE(error.contains(u"too large"_s)) << error.toStdString();
}

// The committed resources must be what tools/databases/encode.sh makes of its sources.
TEST(BuiltInDatabaseTest, ResourcesMatchTheirSources) {
    QTemporaryDir empty;
    IniDocument plugins;
    IniDocument checksums;
    DatabaseLoadOptions options;
    options.settingsDir = empty.path();
    const DatabaseLoadResult r = LoadPluginDatabases(plugins, checksums, options);
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join(u'\n').toStdString();
    EXPECT_FALSE(r.externalLoaded);
    EXPECT_TRUE(isAcceptedPluginDatabase(plugins));
    EXPECT_EQ(r.updateText, u"2026-12-08"_s);

    IniDocument source(QStringLiteral(QUILLON_SOURCE_DIR "/tools/databases/db_plugins.ini"));
    ASSERT_TRUE(source.load());
    EXPECT_EQ(r.entryCount, countEntries(source));
    for (const QString& section : source.sections()) {
        for (const auto& [key, value] : source.entries(section))
            EXPECT_EQ(plugins.value(section, key).trimmed(), value.trimmed()) << section.toStdString();
    }
    EXPECT_TRUE(checksums.hasSection(u"TOTALCMD.EXE"_s));
    EXPECT_TRUE(checksums.hasSection(u"TOTALCMD64.EXE"_s));
    EXPECT_EQ(r.checksumEntryCount, checksums.sectionCount());
}

// Every checksum the built-in database holds is the CRC-32 of the sample installation's file.
TEST(BuiltInDatabaseTest, SampleChecksumsAreCurrent) {
    if (!test::requireMingw())
        GTEST_SKIP() << "MinGW-w64 is needed for the sample installation";
    const QString tc = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix/drive_c/totalcmd");
    QUILLON_SKIP_UNLESS(QFileInfo::exists(tc),
                        "sample installation not built (target quillon_sample_install)");
    QFile list(QStringLiteral(QUILLON_SOURCE_DIR "/tools/databases/sample_checksums.txt"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    IniDocument plugins;
    IniDocument checksums;
    DatabaseLoadOptions options;
    options.settingsDir = QDir::tempPath() + u"/no-such-quillon-settings"_s;
    LoadPluginDatabases(plugins, checksums, options);
    int checked = 0;
    for (const QString& line : QString::fromUtf8(list.readAll()).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QString rel = line.section(u'|', 0, 0).trimmed();
        const auto crc = FileCrc32(tc + u'/' + rel);
        ASSERT_TRUE(crc) << rel.toStdString();
        EXPECT_EQ(checksums.value(rel.section(u'/', -1), QString::number(*crc)),
                  line.section(u'|', 1).trimmed())
            << rel.toStdString() << ": run tools/databases/encode.sh";
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

} // namespace
} // namespace quillon
