// quillon-cli list on the sample installation and on small prefixes of its own.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const QString kSamplePrefix = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");

struct Listed {
    test::CliResult result;
    QJsonObject json;
    QJsonArray items;
};

Listed list(const QString& prefix, const QString& settings, const QStringList& extra = {}) {
    Listed listed;
    listed.result = test::runCli(
        QStringList{u"--wine-prefix"_s, prefix, u"--settings-dir"_s, settings, u"list"_s} + extra);
    listed.json = QJsonDocument::fromJson(listed.result.out).object();
    listed.items = listed.json.value(u"items"_s).toArray();
    return listed;
}

QJsonObject itemWithFile(const QJsonArray& items, const QString& fileName) {
    for (const QJsonValue& value : items) {
        if (QFileInfo(value.toObject().value(u"path"_s).toString()).fileName() == fileName)
            return value.toObject();
    }
    return {};
}

class CliListSample : public ::testing::Test {
protected:
    void SetUp() override {
        QUILLON_SKIP_UNLESS(QFileInfo::exists(kSamplePrefix + u"/user.reg"_s),
                            "the sample installation was not built");
    }
    QTemporaryDir settings;
};

TEST_F(CliListSample, JsonListsEveryRowWithItsGroupAndVersion) {
    const Listed listed = list(kSamplePrefix, settings.path(), {u"--json"_s});
    ASSERT_EQ(listed.result.exitCode, 0) << listed.result.err.toStdString();
    const QString tcDir = listed.json.value(u"totalCommander"_s).toObject().value(u"dir"_s).toString();
    EXPECT_TRUE(tcDir.endsWith(u"/drive_c/totalcmd"_s)) << tcDir.toStdString();

    struct Expected {
        QString file, group, installed;
    };
    const Expected expected[] = {
        {u"TOTALCMD64.EXE"_s, u"TC"_s, u"11.51"_s},
        {u"sampack.wcx64"_s, u"wcx"_s, {}},
        {u"demoarc.wcx"_s, u"wcx"_s, {}},
        {u"samplefs.wfx64"_s, u"wfx"_s, {}},
        {u"samview.wlx64"_s, u"wlx"_s, {}},
        {u"samfield.wdx64"_s, u"wdx"_s, {}},
        {u"quillon-cli"_s, u"QN"_s, QStringLiteral(QUILLON_VERSION)},
        {u"tcplugindb"_s, u"QN"_s, {}},
        {u"checksumdb"_s, u"QN"_s, {}},
    };
    EXPECT_EQ(listed.items.size(), std::size(expected));
    for (const Expected& e : expected) {
        const QJsonObject item = itemWithFile(listed.items, e.file);
        ASSERT_FALSE(item.isEmpty()) << e.file.toStdString();
        EXPECT_EQ(item.value(u"group"_s).toString(), e.group) << e.file.toStdString();
        const QString installed = item.value(u"installed"_s).toString();
        if (!e.installed.isEmpty()) {
            EXPECT_EQ(installed, e.installed);
        }
        EXPECT_FALSE(installed.isEmpty() || installed == u"-"_s) << e.file.toStdString();
        EXPECT_EQ(item.value(u"latest"_s).toString(), u"-"_s);
        EXPECT_EQ(item.value(u"state"_s).toString(), u"unknown"_s);
        EXPECT_EQ(item.value(u"status"_s).toString(), u"Unknown."_s);
        EXPECT_FALSE(item.value(u"checked"_s).toBool());
        if (e.group != u"QN"_s || e.file == u"quillon-cli"_s) {
            EXPECT_TRUE(QFileInfo(item.value(u"path"_s).toString()).isFile());
        }
    }
    EXPECT_EQ(listed.items.first().toObject().value(u"name"_s).toString(), u"Total Commander (x64)"_s);
    const QJsonObject counts = listed.json.value(u"counts"_s).toObject();
    EXPECT_EQ(counts.value(u"total"_s).toInt(), std::size(expected));
    EXPECT_EQ(counts.value(u"unknown"_s).toInt(), std::size(expected));
    EXPECT_EQ(counts.value(u"update"_s).toInt(), 0);
    EXPECT_TRUE(listed.json.value(u"errors"_s).toArray().isEmpty());
    // Shut down as the program does: the settings are written.
    EXPECT_TRUE(QFileInfo::exists(settings.path() + u"/Quillon.ini"_s));
}

TEST_F(CliListSample, TableHasAHeaderAndOneLinePerRow) {
    const Listed listed = list(kSamplePrefix, settings.path());
    ASSERT_EQ(listed.result.exitCode, 0) << listed.result.err.toStdString();
    const QStringList lines = QString::fromUtf8(listed.result.out).split(u'\n');
    ASSERT_GE(lines.size(), 10);
    EXPECT_TRUE(lines.first().startsWith(u"Group"_s));
    EXPECT_TRUE(lines.at(1).startsWith(u"TC "_s));
    EXPECT_TRUE(lines.at(1).contains(u"Total Commander (x64)"_s));
    EXPECT_TRUE(
        QString::fromUtf8(listed.result.out).contains(u"9 items: 0 updatable, 0 up to date, 9 unknown"_s));
}

TEST(CliList, WithoutWincmdIniNothingIsListedAndTheRunFails) {
    QTemporaryDir dir;
    const QString prefix = dir.path() + u"/prefix"_s;
    QDir().mkpath(prefix + u"/dosdevices"_s);
    QDir().mkpath(prefix + u"/drive_c/totalcmd"_s);
    QFile::link(u"../drive_c"_s, prefix + u"/dosdevices/c:"_s);
    test::writeFile(prefix + u"/user.reg"_s,
                    "WINE REGISTRY Version 2\n\n[Software\\\\Ghisler\\\\Total Commander] 1\n"
                    "\"InstallDir\"=\"C:\\\\totalcmd\"\n");
    test::writeFile(prefix + u"/system.reg"_s, "WINE REGISTRY Version 2\n");
    const Listed listed = list(prefix, dir.path() + u"/settings"_s, {u"--json"_s});
    EXPECT_EQ(listed.result.exitCode, 1);
    EXPECT_TRUE(listed.items.isEmpty());
    const QJsonArray errors = listed.json.value(u"errors"_s).toArray();
    ASSERT_EQ(errors.size(), 1);
    // Neither the executable nor wincmd.ini: the message names the prefix that was searched.
    EXPECT_TRUE(errors.first().toString().contains(u"was not found in the Wine prefix "_s + prefix))
        << errors.first().toString().toStdString();
    EXPECT_TRUE(listed.result.err.contains("was not found in the Wine prefix"));
}

TEST(CliList, ExtraArgumentIsWrongUsage) {
    EXPECT_EQ(test::runCli({u"list"_s, u"extra"_s}).exitCode, 2);
}

} // namespace
} // namespace quillon
