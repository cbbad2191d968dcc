// The update check run on the sample installation against the fixture server: which sites a run
// asks for the rows it has, and a cancelled check that leaves the list as it was.
#include "engine/check_run.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <ostream>
#include <set>
#include <thread>

#include "app/scripted_prompter.h"
#include "app/settings.h"
#include "engine/app_core.h"
#include "engine/check_job.h"
#include "inventory/update_list.h"
#include "platform/scoped_env.h"
#include "support/fixture_server.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {

// Readable rows in failure messages.
void PrintTo(const UpdateItem& item, std::ostream* os) {
    *os << SnapshotLine::fromItem(item, {}).text().toStdString();
}

namespace {

const QString kSamplePrefix = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");
// Nothing listens there: a site that is asked fails at once.
const QString kDeadSite = u"http://127.0.0.1:1/"_s;

// Rows and snapshot lines as the list rebuilds them from its snapshot, fields trimmed: a catalogue
// name may end in a blank ("Sample FS -"), which every rebuild drops.
QList<UpdateItem> rebuilt(const QList<SnapshotLine>& lines, const StatusTexts& texts) {
    QList<UpdateItem> rows;
    for (const SnapshotLine& line : lines)
        rows.append(line.toItem(texts));
    return rows;
}
QList<UpdateItem> rebuilt(const QList<UpdateItem>& items, const StatusTexts& texts) {
    QList<SnapshotLine> lines;
    for (const UpdateItem& item : items)
        lines.append(SnapshotLine::fromItem(item, texts));
    return rebuilt(lines, texts);
}

class CheckRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        QUILLON_SKIP_UNLESS(QFileInfo::exists(kSamplePrefix + u"/user.reg"_s) &&
                                QFileInfo::exists(test::FixtureServerProcess::program()),
                            "the sample installation or the fixture server was not built");
        for (const char* name : {"COMMANDER_PATH", "COMMANDER_EXE", "COMMANDER_INI", "COMMANDER_DRIVE",
                                 "XDG_CONFIG_HOME", "XDG_DATA_HOME", "LANGUAGE", "LC_MESSAGES"})
            m_env.set(name, std::nullopt);
        const std::string home = QString(m_dir.path() + u"/home"_s).toStdString();
        m_env.set("HOME", home);
        m_env.set("LC_ALL", "C");
        m_env.set("LANG", "C");
        ASSERT_TRUE(test::writeFile(programPath(), "quillon"));
    }

    QString programPath() const { return m_dir.path() + u"/program/quillon"_s; }

    // A started core with the sites and more settings, its inventory pass done.
    std::unique_ptr<AppCore> start(const QString& tcSite, const QString& catalogue, const QByteArray& more) {
        const QString settingsDir = m_dir.path() + u"/settings"_s;
        EXPECT_TRUE(test::writeFile(settingsDir + u"/Quillon.ini"_s,
                                    "[Sites]\nCatalogue=" + catalogue.toUtf8() +
                                        "\nTotalCommander=" + tcSite.toUtf8() + "\n" + more));
        platform::PlatformOptions platformOptions;
        platformOptions.winePrefix = kSamplePrefix.toStdString();
        auto core = std::make_unique<AppCore>(prompter, platformOptions);
        StartOptions options;
        options.programPath = programPath();
        options.settingsDir = settingsDir;
        options.language = u"ENG"_s;
        core->startUp(CommandLine({programPath()}), options);
        EXPECT_TRUE(core->runInventoryPass().configFound);
        return core;
    }

    QTemporaryDir m_dir;
    test::ScopedEnv m_env;
    ScriptedPrompter prompter;
};

TEST_F(CheckRunTest, SitesAskedForTheRowsThereAre) {
    test::FixtureServerProcess server;
    ASSERT_FALSE(server.base().isEmpty());
    const QString live = server.base();
    const QByteArray pluginsOff = "[Plugins]\nDisabled=True\n";
    struct Case {
        const char* name;
        QString tcSite, catalogue;
        QByteArray more;
        std::set<ItemGroup> groups;
        bool tcChecked, tcAnswered, catalogueFetched, failed;
    };
    const Case cases[] = {
        {"plugins off", live, live, pluginsOff, {ItemGroup::TC, ItemGroup::QN}, true, true, true, false},
        // The catalogue has nothing to say about Total Commander: it is not asked.
        {"only Total Commander's row",
         live,
         kDeadSite,
         pluginsOff + "[Configuration]\nNoSelfUpdate=True\n",
         {ItemGroup::TC},
         true,
         true,
         false,
         false},
        {"only Total Commander's row, its site down",
         kDeadSite,
         live,
         pluginsOff + "[Configuration]\nNoSelfUpdate=True\n",
         {ItemGroup::TC},
         true,
         false,
         false,
         true},
        {"self-update only",
         kDeadSite,
         live,
         pluginsOff + "[Total Commander]\nDisabled=True\n",
         {ItemGroup::QN},
         false,
         false,
         true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.clearMessages();
        auto core = start(c.tcSite, c.catalogue, c.more);
        const UpdateList& list = core->updateList();
        std::set<ItemGroup> groups;
        for (const UpdateItem& item : list.rows())
            groups.insert(item.Group);
        ASSERT_EQ(groups, c.groups);

        const CheckRunResult result = UpdateCheckRun(*core).run();
        EXPECT_EQ(result.tcChecked, c.tcChecked);
        EXPECT_EQ(result.tcAnswered, c.tcAnswered);
        EXPECT_EQ(result.catalogueFetched, c.catalogueFetched);
        EXPECT_EQ(result.recordCount > 0, c.catalogueFetched);
        EXPECT_EQ(!result.errors.isEmpty(), c.failed) << result.errors.join(u'\n').toStdString();
        EXPECT_EQ(prompter.messages().isEmpty(), !c.failed);
        // Total Commander's answer decides its row: 11.51 is installed, the 11.55 beta offered.
        EXPECT_EQ(list.state(0) == ItemState::Update, c.tcAnswered);
        EXPECT_EQ(list.snapshot().count(), list.rowCount());
        EXPECT_FALSE(core->updateCheckState().CheckRunning);
    }
}

TEST_F(CheckRunTest, CancelledCheckLeavesTheListAsItWasAndEndsQuickly) {
    test::FixtureServerProcess server;
    ASSERT_FALSE(server.base().isEmpty());
    auto core = start(server.base(), server.base(), {});
    ASSERT_TRUE(UpdateCheckRun(*core).run().catalogueFetched);
    UpdateList& list = core->updateList();
    const UpdateCheckState& state = core->updateCheckState();
    const QList<UpdateItem> rows = list.rows();
    const QList<SnapshotLine> snapshot = list.snapshot().lines();
    const QHash<QString, QString> dates = state.PublicationDates;
    const int records = state.OnlineRecords.recordCount();
    ASSERT_GT(records, 0);
    ASSERT_FALSE(dates.isEmpty());
    bool anyUpdate = false;
    for (int row = 0; row < list.rowCount(); ++row)
        anyUpdate = anyUpdate || list.state(row) == ItemState::Update;
    ASSERT_TRUE(anyUpdate);
    prompter.clearMessages();

    // Total Commander's site now offers the installed release, so the run changes its row at
    // once; the catalogue answers only after thirty seconds, and the cancel comes while it is
    // awaited.
    const QString content = m_dir.path() + u"/content"_s;
    ASSERT_TRUE(test::writeFile(content + u"/whatsnew.htm"_s,
                                "<p>Total Commander 11.51 is now available for Windows</p>"));
    ASSERT_TRUE(
        test::writeFile(content + u"/download.htm"_s, "<h1>Download version 11.51 of Total Commander</h1>"));
    test::FixtureServerProcess slowServer(content);
    ASSERT_FALSE(slowServer.base().isEmpty());
    SettingValues& values = core->settings().values;
    values.siteTotalCommander = slowServer.base();
    values.siteCatalogue = slowServer.base() + u"fault/slow/30000/"_s;
    CancelToken cancel;
    CheckJobResult job;
    std::atomic_bool ended = false;
    QElapsedTimer sinceCancel;
    std::thread worker([&] {
        NullProgressSink progress;
        job = RunUpdateCheck(*core, DetectionOptions::fromValues(values), 2, cancel, progress);
        ended = true;
    });
    const bool asked = slowServer.waitForRequest(u"/fault/slow/"_s);
    EXPECT_FALSE(ended);
    sinceCancel.start();
    cancel.cancel();
    worker.join();
    const qint64 afterCancelMs = sinceCancel.elapsed();
    ASSERT_TRUE(asked) << "the catalogue was never asked for";

    EXPECT_TRUE(job.cancelled);
    EXPECT_FALSE(job.outcome);
    // Far from the catalogue's answer: the run did not wait for it.
    EXPECT_LT(afterCancelMs, 5000);
    const StatusTexts& texts = list.statusTexts();
    EXPECT_EQ(rebuilt(list.rows(), texts), rebuilt(rows, texts));
    EXPECT_EQ(rebuilt(list.snapshot().lines(), texts), rebuilt(snapshot, texts));
    EXPECT_EQ(state.PublicationDates, dates);
    EXPECT_EQ(state.OnlineRecords.recordCount(), records);
    EXPECT_TRUE(state.OnlineListFetched);
    EXPECT_FALSE(state.CheckRunning);
    // A cancel is no failure to tell the user about.
    EXPECT_TRUE(prompter.messages().isEmpty()) << prompter.messages().value(0).text.toStdString();
}

} // namespace
} // namespace quillon
