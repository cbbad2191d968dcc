// The download window driven from the main window against the fixture server: a package
// downloaded and installed with the main list refreshed, and a transfer cancelled mid-file.
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QDir>
#include <QFont>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include <gtest/gtest.h>

#include "app/language.h"
#include "app/settings.h"
#include "download_rows_model.h"
#include "download_window.h"
#include "inventory/update_list.h"
#include "job_runner.h"
#include "package_chooser.h"
#include "support/test_support.h"
#include "update_page.h"
#include "update_preview_window.h"
#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class DownloadWindow : public test::WindowTest {
protected:
    // The fixture's own site (catalogue and packages), the one-time question answered before.
    void openChecked() {
        server = std::make_unique<test::FixtureServerProcess>();
        serve({}, "[Additional]\nOneTimeUpdateQuestion=True\n");
        ASSERT_TRUE(open());
        ASSERT_TRUE(runCheck());
        ASSERT_EQ(list().state(rowOf(u"sampack.wcx64"_s)), ItemState::Update);
    }
    ui::TDownloadFiles* startDownloadInstall() {
        window->updatePage().selectRow(rowOf(u"sampack.wcx64"_s));
        window->runListCommand(ui::ListCommand::DownloadInstall);
        return window->downloadWindow();
    }
};

TEST_F(DownloadWindow, DownloadAndInstallShowsEachRowAndRefreshesTheMainList) {
    openChecked();
    const QString plugin = list().row(rowOf(u"sampack.wcx64"_s)).FilePath;
    const QByteArray before = test::readFile(plugin);
    ui::TDownloadFiles* download = startDownloadInstall();
    ASSERT_NE(download, nullptr);
    QAbstractItemModelTester tester(&download->rows(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy finished(download, &ui::TDownloadFiles::passFinished);
    ASSERT_TRUE(finished.wait(20000));

    ASSERT_EQ(download->rows().count(), 1);
    EXPECT_EQ(download->rows().row(0).outcome, ui::DownloadRowsModel::Outcome::Installed)
        << download->rows().row(0).transfer.error.toStdString();
    EXPECT_EQ(download->rows().data(download->rows().index(0, ui::DownloadRowsModel::ProgressColumn),
                                    Qt::DisplayRole),
              u"Installed"_s);
    EXPECT_NE(test::readFile(plugin), before);
    EXPECT_EQ(list().state(rowOf(u"sampack.wcx64"_s)), ItemState::Ok);
    EXPECT_TRUE(download->findChild<QPushButton*>(u"btn_OK_Start"_s)->isEnabled());
    EXPECT_FALSE(download->findChild<QPushButton*>(u"btn_Cancel"_s)->isEnabled());

    download->findChild<QPushButton*>(u"btn_OK_Start"_s)->click();
    EXPECT_TRUE(QTest::qWaitFor([this] { return window->downloadWindow() == nullptr; }, 5000));
}

TEST_F(DownloadWindow, CancelDuringTheTransferEndsItQuicklyAndLeavesNoPartialFile) {
    openChecked();
    // The package now comes from a server that answers after thirty seconds.
    core->settings().values.siteCatalogue = server->base() + u"fault/slow/30000/"_s;
    ui::TDownloadFiles* download = startDownloadInstall();
    ASSERT_NE(download, nullptr);
    ASSERT_TRUE(download->isTransferring());
    ASSERT_TRUE(server->waitForRequest(u"/fault/slow/"_s)) << "the package was never asked for";
    prompter->setUnattendedAnswer(PromptAnswer::Yes); // "abort the current task?"
    download->findChild<QPushButton*>(u"btn_Cancel"_s)->click();
    // Far from the package's answer: the transfer did not wait for it.
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->downloadWindow() == nullptr; }, 10000));
    EXPECT_TRUE(QDir(downloads).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << QDir(downloads).entryList(QDir::Files | QDir::Hidden).join(u' ').toStdString();
    EXPECT_EQ(list().state(rowOf(u"sampack.wcx64"_s)), ItemState::Update);
}

TEST_F(DownloadWindow, ConfirmingAsLatestSettlesTheRowAndRemembersItsVersion) {
    openChecked();
    const int row = rowOf(u"sampack.wcx64"_s);
    ASSERT_TRUE(list().row(row).Checked);
    prompter->setUnattendedAnswer(PromptAnswer::Yes);
    window->confirmUpdatableAsLatest();
    EXPECT_EQ(list().state(row), ItemState::Ok);
    EXPECT_EQ(list().row(row).InstalledVersion, list().row(row).LatestVersion);
    // Kept in the Windows form of the path, as the Windows program keeps it.
    const QStringList keys = core->stores().settings.keys(u"OverridePlugVer"_s);
    EXPECT_TRUE(keys.contains(u"%COMMANDER_PATH%\\plugins\\wcx\\sampack\\sampack.wcx64"_s))
        << keys.join(u' ').toStdString();
}

TEST_F(DownloadWindow, TheAutostartInstallSwitchInstallsTheUpdatesEndToEnd) {
    server = std::make_unique<test::FixtureServerProcess>();
    serve();
    ASSERT_TRUE(open({u"-AutoStartInstall"_s}));
    const QString plugin = list().row(rowOf(u"sampack.wcx64"_s)).FilePath;
    const QByteArray before = test::readFile(plugin);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->downloadWindow() != nullptr; }, 30000));
    ui::TDownloadFiles* download = window->downloadWindow();
    ASSERT_NE(download, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([download] { return download->rows().finished(); }, 30000));
    for (int row = 0; row < download->rows().count(); ++row)
        EXPECT_EQ(download->rows().row(row).outcome, ui::DownloadRowsModel::Outcome::Installed)
            << download->rows().row(row).transfer.fileName.toStdString();
    EXPECT_NE(test::readFile(plugin), before);
    EXPECT_EQ(list().state(rowOf(u"sampack.wcx64"_s)), ItemState::Ok);
}

TEST_F(DownloadWindow, ThePreviewListsEveryMarkedRowAndDownloadsNothing) {
    openChecked();
    const int marked = list().checkedCount();
    ASSERT_GT(marked, 0);
    window->previewMarked();
    auto* preview = qobject_cast<ui::TUpdatePreview*>(window->previewWindow());
    ASSERT_NE(preview, nullptr);
    QAbstractItemModelTester tester(&preview->plan(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy finished(preview, &ui::TUpdatePreview::previewFinished);
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(preview->plan().rowCount(), marked);
    EXPECT_TRUE(QDir(downloads).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(list().state(rowOf(u"sampack.wcx64"_s)), ItemState::Update);
    preview->close();
}

TEST(PackageChooser, OkAnswersWithTheTickedKindAndEscapeWithNothing) {
    const Language language;
    ui::TChooseTCpackage chooser(language);
    chooser.findChild<QRadioButton*>(u"rb_x64"_s)->setChecked(true);
    chooser.findChild<QCheckBox*>(u"cb_Remember"_s)->setChecked(false);
    chooser.findChild<QPushButton*>(u"btn_OK"_s)->click();
    ASSERT_TRUE(chooser.selection().has_value());
    EXPECT_EQ(chooser.selection()->packageChoice, PackageChoice::X64);
    EXPECT_FALSE(chooser.selection()->remember);

    ui::TChooseTCpackage declined(language);
    QTest::keyClick(&declined, Qt::Key_Escape);
    EXPECT_FALSE(declined.selection().has_value());
}

TEST(DownloadRowsModelCurrent, AMovedCurrentRowTellsTheViewOfEveryRowWhoseBoldChanged) {
    const Language language;
    ui::DownloadRowsModel model(language);
    DownloadRequestList requests;
    for (int i = 0; i < 6; ++i) {
        DownloadRequest request;
        request.Url = u"http://127.0.0.1/p%1.zip"_s.arg(i);
        request.LocalArchive = u"/downloads/p%1.zip"_s.arg(i);
        requests.append(request);
    }
    model.setRequests(requests);
    ASSERT_EQ(model.count(), 6);
    const auto bold = [&model](int row) {
        return model.data(model.index(row, 0), Qt::FontRole).value<QFont>().bold();
    };
    for (const int current : {2, 4, 1, -1, 5}) {
        QList<bool> before;
        for (int row = 0; row < model.count(); ++row)
            before.append(bold(row));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setCurrent(current);
        ASSERT_EQ(changed.count(), 1) << "current " << current;
        const int first = changed.at(0).at(0).toModelIndex().row();
        const int last = changed.at(0).at(1).toModelIndex().row();
        for (int row = 0; row < model.count(); ++row) {
            const bool told = row >= first && row <= last;
            EXPECT_TRUE(told || bold(row) == before.at(row)) << "current " << current << ", row " << row;
        }
    }
}
} // namespace
} // namespace quillon
