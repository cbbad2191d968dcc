// What a user met in the windows and must not meet again: the database entry command opening the
// wrong editor, an empty information box, and a Cancel whose question let the download go on.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>

#include "app/ini_document.h"
#include "app/settings.h"
#include "download_rows_model.h"
#include "download_window.h"
#include "info_box.h"
#include "inventory/update_list.h"
#include "plugin_db_browser.h"
#include "support/test_support.h"
#include "update_list_view.h"
#include "update_page.h"
#include "user_db_modify.h"
#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class WindowFaults : public test::WindowTest {
protected:
    // Runs inspect on the next modal window that opens (then closes it) while action runs.
    static QString onNextModal(const std::function<void()>& action,
                               const std::function<QString(QWidget*)>& inspect) {
        QString seen;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                poll.stop();
                seen = inspect(modal);
                if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible())
                    dialog->reject();
            }
        });
        poll.start(20);
        action();
        return seen;
    }

    static qint64 bytesBelow(const QString& folder) {
        qint64 total = 0;
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
            total += file.size();
        return total;
    }
};

TEST_F(WindowFaults, TheDatabaseEntryCommandOpensTheEntryTheRowHas) {
    server = std::make_unique<test::FixtureServerProcess>();
    serve();
    ASSERT_TRUE(open());
    ASSERT_TRUE(runCheck());
    core->stores().userDb.setValue(u"samview"_s, u"WebsiteID"_s, u"viewer_web"_s);
    core->stores().pluginDb.setValue(u"samplefs"_s, u"WebsiteID"_s, u"fs_web"_s);
    for (const QString& none : {u"samfield"_s, u"samfield.wdx64"_s}) {
        core->stores().userDb.removeSection(none);
        core->stores().pluginDb.removeSection(none);
    }
    auto* pages = window->findChild<QTabWidget*>();
    const struct {
        const char* file;
        const char* dialog;
        const char* seen; // "ID|WEB" in the editor, the entry in the browser
        int page;         // the page shown afterwards
    } cases[] = {
        {"samview.wlx64", "TUserDBModify", "samview|viewer_web", ui::Ttc_Updater::TabUserDB},
        {"samplefs.wfx64", "TPluginDB", "samplefs.wfx64", ui::Ttc_Updater::TabUpdate},
        // A file no database knows: its name (from its version information) and the catalogue's
        // identifier of it, never its path in the web identifier.
        {"samfield.wdx64", "TUserDBModify", "samfield|samfield", ui::Ttc_Updater::TabUpdate},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        pages->setCurrentIndex(ui::Ttc_Updater::TabUpdate);
        window->updatePage().selectRow(rowOf(QString::fromLatin1(c.file)));
        QString dialog;
        const QString seen = onNextModal([&] { window->runListCommand(ui::ListCommand::DatabaseEntry); },
                                         [&](QWidget* modal) -> QString {
                                             dialog = modal->objectName();
                                             if (auto* browser = qobject_cast<ui::TPluginDB*>(modal))
                                                 return browser->currentName();
                                             return modal->findChild<QLineEdit*>(u"edit_ID"_s)->text() +
                                                    u'|' +
                                                    modal->findChild<QLineEdit*>(u"edit_WEBID"_s)->text();
                                         });
        EXPECT_EQ(dialog, QString::fromLatin1(c.dialog));
        EXPECT_EQ(seen, QString::fromLatin1(c.seen));
        EXPECT_EQ(pages->currentIndex(), c.page);
    }
}

// The database browser from the status line: on the selected row's entry, counting what the
// status line counts.
TEST_F(WindowFaults, TheDatabaseBrowserOpensOnTheSelectedRow) {
    server = std::make_unique<test::FixtureServerProcess>();
    serve();
    ASSERT_TRUE(open());
    window->updatePage().selectRow(rowOf(u"samview.wlx64"_s));
    QString entries;
    const QString current = onNextModal(
        [&] { QTest::mouseClick(window->findChild<QWidget*>(u"lbl_databaseCount"_s), Qt::LeftButton); },
        [&](QWidget* modal) -> QString {
            entries = modal->findChild<QLabel*>(u"lbl_TotalEntry"_s)->text();
            auto* browser = qobject_cast<ui::TPluginDB*>(modal);
            return browser ? browser->currentName() : QString();
        });
    EXPECT_EQ(current, u"samview.wlx64"_s);
    EXPECT_EQ(entries, QString::number(core->databaseState().entryCount));
}

TEST_F(WindowFaults, TheInformationBoxShowsTheSelectedRowAtOnceAndEscapeClosesIt) {
    server = std::make_unique<test::FixtureServerProcess>();
    serve();
    ASSERT_TRUE(open());
    auto* box = window->findChild<ui::TInfobox*>();
    ASSERT_NE(box, nullptr);
    box->setActive(false);
    window->updatePage().selectRow(rowOf(u"samview.wlx64"_s));
    box->toggleAction()->trigger();
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->findChild<QLineEdit*>(u"edit_Name"_s)->text(), u"Sample Viewer"_s);
    // Its symbol buttons have names a screen reader can say.
    const QStringList named{u"btn_Close"_s, u"btn_VisitAuthorURL"_s, u"btn_VisitOnlineSite"_s};
    for (const QString& name : named)
        EXPECT_FALSE(box->findChild<QAbstractButton*>(name)->accessibleName().isEmpty())
            << name.toStdString();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());

    // Shift+F10 opens the row's context menu from the keyboard.
    QSignalSpy menu(&window->updatePage(), &ui::UpdatePage::contextMenuRequested);
    QTest::keyClick(&window->updatePage().view(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(menu.count(), 1);
}

// Without a stored position the window starts in the middle of the screen (Total Commander is not
// running here), and the box beside it stays on the screen however wide the window is.
TEST_F(WindowFaults, TheFirstStartCentresTheWindowAndKeepsTheBoxOnTheScreen) {
    server = std::make_unique<test::FixtureServerProcess>();
    serve();
    ASSERT_TRUE(open());
    const QRect room = window->screen()->availableGeometry();
    EXPECT_LE((window->frameGeometry().center() - room.center()).manhattanLength(), 2);
    window->resize(room.width() - 20, window->height());
    auto* box = window->findChild<ui::TInfobox*>();
    box->setActive(true);
    EXPECT_TRUE(room.contains(box->frameGeometry()))
        << box->frameGeometry().x() << "," << box->frameGeometry().y();
}

// After a check that never reached the catalogue, a marked row has no download address: the
// button says so instead of doing nothing.
TEST_F(WindowFaults, DownloadingWithoutAnAddressSaysWhy) {
    server = std::make_unique<test::FixtureServerProcess>();
    serve(u"fault/404/"_s);
    ASSERT_TRUE(open());
    ASSERT_TRUE(runCheck());
    // Known to no database: only the catalogue's list could have named its download.
    for (const QString& none : {u"samfield"_s, u"samfield.wdx64"_s}) {
        core->stores().userDb.removeSection(none);
        core->stores().pluginDb.removeSection(none);
    }
    for (int row = 0; row < list().rowCount(); ++row)
        core->updateList().setChecked(row, row == rowOf(u"samfield.wdx64"_s));
    window->btn_UpdateSelectedClick();
    EXPECT_EQ(window->downloadWindow(), nullptr);
    const QString told = prompter->unattendedTexts().join(u'\n');
    EXPECT_TRUE(told.contains(u"No download address is known"_s)) << told.toStdString();
    EXPECT_TRUE(told.contains(u"Sample Fields"_s)) << told.toStdString();
}

// The Configuration page: a wheel turned over a field without the focus scrolls the page and
// changes nothing; a setting changed elsewhere shows when the page is shown again.
TEST_F(WindowFaults, TheConfigurationPageTakesNoStrayWheelAndShowsCurrentSettings) {
    server = std::make_unique<test::FixtureServerProcess>();
    serve();
    ASSERT_TRUE(open());
    auto* pages = window->findChild<QTabWidget*>();
    pages->setCurrentIndex(ui::Ttc_Updater::TabConfig);
    auto* after = window->findChild<QComboBox*>(u"Config_PreInstallAction"_s);
    ASSERT_NE(after, nullptr);
    const int before = after->currentIndex();
    auto turn = [after] {
        QWheelEvent wheel(QPointF(5, 5), after->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(after, &wheel);
    };
    turn();
    EXPECT_EQ(after->currentIndex(), before);
    after->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([after] { return after->hasFocus(); }, 2000));
    turn();
    EXPECT_NE(after->currentIndex(), before);

    // The proxy's details are open only while a proxy is used.
    auto* proxyOn = window->findChild<QCheckBox*>(u"cb_ProxyEnabled"_s);
    auto* proxyAddress = window->findChild<QLineEdit*>(u"edit_ProxyAddress"_s);
    proxyOn->setChecked(false);
    EXPECT_FALSE(proxyAddress->isEnabled());
    proxyOn->setChecked(true);
    EXPECT_TRUE(proxyAddress->isEnabled());
    proxyOn->setChecked(false);

    pages->setCurrentIndex(ui::Ttc_Updater::TabUpdate);
    auto* detectTc = window->findChild<QCheckBox*>(u"cb_DoNotDetectTC"_s);
    core->settings().values.tcDisabled = !detectTc->isChecked();
    pages->setCurrentIndex(ui::Ttc_Updater::TabConfig);
    EXPECT_EQ(detectTc->isChecked(), core->settings().values.tcDisabled);
}

// While "abort the current task?" is asked nothing goes on; No resumes, Yes stops and closes.
TEST_F(WindowFaults, CancelHoldsTheDownloadWhileItAsks) {
    server = std::make_unique<test::FixtureServerProcess>();
    serve({}, "[Additional]\nOneTimeUpdateQuestion=True\n");
    ASSERT_TRUE(open());
    ASSERT_TRUE(runCheck());
    // The package trickles in: 64 bytes every 40 ms.
    core->settings().values.siteCatalogue = server->base() + u"fault/trickle/40/"_s;
    window->updatePage().selectRow(rowOf(u"sampack.wcx64"_s));
    window->runListCommand(ui::ListCommand::DownloadInstall);
    ui::TDownloadFiles* download = window->downloadWindow();
    ASSERT_NE(download, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([this] { return bytesBelow(downloads) > 0; }, 20000));
    prompter->setUnattendedAnswer(std::nullopt);
    auto* cancel = download->findChild<QPushButton*>(u"btn_Cancel"_s);

    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        SCOPED_TRACE(answer == QMessageBox::No ? "No" : "Yes");
        bool held = false;
        qint64 atAnswer = -1;
        onNextModal([&] { cancel->click(); },
                    [&](QWidget* modal) {
                        held = QTest::qWaitFor([download] { return download->transferHeld(); }, 20000);
                        atAnswer = bytesBelow(downloads);
                        // What the pass says after a stop needs nobody at the screen.
                        if (answer == QMessageBox::Yes)
                            prompter->setUnattendedAnswer(PromptAnswer::No);
                        qobject_cast<QMessageBox*>(modal)->button(answer)->click();
                        return QString();
                    });
        EXPECT_TRUE(held) << "the transfer went on behind the question";
        if (answer == QMessageBox::No) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return bytesBelow(downloads) > atAnswer; }, 20000));
            EXPECT_TRUE(download->isTransferring());
        }
    }
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->downloadWindow() == nullptr; }, 20000));
    EXPECT_EQ(bytesBelow(downloads), 0);
    EXPECT_EQ(list().state(rowOf(u"sampack.wcx64"_s)), ItemState::Update);
}

} // namespace
} // namespace quillon
