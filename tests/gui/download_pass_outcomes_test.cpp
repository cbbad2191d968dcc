// The download window over a site of its own: links that fail each in their way, the plugin
// database whose update reloads the list and checks again, and the program replacing itself.
#include <QDir>
#include <QMap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include "download_rows_model.h"
#include "download_window.h"
#include "inventory/update_item.h"
#include "inventory/update_list.h"
#include "support/test_support.h"
#include "support/zip_writer.h"
#include "update_page.h"
#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

using test::writeZip;

class DownloadPassOutcomes : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        site = m_dir.path() + u"/site"_s;
        ASSERT_TRUE(test::copyTree(test::FixtureServerProcess::generatedContent(), site));
    }

    void addRecord(const QString& record) {
        const QString page = site + u"/get_plugins_list.php"_s;
        QByteArray text = test::readFile(page);
        const qsizetype end = text.indexOf("</pre>");
        ASSERT_GT(end, 0);
        text.insert(end, (u' ' + record + u'|').toUtf8());
        ASSERT_TRUE(test::writeFile(page, text));
    }

    void startServer() {
        server = std::make_unique<test::FixtureServerProcess>(site);
        ASSERT_FALSE(server->base().isEmpty());
    }

    // The settings install after download; userDb: the user database as given. Opens and checks.
    void openChecked(const QByteArray& userDb = {}) {
        if (!server)
            startServer();
        serve({}, "[Additional]\nOneTimeUpdateQuestion=True\n");
        QByteArray text = test::readFile(settings + u"/Quillon.ini"_s);
        text.replace("[Configuration]\n", "[Configuration]\nInstallAfterDL=True\n");
        ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, text));
        ASSERT_TRUE(test::writeFile(settings + u"/userdb.ini"_s, userDb));
        ASSERT_TRUE(open());
        ASSERT_TRUE(runCheck());
    }

    // Downloads the marked rows and waits for the end of the pass.
    ui::TDownloadFiles* downloadMarked() {
        window->btn_UpdateSelectedClick();
        ui::TDownloadFiles* download = window->downloadWindow();
        if (!download)
            return nullptr;
        QSignalSpy finished(download, &ui::TDownloadFiles::passFinished);
        if (!finished.wait(60000))
            return nullptr;
        return download;
    }

    int rowOfPath(const QString& path) const {
        for (int row = 0; row < list().rowCount(); ++row) {
            if (list().row(row).FilePath == path)
                return row;
        }
        return -1;
    }

    QString site;
};

TEST_F(DownloadPassOutcomes, EachFailedFileSaysWhyAndTheOthersStillInstall) {
    startServer();
    const struct {
        const char* file;
        const char* id;
        const char* route;
    } faults[] = {
        {"sampack.wcx64", "sampack", "fault/html/"},
        {"samfield.wdx64", "samfield", "fault/404/"},
        {"demoarc.wcx", "demoarc", "fault/drop/"},
    };
    QByteArray userDb;
    for (const auto& f : faults)
        userDb += "[" + QByteArray(f.file) + "]\r\nDirectLink=" + server->base().toUtf8() + f.route +
                  "download.php?id=" + f.id + "\r\n";
    openChecked(userDb);
    QMap<QString, QByteArray> before;
    for (const auto& f : faults) {
        const int row = rowOf(QString::fromLatin1(f.file));
        ASSERT_GE(row, 0) << f.file;
        ASSERT_EQ(list().state(row), ItemState::Update) << f.file;
        before.insert(QString::fromLatin1(f.id), test::readFile(list().row(row).FilePath));
    }
    const int marked = list().checkedCount();
    ASSERT_GT(marked, 3) << "no row left to install beside the failing ones";

    ui::TDownloadFiles* download = downloadMarked();
    ASSERT_NE(download, nullptr);
    ASSERT_EQ(download->rows().count(), marked);
    int installed = 0;
    for (int index = 0; index < download->rows().count(); ++index) {
        const ui::DownloadRowsModel::Row& row = download->rows().row(index);
        const auto fault = std::find_if(std::begin(faults), std::end(faults), [&row](const auto& f) {
            return row.transfer.url.contains(QString::fromLatin1(f.route));
        });
        SCOPED_TRACE(row.transfer.url.toStdString());
        if (fault == std::end(faults)) {
            EXPECT_EQ(row.outcome, ui::DownloadRowsModel::Outcome::Installed)
                << row.transfer.error.toStdString();
            ++installed;
            continue;
        }
        EXPECT_EQ(row.outcome, ui::DownloadRowsModel::Outcome::Failed);
        EXPECT_FALSE(row.transfer.error.isEmpty());
        const int listRow = rowOf(QString::fromLatin1(fault->file));
        EXPECT_EQ(test::readFile(list().row(listRow).FilePath), before.value(QString::fromLatin1(fault->id)));
        EXPECT_EQ(list().state(listRow), ItemState::Update);
    }
    EXPECT_EQ(installed, marked - 3);
    // Nothing half-fetched stays behind.
    const QStringList left = QDir(downloads).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left.size(), installed) << left.join(u' ').toStdString();
}

// The built-in plugin database with a later date, as the catalogue would serve it.
QByteArray newerDatabase(const QString& folder, const QString& date) {
    QByteArray plugins = QByteArray::fromBase64(
        test::readFile(QStringLiteral(QUILLON_SOURCE_DIR "/resources/databases/DB_PLUGINS")));
    const qsizetype at = plugins.indexOf("Update");
    const qsizetype lineEnd = plugins.indexOf('\n', at);
    if (at < 0 || lineEnd < 0)
        return {};
    plugins.replace(at, lineEnd - at, QByteArray("Update=" + date.toLatin1() + '\r'));
    const QString path = folder + u"/database.dat"_s;
    const bool written = writeZip(
        path, {{u"db_plugins.db"_s, plugins.toBase64()},
               {u"db_crc32.db"_s,
                test::readFile(QStringLiteral(QUILLON_SOURCE_DIR "/resources/databases/DB_CRC32"))}});
    return written ? test::readFile(path) : QByteArray();
}

TEST_F(DownloadPassOutcomes, DatabaseUpdateReloadsTheListAndChecksAgain) {
    const QByteArray database = newerDatabase(m_dir.path(), u"2027-01-15"_s);
    ASSERT_FALSE(database.isEmpty());
    ASSERT_TRUE(test::writeFile(site + u"/packages/tcplugindb.zip"_s, database));
    addRecord(u"tcplugindb|Plugin database|15.01.2027|15.01.2027|other|x32|x32"_s);
    openChecked();
    const int row = rowOfPath(QString(kPluginDbPath));
    ASSERT_GE(row, 0);
    ASSERT_EQ(list().state(row), ItemState::Update);

    prompter->setUnattendedAnswer(PromptAnswer::Yes); // "reload the list & search for updates?"
    QSignalSpy inventory(window.get(), &ui::Ttc_Updater::inventoryFinished);
    QSignalSpy checked(window.get(), &ui::Ttc_Updater::checkFinished);
    window->updatePage().selectRow(row);
    window->runListCommand(ui::ListCommand::DownloadInstall);
    ui::TDownloadFiles* download = window->downloadWindow();
    ASSERT_NE(download, nullptr);
    QSignalSpy finished(download, &ui::TDownloadFiles::passFinished);
    ASSERT_TRUE(finished.wait(30000));
    ASSERT_EQ(download->rows().count(), 1);
    EXPECT_EQ(download->rows().row(0).outcome, ui::DownloadRowsModel::Outcome::Installed)
        << download->rows().row(0).transfer.error.toStdString();
    EXPECT_EQ(test::readFile(settings + u"/database.dat"_s), database);

    download->findChild<QPushButton*>(u"btn_OK_Start"_s)->click();
    ASSERT_TRUE(QTest::qWaitFor([&checked] { return checked.count() > 0; }, 30000));
    ASSERT_EQ(inventory.count(), 1);
    const int reloaded = rowOfPath(QString(kPluginDbPath));
    ASSERT_GE(reloaded, 0);
    EXPECT_EQ(list().row(reloaded).InstalledVersion, u"15.01.2027"_s);
    EXPECT_EQ(list().state(reloaded), ItemState::Ok);
}

TEST_F(DownloadPassOutcomes, SelfUpdateRestartsTheProgramWithItsSwitches) {
    // A program the user may replace: only its version marker matters here.
    const QByteArray current = QUILLON_VERSION;
    QByteArray newer = current;
    ASSERT_NE(newer.front(), '9');
    newer.front() = '9';
    const QString programDir = m_dir.path() + u"/program"_s;
    programPath = programDir + u"/quillon"_s;
    const QByteArray original = "#!/bin/sh\n# QUILLON-VERSION:" + current + '\0' + "\n";
    const QByteArray replacement = "#!/bin/sh\n# QUILLON-VERSION:" + newer + '\0' + "\n";
    ASSERT_TRUE(test::writeFile(programPath, original));
    ASSERT_TRUE(writeZip(site + u"/packages/quillon.zip"_s, {{u"quillon"_s, replacement}}));
    addRecord(u"quillon|Quillon|"_s + QString::fromLatin1(newer) + u"|01.12.2026|util|x32+x64|x64"_s);
    openChecked("[quillon]\r\nWebsiteID=quillon\r\n");
    const int row = rowOf(u"quillon"_s);
    ASSERT_GE(row, 0);
    ASSERT_EQ(list().state(row), ItemState::Update);

    QList<QPair<QString, QStringList>> started;
    window->setProgramStarter([&started](const QString& program, const QStringList& arguments) {
        started.append({program, arguments});
        return true;
    });
    window->updatePage().selectRow(row);
    window->runListCommand(ui::ListCommand::DownloadInstall);
    ui::TDownloadFiles* download = window->downloadWindow();
    ASSERT_NE(download, nullptr);
    QSignalSpy finished(download, &ui::TDownloadFiles::passFinished);
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(download->rows().row(0).outcome, ui::DownloadRowsModel::Outcome::Installed)
        << download->rows().row(0).transfer.error.toStdString();
    EXPECT_EQ(test::readFile(programPath), replacement);

    download->findChild<QPushButton*>(u"btn_OK_Start"_s)->click();
    ASSERT_TRUE(QTest::qWaitFor([&started] { return !started.isEmpty(); }, 5000));
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started.front().first, programPath);
    EXPECT_EQ(started.front().second, (QStringList{u"/restart"_s, u"/autostart"_s}));
}

} // namespace
} // namespace quillon
