// The desktop program with Total Commander's window in a real Wine prefix: the window is placed
// over Total Commander's, "Jump to the file" and F1 reach it through the bridge.
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "engine/app_core.h"
#include "inventory/update_list.h"
#include "job_runner.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "platform/path_mapper_wine.h"
#include "support/test_support.h"
#include "update_page.h"
#include "wine/gui/wine_application.h"
#include "wine/wine_prefix.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(WindowUnderWine, PlacesItselfAndJumpsThroughTotalCommandersWindow) {
    QUILLON_REQUIRE_WINE();
    test::ensureApplication();
    const test::WineWorld& world = *test::wineWorld();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString standInExe = world.prefix + u"/drive_c/standin3/TOTALCMD64.EXE"_s;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(standInExe).absolutePath()));
    ASSERT_TRUE(QFileInfo::exists(standInExe) || QFile::copy(world.standIn, standInExe));
    test::StandIn standIn(standInExe, dir.path() + u"/messages.log"_s);
    ASSERT_TRUE(standIn.ready());

    // F1 shows the readme beside the program.
    const QString programDir = dir.path() + u"/program"_s;
    ASSERT_TRUE(test::writeFile(programDir + u"/readme.txt"_s, "Quillon"));
    const QString settings = dir.path() + u"/settings"_s;
    ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, "[GUI]\nMainForm_L=123\nMainForm_T=77\n"));

    ui::MessageBoxPrompter prompter;
    prompter.setUnattendedAnswer(PromptAnswer::No);
    platform::PlatformOptions platformOptions;
    platformOptions.winePrefix = world.prefix.toStdString();
    platformOptions.wineProgram = world.wine.toStdString();
    platformOptions.tcBridgeProgram = world.bridge.toStdString();
    AppCore core(prompter, platformOptions);
    StartOptions options;
    options.settingsDir = settings;
    options.programPath = programDir + u"/quillon"_s;
    core.startUp(CommandLine(QStringList{u"quillon"_s}), options);
    EXPECT_EQ(QFileInfo(core.tc().exeFile).fileName(), u"TOTALCMD64.EXE"_s);

    ui::Ttc_Updater window(core, prompter);
    QSignalSpy tcCalls(&window, &ui::Ttc_Updater::tcCallsFinished);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return core.InventoryDone && !window.jobs().isRunning(); }, 60000));
    ASSERT_TRUE(tcCalls.count() > 0 || tcCalls.wait(30000));
    EXPECT_EQ(window.pos(), QPoint(123, 77));

    int tcRow = -1;
    for (int row = 0; row < core.updateList().rowCount(); ++row) {
        if (QFileInfo(core.updateList().row(row).FilePath).fileName() == u"TOTALCMD64.EXE"_s)
            tcRow = row;
    }
    ASSERT_GE(tcRow, 0);
    const platform::WinePathMapper paths(world.prefix.toStdString());
    const auto windows = [&](const QString& host) {
        return QString::fromStdString(paths.toWindowsPath(host.toStdString()));
    };
    struct Case {
        const char* name;
        std::function<void()> act;
        QStringList logged;
    };
    const Case cases[] = {
        {"jump to the file",
         [&] {
             window.updatePage().selectRow(tcRow);
             window.runListCommand(ui::ListCommand::JumpToFiles);
         },
         {u"CD left "_s + windows(core.updateList().row(tcRow).FilePath), u"COMMAND 4001"_s}},
        {"F1",
         [&] { QTest::keyClick(&window, Qt::Key_F1); },
         {u"COMMAND 3001"_s, u"CD left "_s + windows(programDir + u"/readme.txt"_s), u"COMMAND 4001"_s,
          u"COMMAND 1006"_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype before = standIn.messages().size();
        tcCalls.clear();
        c.act();
        ASSERT_TRUE(tcCalls.wait(30000));
        EXPECT_EQ(standIn.messages().mid(before), c.logged)
            << standIn.messages().join(u" | "_s).toStdString();
    }
    window.close();
}

} // namespace
} // namespace quillon
