// quillon-cli locate --all over a home where every prefix manager keeps a Total Commander.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(CliLocateAll, ListsTheTotalCommanderOfEveryManagersPrefix) {
    const QString sample = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");
    QUILLON_SKIP_UNLESS(QFileInfo::exists(sample + u"/user.reg"_s), "the sample installation was not built");
    QTemporaryDir dir;
    const QString home = dir.path() + u"/home"_s;
    const std::map<QString, QString> prefixes{
        {u"wine"_s, home + u"/.wine"_s},
        {u"winetricks"_s, home + u"/.local/share/wineprefixes/tc"_s},
        {u"bottles"_s, home + u"/.local/share/bottles/bottles/tc"_s},
        {u"lutris"_s, home + u"/Games/total-commander"_s},
        {u"playonlinux"_s, home + u"/.PlayOnLinux/wineprefix/TotalCommander"_s},
        {u"crossover"_s, home + u"/.cxoffice/TC"_s},
        {u"proton"_s, home + u"/.local/share/Steam/steamapps/compatdata/2000/pfx"_s},
    };
    for (const auto& [manager, prefix] : prefixes)
        ASSERT_TRUE(test::copyTree(sample, prefix)) << manager.toStdString();
    const QString runner = home + u"/.local/share/bottles/runners/soda-9.0/bin/wine"_s;
    ASSERT_TRUE(test::writeFile(runner, "#!/bin/sh\n"));
    ASSERT_TRUE(test::writeFile(prefixes.at(u"bottles"_s) + u"/bottle.yml"_s, "Runner: soda-9.0\n"));
    ASSERT_TRUE(test::writeFile(home + u"/.config/lutris/games/tc.yml"_s,
                                "game:\n  prefix: " + prefixes.at(u"lutris"_s).toUtf8() + "\n"));
    ASSERT_TRUE(test::writeFile(prefixes.at(u"crossover"_s) + u"/cxbottle.conf"_s, "[Bottle]\n"));
    // A broken file is named and passed over; the rest is still listed.
    ASSERT_TRUE(QDir().mkpath(home + u"/.local/share/bottles/bottles/broken/drive_c"_s));
    ASSERT_TRUE(test::writeFile(home + u"/.local/share/bottles/bottles/broken/system.reg"_s, "WINE"));
    ASSERT_TRUE(test::writeFile(home + u"/.local/share/bottles/bottles/broken/bottle.yml"_s, "Runner: [\n"));

    // COMMANDER_PATH names the copy that started the program, not the one of every prefix.
    const QStringList environment{u"HOME="_s + home, u"XDG_CONFIG_HOME="_s + home + u"/.config"_s,
                                  u"XDG_DATA_HOME="_s + home + u"/.local/share"_s,
                                  u"COMMANDER_PATH="_s + dir.path() + u"/elsewhere"_s};
    const test::CliResult result = test::runCli({u"locate"_s, u"--all"_s, u"--json"_s}, environment);
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("broken/bottle.yml")) << result.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(result.out).array();
    std::map<QString, QJsonObject> byManager;
    for (const QJsonValue& value : list)
        byManager[value.toObject().value(u"manager"_s).toString()] = value.toObject();
    ASSERT_EQ(byManager.size(), prefixes.size()) << result.out.toStdString();
    ASSERT_EQ(list.size(), qsizetype(prefixes.size()));
    for (const auto& [manager, prefix] : prefixes) {
        SCOPED_TRACE(manager.toStdString());
        const QJsonObject found = byManager[manager];
        const QString tcDir = QFileInfo(prefix + u"/drive_c"_s).canonicalFilePath() + u"/totalcmd"_s;
        EXPECT_EQ(found.value(u"prefix"_s).toString(), prefix);
        EXPECT_EQ(found.value(u"tcDir"_s).toString(), tcDir);
        EXPECT_EQ(found.value(u"exe"_s).toString(), tcDir + u"/TOTALCMD64.EXE"_s);
        EXPECT_TRUE(found.value(u"ini"_s).toString().startsWith(QFileInfo(prefix).canonicalFilePath()));
        EXPECT_EQ(found.value(u"wine"_s).toString(), manager == u"bottles"_s ? runner : QString());
    }

    // The other commands, with no prefix named and none at ~/.wine, look after the one
    // installation there is, and remember it.
    const QString single = dir.path() + u"/single"_s;
    const QString bottle = single + u"/.local/share/bottles/bottles/tc"_s;
    ASSERT_TRUE(test::copyTree(sample, bottle));
    const test::CliResult taken =
        test::runCli({u"--settings-dir"_s, single + u"/settings"_s, u"--json"_s, u"locate"_s},
                     {u"HOME="_s + single, u"XDG_CONFIG_HOME="_s + single + u"/.config"_s,
                      u"XDG_DATA_HOME="_s + single + u"/.local/share"_s});
    EXPECT_EQ(taken.exitCode, 0) << taken.err.toStdString();
    const QJsonObject takenTc =
        QJsonDocument::fromJson(taken.out).object().value(u"totalCommander"_s).toObject();
    EXPECT_EQ(takenTc.value(u"dir"_s).toString(),
              QFileInfo(bottle + u"/drive_c"_s).canonicalFilePath() + u"/totalcmd"_s);
    QFile settings(single + u"/settings/Quillon.ini"_s);
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains(QByteArray("Chosen=" + bottle.toUtf8())));

    // A home without any: an empty list, and the run failed.
    const QString empty = dir.path() + u"/empty"_s;
    ASSERT_TRUE(QDir().mkpath(empty));
    const test::CliResult none =
        test::runCli({u"--json"_s, u"locate"_s, u"--all"_s},
                     {u"HOME="_s + empty, u"XDG_CONFIG_HOME="_s + empty, u"XDG_DATA_HOME="_s + empty});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(QJsonDocument::fromJson(none.out).array(), QJsonArray());
}

} // namespace
} // namespace quillon
