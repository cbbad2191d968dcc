#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(Cli, VersionIsTheNumberAlone) {
    const test::CliResult result = test::runCli({u"--version"_s});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, QUILLON_VERSION "\n");
    EXPECT_TRUE(result.err.isEmpty());
}

TEST(Cli, HelpListsEveryCommandAndOnlyCommandsThatRun) {
    const test::CliResult result = test::runCli({u"--help"_s});
    EXPECT_EQ(result.exitCode, 0);
    const QString help = QString::fromUtf8(result.out);
    for (const char* expected :
         {"--settings-dir", "--wine-prefix", "--json", "--lang", "/i=", "No", "Cancel", "stderr"})
        EXPECT_TRUE(help.contains(QLatin1String(expected))) << expected;

    // The commands are the two-blank-indented words under "Commands:".
    const QString section = help.section(u"Commands:\n"_s, 1).section(u"\n\n"_s, 0, 0);
    QStringList commands;
    for (const QString& line : section.split(u'\n')) {
        if (line.startsWith(u"  "_s) && line.size() > 2 && line.at(2) != u' ')
            commands.append(line.mid(2).section(u' ', 0, 0));
    }
    EXPECT_EQ(commands,
              (QStringList{u"locate"_s, u"list"_s, u"check"_s, u"update"_s, u"restore"_s, u"verify"_s}));

    // Each one is understood: without an installation it fails (1), never as wrong usage (2);
    // verify says with 2 that it cannot check at all, which a missing prefix means.
    QTemporaryDir settings;
    for (const QString& command : commands) {
        QStringList arguments{u"--wine-prefix"_s, settings.path() + u"/none"_s, u"--settings-dir"_s,
                              settings.path(), command};
        if (command == u"restore"_s)
            arguments.append(u"sampack.wcx64"_s); // its one required argument
        const test::CliResult run = test::runCli(arguments);
        if (command == u"verify"_s) {
            EXPECT_TRUE(run.err.contains("cannot check")) << run.err.toStdString();
            continue;
        }
        EXPECT_NE(run.exitCode, 2) << command.toStdString() << ": " << run.err.toStdString();
    }
}

TEST(Cli, WrongUsageExitsWithTwoAndExplainsOnStderr) {
    const struct {
        const char* name;
        QStringList arguments;
        const char* mention;
    } cases[] = {
        {"unknown_option", {u"--frobnicate"_s, u"locate"_s}, "--frobnicate"},
        {"unknown_command", {u"polish"_s}, "polish"},
        {"no_command", {}, "no command"},
        {"missing_value", {u"locate"_s, u"--settings-dir"_s}, "--settings-dir"},
        {"unknown_switch", {u"/autostartdl"_s, u"locate"_s}, "/autostartdl"},
        {"extra_argument", {u"locate"_s, u"x"_s}, "locate"},
        {"locate_unknown_option", {u"locate"_s, u"--every"_s}, "--all"},
        {"restore_without_file", {u"restore"_s, u"--yes"_s}, "FILE"},
        {"restore_two_files", {u"restore"_s, u"a.wcx"_s, u"b.wcx"_s}, "one FILE"},
        {"restore_from_without_date", {u"restore"_s, u"a.wcx"_s, u"--from"_s}, "--from"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::CliResult result = test::runCli(c.arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_TRUE(result.err.contains(c.mention)) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("usage:"));
    }
}

// Without any Total Commander the findings are empty, the run counts as failed, and the
// settings are still written where --settings-dir says.
TEST(Cli, LocateWithoutTotalCommanderReportsEmptyPathsAndWritesSettings) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString home = dir.path() + u"/home"_s;
    const QString settings = dir.path() + u"/settings/sub"_s;
    QDir().mkpath(home);
    const test::CliResult result = test::runCli({u"--wine-prefix"_s, dir.path() + u"/no-prefix"_s,
                                                 u"--settings-dir"_s, settings, u"--json"_s, u"locate"_s},
                                                {u"HOME="_s + home, u"APPDATA="_s + home + u"/appdata"_s,
                                                 u"TEMP="_s + home + u"/tmp"_s, u"LC_ALL=C"_s});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(result.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << result.out.toStdString();
    const QJsonObject tc = root.value(u"totalCommander"_s).toObject();
    EXPECT_EQ(tc.value(u"dir"_s).toString(u"missing"_s), QString());
    EXPECT_EQ(tc.value(u"ini"_s).toString(u"missing"_s), QString());
    EXPECT_EQ(tc.value(u"exe"_s).toString(u"missing"_s), QString());
    EXPECT_EQ(root.value(u"settingsFile"_s).toString(), settings + u"/Quillon.ini"_s);
    EXPECT_EQ(root.value(u"language"_s).toString(), u"ENG"_s);
    EXPECT_TRUE(QFileInfo(settings + u"/Quillon.ini"_s).isFile());
}

} // namespace
} // namespace quillon
