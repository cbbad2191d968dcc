// The desktop program installing an update whose plugin does not load, in the test prefix: the
// download window's row and the main list's row say so, and the previous file is back.
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "download_rows_model.h"
#include "download_window.h"
#include "engine/app_core.h"
#include "inventory/update_list.h"
#include "job_runner.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "support/test_support.h"
#include "update_list_model.h"
#include "update_page.h"
#include "wine/gui/wine_application.h"
#include "wine/load_checked_update.h"
#include "wine/wine_prefix.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(WindowUnderWine, AnUpdateThatDoesNotLoadIsPutBackAndItsRowsSaySo) {
    QUILLON_REQUIRE_WINE();
    test::ensureApplication();
    const test::WineWorld& world = *test::wineWorld();
    test::LoadCheckedUpdate update;
    ASSERT_TRUE(update.prepare(test::builtLoadPlugin(u"lister.wlx64"_s)));

    ui::MessageBoxPrompter prompter;
    prompter.setUnattendedAnswer(PromptAnswer::No);
    platform::PlatformOptions platformOptions;
    platformOptions.winePrefix = world.prefix.toStdString();
    platformOptions.wineProgram = world.wine.toStdString();
    platformOptions.tcBridgeProgram = world.bridge.toStdString();
    AppCore core(prompter, platformOptions);
    StartOptions options;
    options.settingsDir = update.settings;
    core.startUp(CommandLine(QStringList{u"quillon"_s}), options);
    ui::Ttc_Updater window(core, prompter);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return core.InventoryDone && !window.jobs().isRunning(); }, 60000));
    QSignalSpy checked(&window, &ui::Ttc_Updater::checkFinished);
    window.btn_SearchUpdatesClick();
    ASSERT_TRUE(checked.count() > 0 || checked.wait(60000));

    const UpdateList& list = core.updateList();
    int row = -1;
    for (int i = 0; i < list.rowCount(); ++i) {
        if (list.row(i).FilePath.compare(update.plugin, Qt::CaseInsensitive) == 0)
            row = i;
    }
    ASSERT_GE(row, 0);
    ASSERT_EQ(list.state(row), ItemState::Update);
    window.updatePage().selectRow(row);
    window.runListCommand(ui::ListCommand::DownloadInstall);
    ui::TDownloadFiles* download = window.downloadWindow();
    ASSERT_NE(download, nullptr);
    QSignalSpy finished(download, &ui::TDownloadFiles::passFinished);
    ASSERT_TRUE(finished.wait(120000));

    const QString said = u"Update failed: does not load (the function OpenArchive/OpenArchiveW is missing)"_s;
    EXPECT_EQ(download->rows().data(download->rows().index(0, ui::DownloadRowsModel::ProgressColumn),
                                    Qt::DisplayRole),
              said);
    ui::UpdateListModel& model = window.updatePage().model();
    EXPECT_EQ(model.data(model.indexOfRow(row, ui::UpdateListModel::StatusColumn), Qt::DisplayRole), said);
    EXPECT_EQ(test::readFile(update.plugin), update.previous);
    EXPECT_EQ(prompter.unattendedTexts().filter(u"was put back because the new one does not load."_s).size(),
              1)
        << prompter.unattendedTexts().join(u" | "_s).toStdString();
    window.close();
}

} // namespace
} // namespace quillon
