// "Restore previous version..." of the update list's menu: offered only for a row whose file has
// a backup, the dialog lists that backup with the version in it, and the restore puts the
// backed-up file in place and refreshes the row.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "backup_list_model.h"
#include "install/zip_archive.h"
#include "inventory/update_list.h"
#include "restore_dialog.h"
#include "support/fixture_server.h"
#include "support/test_support.h"
#include "update_page.h"
#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class RestoreMenu : public test::WindowTest {};

TEST_F(RestoreMenu, OfferedOnlyWithABackupWhichTheDialogListsAndPutsBack) {
    if (!test::requireMingw())
        GTEST_SKIP() << "the packages hold no real files without MinGW-w64";
    cataloguePage({});
    serve();
    ASSERT_TRUE(open());
    const int row = rowOf(u"sampack.wcx64"_s);
    ASSERT_GE(row, 0);
    window->updatePage().selectRow(row);
    const auto entryEnabled = [this] {
        std::unique_ptr<QMenu> menu(window->buildContextMenu());
        const QAction* action = menu->findChild<QAction*>(u"RestorePrevious"_s);
        return action && action->isEnabled();
    };
    EXPECT_FALSE(entryEnabled());

    // The catalogue's package stands in for the backup an earlier update left.
    const QString pluginFile = list().row(row).FilePath;
    const QString folder = QFileInfo(pluginFile).absolutePath();
    const QString package = test::FixtureServerProcess::generatedContent() + u"/packages/sampack.zip"_s;
    ASSERT_TRUE(QFile::copy(package, folder + u"/backup_01-02-2024_QN.zip"_s));
    const QByteArray backedUp = DecompressZip(u"sampack.wcx64"_s, package);
    ASSERT_FALSE(backedUp.isEmpty());
    const QByteArray current = test::readFile(pluginFile);
    ASSERT_TRUE(entryEnabled());

    window->restorePreviousVersion();
    ui::TRestoreBackup* dialog = nullptr;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return (dialog = window->findChild<ui::TRestoreBackup*>()) != nullptr; }));
    ui::BackupListModel& model = dialog->model();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.index(0, ui::BackupListModel::DateColumn).data().toString(), u"01-02-2024"_s);
    const QString version = model.index(0, ui::BackupListModel::VersionColumn).data().toString();
    EXPECT_TRUE(version.startsWith(u"2.2"_s)) << version.toStdString();
    EXPECT_TRUE(
        model.index(0, ui::BackupListModel::FilesColumn).data().toString().contains(u"sampack.wcx64"_s));

    QSignalSpy finished(window.get(), &ui::Ttc_Updater::restoreFinished);
    dialog->accept();
    ASSERT_TRUE(finished.wait(20000) || finished.count() > 0);
    EXPECT_TRUE(finished.first().first().toBool()) << prompter->unattendedTexts().join(u'\n').toStdString();
    EXPECT_EQ(test::readFile(pluginFile), backedUp);
    EXPECT_EQ(list().row(rowOf(u"sampack.wcx64"_s)).InstalledVersion, version);
    // What it replaced is a backup of its own, so the entry stays.
    const QStringList backups = findFiles(folder, u"backup_*_QN.zip"_s);
    ASSERT_EQ(backups.size(), 2);
    for (const QString& backup : backups) {
        if (!backup.endsWith(u"backup_01-02-2024_QN.zip"_s)) {
            EXPECT_EQ(DecompressZip(u"sampack.wcx64"_s, backup), current);
        }
    }
    EXPECT_TRUE(entryEnabled());
}

} // namespace
} // namespace quillon
