// The main window driven as a user drives it, against a copy of the sample installation and the
// fixture server.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "app/common/checksums.h"
#include "app/language.h"
#include "app/settings.h"
#include "inventory/update_list.h"
#include "job_runner.h"
#include "support/test_support.h"
#include "update_list_model.h"
#include "update_list_view.h"
#include "update_page.h"
#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const QByteArray kRecords = "intro|An unrelated first record|0.1|01.01.2020|util|x32| "
                            "sampack|Sample Packer|2.2|15.09.2024|packer|x64|x64| "
                            "samplefs|Sample FS|3.2|15.09.2020|fsplugin|x64| ";

class MainWindow : public test::WindowTest {
protected:
    ui::UpdatePage& page() { return window->updatePage(); }
    ui::UpdateListModel& model() { return page().model(); }
    QStringList rowFiles() const {
        QStringList files;
        for (const UpdateItem& item : list().rows())
            files.append(QFileInfo(item.FilePath).fileName());
        return files;
    }
    void openChecked() {
        cataloguePage(kRecords);
        serve();
        ASSERT_TRUE(open());
        ASSERT_TRUE(runCheck());
        ASSERT_FALSE(window->lastCheck().cancelled);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&page().view(), static_cast<Qt::Key>(key), modifiers);
    }
};

TEST_F(MainWindow, StartUpFillsTheGroupsAndACheckGivesStatesAndCounts) {
    cataloguePage(kRecords);
    serve();
    ASSERT_TRUE(open());
    QAbstractItemModelTester tester(&model(), QAbstractItemModelTester::FailureReportingMode::Fatal);

    // Groups in their order, rows below them, versions as the inventory found them.
    QStringList groups;
    for (int g = 0; g < model().rowCount(); ++g)
        groups.append(model().index(g, 0).data().toString());
    EXPECT_EQ(groups,
              (QStringList{u"Total Commander"_s, u"Packer plugins (.wcx)"_s, u"File system plugins (.wfx)"_s,
                           u"Lister plugins (.wlx)"_s, u"Content plugins (.wdx)"_s, u"Quillon"_s}));
    EXPECT_EQ(model().rowCount(model().groupIndex(ItemGroup::Wcx)), 2);
    const int sampack = rowOf(u"sampack.wcx64"_s);
    ASSERT_GE(sampack, 0);
    EXPECT_EQ(model().indexOfRow(sampack, ui::UpdateListModel::InstalledColumn).data().toString(), u"2.1"_s);
    EXPECT_EQ(model().indexOfRow(sampack, ui::UpdateListModel::StatusColumn).data().toString(),
              u"Unknown."_s);
    EXPECT_EQ(model().indexOfRow(sampack, 0).data(Qt::ToolTipRole).toString(), list().row(sampack).FilePath);
    EXPECT_EQ(model().rowCountTotal(), 9);

    // A group the user closed stays closed when the check refreshes the rows.
    ui::UpdateListView& view = window->updatePage().view();
    view.collapse(model().groupIndex(ItemGroup::Wlx));
    ASSERT_TRUE(runCheck());
    ASSERT_FALSE(window->lastCheck().cancelled);
    EXPECT_FALSE(view.isExpanded(model().groupIndex(ItemGroup::Wlx)));
    EXPECT_TRUE(view.isExpanded(model().groupIndex(ItemGroup::Wcx)));
    const QModelIndex status = model().indexOfRow(sampack, ui::UpdateListModel::StatusColumn);
    EXPECT_EQ(status.data().toString(), u"Update available!"_s);
    EXPECT_EQ(status.data(Qt::ForegroundRole).value<QColor>(), QColor(0xF9, 0x8D, 0x00));
    EXPECT_TRUE(status.data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(model().indexOfRow(sampack, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(model().indexOfRow(0, ui::UpdateListModel::StatusColumn).data().toString(), u"OK."_s);
    EXPECT_EQ(model().indexOfRow(0, ui::UpdateListModel::LatestColumn).data().toString(), u"11.51"_s);

    const int updatable = list().countInState(ItemState::Update);
    EXPECT_GE(updatable, 1);
    EXPECT_EQ(window->findChild<QLabel*>(u"lbl_TotalUpdateNum"_s)->text(),
              u"%1 / 9 items checked for update."_s.arg(list().checkedCount()));
    EXPECT_EQ(window->findChild<QRadioButton*>(u"rb_Updatable"_s)->text(),
              u"Updatable items only (%1)"_s.arg(updatable));
    EXPECT_EQ(window->findChild<QRadioButton*>(u"rb_All"_s)->text(), u"All items (9)"_s);
    EXPECT_TRUE(window->findChild<QPushButton*>(u"btn_UpdateSelected"_s)->isEnabled());
    EXPECT_TRUE(prompter->unattendedTexts().isEmpty())
        << prompter->unattendedTexts().join(u'\n').toStdString();
}

TEST_F(MainWindow, FiltersAndQuickSearchKeepMarksAndStates) {
    ASSERT_NO_FATAL_FAILURE(openChecked());
    const int sampack = rowOf(u"sampack.wcx64"_s);
    ASSERT_GE(sampack, 0) << rowFiles().join(u',').toStdString();
    ASSERT_TRUE(model().setData(model().indexOfRow(sampack, 0), Qt::Unchecked, Qt::CheckStateRole));
    const int total = list().rowCount();

    page().rb_UpdatableClick();
    for (int row = 0; row < list().rowCount(); ++row)
        EXPECT_EQ(list().state(row), ItemState::Update);
    ASSERT_GE(rowOf(u"sampack.wcx64"_s), 0);
    EXPECT_FALSE(list().row(rowOf(u"sampack.wcx64"_s)).Checked);
    EXPECT_EQ(core->settings().values.showItemType, 1);

    page().rb_AllClick();
    EXPECT_EQ(list().rowCount(), total);
    EXPECT_FALSE(list().row(rowOf(u"sampack.wcx64"_s)).Checked);

    // Ctrl+S, typing on the strip: the name or the file name, any letter case.
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(page().quickSearchOpen());
    auto* edit = window->findChild<QLineEdit*>(u"edit_Search"_s);
    QTest::keyClicks(edit, u"FIEL"_s);
    EXPECT_EQ(rowFiles(), QStringList{u"samfield.wdx64"_s});
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, u"ELDS"_s); // "FIELDS": the name only
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, u"wdx6"_s); // the file name only
    EXPECT_EQ(rowFiles(), QStringList{u"samfield.wdx64"_s});
    auto* result = window->findChild<QLabel*>(u"lbl_SearchResult"_s);
    EXPECT_EQ(result->text(), u"1 of %1 shown"_s.arg(total));
    QTest::keyClicks(edit, u"zz"_s);
    EXPECT_EQ(result->text(), u"No match"_s);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    // A mark set while narrowed survives the way back.
    const int field = rowOf(u"samfield.wdx64"_s);
    const bool fieldChecked = list().row(field).Checked;
    ASSERT_TRUE(model().setData(model().indexOfRow(field, 0), fieldChecked ? Qt::Unchecked : Qt::Checked,
                                Qt::CheckStateRole));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(page().quickSearchOpen());
    EXPECT_EQ(list().rowCount(), 1) << "the narrowing stays after the strip closed";
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(list().rowCount(), total);
    EXPECT_EQ(list().row(rowOf(u"samfield.wdx64"_s)).Checked, !fieldChecked);
    EXPECT_EQ(list().state(rowOf(u"sampack.wcx64"_s)), ItemState::Update);
    EXPECT_FALSE(list().row(rowOf(u"sampack.wcx64"_s)).Checked);
}

// After a quick search, the filter checked before it is checked again.
TEST_F(MainWindow, TheFilterCheckedBeforeAQuickSearchIsCheckedAfterIt) {
    ASSERT_NO_FATAL_FAILURE(openChecked());
    page().rb_UpdatableClick();
    const int updatable = list().rowCount();
    auto* filter = window->findChild<QRadioButton*>(u"rb_Updatable"_s);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(filter->isChecked());
    auto* edit = window->findChild<QLineEdit*>(u"edit_Search"_s);
    QTest::keyClicks(edit, u"wdx6"_s);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(filter->isChecked());
    EXPECT_EQ(list().rowCount(), updatable);
    // Closed without typing anything: the same.
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(filter->isChecked());
    EXPECT_EQ(core->settings().values.showItemType, 1);
    EXPECT_EQ(list().rowCount(), updatable);
}

// The menu names Ctrl+keypad plus and minus as the keypad's keys, not the main block's.
TEST_F(MainWindow, TheMenuNamesTheKeypadKeys) {
    ASSERT_NO_FATAL_FAILURE(openChecked());
    core->settings().values.showMenuShortcuts = true;
    std::unique_ptr<QMenu> menu(window->buildContextMenu());
    for (const char* name : {"MarkAll", "UnmarkAll"}) {
        auto* action = menu->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        ASSERT_FALSE(action->shortcut().isEmpty()) << name;
        EXPECT_TRUE(action->shortcut()[0].keyboardModifiers() & Qt::KeypadModifier) << name;
        EXPECT_TRUE(action->shortcut().toString(QKeySequence::NativeText).contains(u"Num"_s)) << name;
    }
}

// A narrow window narrows the columns beside the names instead of hiding the names; a wide one
// gives them their widths back.
TEST_F(MainWindow, TheNamesKeepTheirShareOfANarrowList) {
    ASSERT_NO_FATAL_FAILURE(openChecked());
    ui::UpdateListView& view = page().view();
    window->resize(1200, 620);
    QCoreApplication::processEvents();
    const int installed = view.columnWidth(1);
    window->resize(window->minimumWidth(), 620);
    QCoreApplication::processEvents();
    EXPECT_GE(view.columnWidth(0), view.viewport()->width() * 2 / 5 - 2);
    EXPECT_LT(view.columnWidth(1), installed);
    window->resize(1200, 620);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.columnWidth(1), installed);
}

TEST_F(MainWindow, KeyboardTableAndCopyFormats) {
    ASSERT_NO_FATAL_FAILURE(openChecked());
    test::UrlCatcher urls;
    const int sampack = rowOf(u"sampack.wcx64"_s);
    const QString path = list().row(sampack).FilePath;
    const QString crc = QString::number(FileCrc32OrZero(path));
    QClipboard* clipboard = QApplication::clipboard();
    page().view().setFocus();

    struct Case {
        const char* what;
        QList<int> select;
        int key;
        Qt::KeyboardModifiers modifiers;
        std::function<void()> verify;
    };
    const Case cases[] = {
        {"Right from the first row reaches the first update",
         {0},
         Qt::Key_Right,
         Qt::NoModifier,
         [&] { EXPECT_EQ(page().currentRow(), list().state(1) == ItemState::Update ? 1 : sampack); }},
        {"Left from row 1 reaches row 0 only when it is an update",
         {1},
         Qt::Key_Left,
         Qt::NoModifier,
         [&] { EXPECT_EQ(page().currentRow(), 1); }},
        {"Ctrl+A selects every row",
         {0},
         Qt::Key_A,
         Qt::ControlModifier,
         [&] { EXPECT_EQ(page().selectedRows().size(), list().rowCount()); }},
        {"Ctrl+keypad minus unmarks the selection",
         {sampack},
         Qt::Key_Minus,
         Qt::ControlModifier | Qt::KeypadModifier,
         [&] { EXPECT_FALSE(list().row(sampack).Checked); }},
        {"Ctrl+keypad plus marks it again",
         {sampack},
         Qt::Key_Plus,
         Qt::ControlModifier | Qt::KeypadModifier,
         [&] { EXPECT_TRUE(list().row(sampack).Checked); }},
        {"Ctrl+C",
         {sampack},
         Qt::Key_C,
         Qt::ControlModifier,
         [&] { EXPECT_EQ(clipboard->text(), u"sampack.wcx64\t2.1\t2.2\tUpdate available!"_s); }},
        {"Ctrl+Shift+C",
         {sampack},
         Qt::Key_C,
         Qt::ControlModifier | Qt::ShiftModifier,
         [&] { EXPECT_EQ(clipboard->text(), crc + u"\tsampack.wcx64\tSample Packer\t2.1\t2.2\t1"_s); }},
        {"Ctrl+G",
         {sampack},
         Qt::Key_G,
         Qt::ControlModifier,
         [&] { EXPECT_EQ(clipboard->text(), u"[sampack.wcx64]\n"_s + crc + u"=2.1"_s); }},
        {"Ctrl+Shift+W opens the catalogue page",
         {sampack},
         Qt::Key_W,
         Qt::ControlModifier | Qt::ShiftModifier,
         [&] {
             ASSERT_EQ(urls.urls.size(), 1);
             EXPECT_EQ(urls.urls.first().toString(), server->base() + u"plugring/sampack.html"_s);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        urls.urls.clear();
        clipboard->clear();
        page().selectRows(c.select);
        key(c.key, c.modifiers);
        c.verify();
    }
}

TEST_F(MainWindow, TooManyPagesAreRefusedAndTheWebSearchQuotesTheName) {
    ASSERT_NO_FATAL_FAILURE(openChecked());
    test::UrlCatcher urls;
    QList<int> all;
    for (int row = 0; row < list().rowCount(); ++row)
        all.append(row);
    page().selectRows(all + all.mid(0, 2)); // nine rows, two of them named twice
    window->runListCommand(ui::ListCommand::OpenWebPages);
    // The rows the catalogue knows, in their order, 80 ms apart; both database rows have the
    // database's page, the other plugins and the program none.
    QStringList expected;
    for (const char* name : {"totalcmd", "sampack", "samplefs", "tcplugindb", "tcplugindb"})
        expected.append(server->base() + u"plugring/"_s + QLatin1String(name) + u".html"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return urls.urls.size() >= expected.size(); }, 10000))
        << urls.urls.size();
    QStringList opened;
    for (const QUrl& url : urls.urls)
        opened.append(url.toString());
    EXPECT_EQ(opened, expected);

    // Eleven selected rows open nothing and say why.
    urls.urls.clear();
    core->updateList();
    for (int i = 0; i < 2; ++i)
        core->updateList().addRow(u"Extra"_s, u"1"_s, u"/x/extra%1.wlx"_s.arg(i), ItemGroup::Wlx);
    core->updateList().takeSnapshot();
    page().reloadFromCore();
    all.clear();
    for (int row = 0; row < list().rowCount(); ++row)
        all.append(row);
    page().selectRows(all);
    window->runListCommand(ui::ListCommand::OpenWebPages);
    // The first page would have opened at once.
    EXPECT_TRUE(urls.urls.isEmpty());
    ASSERT_FALSE(prompter->unattendedTexts().isEmpty());
    EXPECT_TRUE(prompter->unattendedTexts().last().startsWith(u"Error: Too many selected items..."_s));
}

TEST_F(MainWindow, ALanguageChoiceRetranslatesEverythingAtOnce) {
    ASSERT_NO_FATAL_FAILURE(openChecked());
    const int sampack = rowOf(u"sampack.wcx64"_s);
    window->LNGPopupItemClick(1031);
    const Language& german = core->language();
    EXPECT_EQ(german.currentShortName(), u"DEU"_s);
    EXPECT_EQ(model().indexOfRow(sampack, ui::UpdateListModel::StatusColumn).data().toString(),
              german.statusUpdate());
    EXPECT_NE(german.statusUpdate(), u"Update available!"_s);
    auto* tabs = window->findChild<QTabWidget*>(u"tcUpdater_Pages"_s);
    EXPECT_EQ(tabs->tabText(1), german.text(u"CaptionsMainFrm"_s, u"Tab_Config"_s, {}));
    EXPECT_EQ(model().headerData(0, Qt::Horizontal).toString(),
              german.text(u"CaptionsMainFrm"_s, u"Update_Name"_s, {}));
    EXPECT_TRUE(window->findChild<QRadioButton*>(u"rb_All"_s)
                    ->text()
                    .startsWith(german.text(u"CaptionsMainFrm"_s, u"ShowAllItems"_s, {})));
    EXPECT_TRUE(list().row(sampack).Checked);
    close();
    EXPECT_TRUE(test::readFile(settings + u"/Quillon.ini"_s).contains("CurrentLng=DEU"));
}

TEST_F(MainWindow, AConfigurationChangeSurvivesARestart) {
    cataloguePage(kRecords);
    serve();
    ASSERT_TRUE(open());
    window->findChild<QCheckBox*>(u"cb_ProductionEnv"_s)->click();
    window->findChild<QSpinBox*>(u"edit_HttpTimeOut"_s)->setValue(4500);
    window->findChild<QSpinBox*>(u"edit_ParallelDownloads"_s)->setValue(2);
    EXPECT_TRUE(core->settings().values.tcDoNotAcceptBeta) << "applied while running";
    close();
    ASSERT_TRUE(open());
    EXPECT_TRUE(window->findChild<QCheckBox*>(u"cb_ProductionEnv"_s)->isChecked());
    EXPECT_EQ(window->findChild<QSpinBox*>(u"edit_HttpTimeOut"_s)->value(), 4500);
    EXPECT_EQ(window->findChild<QSpinBox*>(u"edit_ParallelDownloads"_s)->value(), 2);
}

// The package setting is a number from a set per kind; the control names the kind, keeps a
// number it does not know, and writes the selector's own value once the user picks one.
TEST_F(MainWindow, ThePackageChoiceShowsItsKindAndKeepsAnUnknownNumber) {
    cataloguePage(kRecords);
    const struct {
        int stored;
        int shownIndex;
        QString shownText;
    } cases[] = {{64, 2, u"x64 only"_s}, {3264, 0, u"x86+x64 (unified)"_s}, {7, 3, u"7"_s}};
    for (const auto& c : cases) {
        serve({}, "[Total Commander]\nDownloadPackage=" + QByteArray::number(c.stored) + "\n");
        ASSERT_TRUE(open());
        auto* box = window->findChild<QComboBox*>(u"cb_DownloadPackage"_s);
        EXPECT_EQ(box->currentIndex(), c.shownIndex) << c.stored;
        EXPECT_EQ(box->currentText(), c.shownText) << c.stored;
        EXPECT_EQ(modeNumber(core->settings().values.tcDownloadPackage), c.stored) << "shown, not rewritten";
        box->setCurrentIndex(0);
        QTest::keyClick(box, Qt::Key_Down); // the user picks the x86 package
        EXPECT_EQ(core->settings().values.tcDownloadPackage, PackageChoice::X86) << c.stored;
        close();
    }
}

TEST_F(MainWindow, ACheckCancelledFromTheWindowLeavesTheListAsItWas) {
    cataloguePage(kRecords);
    // The catalogue answers after thirty seconds.
    serve(u"fault/slow/30000/"_s, "[Total Commander]\nDisabled=False\n");
    ASSERT_TRUE(open());
    const QList<UpdateItem> before = list().rows();
    QSignalSpy finished(window.get(), &ui::Ttc_Updater::checkFinished);
    window->btn_SearchUpdatesClick();
    ASSERT_TRUE(window->jobs().isRunning());
    ASSERT_TRUE(server->waitForRequest(u"/fault/slow/"_s)) << "the catalogue was never asked for";
    window->findChild<QPushButton*>(u"btn_SearchUpdates"_s)->click();
    // Far from the catalogue's answer: the check did not wait for it.
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(window->lastCheck().cancelled);
    EXPECT_EQ(list().rows(), before);
    EXPECT_TRUE(prompter->unattendedTexts().isEmpty())
        << prompter->unattendedTexts().join(u'\n').toStdString();
    EXPECT_TRUE(window->findChild<QPushButton*>(u"btn_SearchUpdates"_s)->isEnabled());
}

TEST_F(MainWindow, TheAutostartSwitchSearchesOnceTheListIsLoaded) {
    cataloguePage(kRecords);
    serve();
    ASSERT_TRUE(open({u"-AutoStart"_s}));
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return !window->jobs().isRunning() && list().countInState(ItemState::Update) > 0; }, 20000));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillon " QUILLON_VERSION));
}

TEST_F(MainWindow, SafeModeMarksTheCaptionAndLocksItsOptions) {
    cataloguePage(kRecords);
    serve();
    ASSERT_TRUE(open({u"/safe"_s, u"/notc"_s}));
    EXPECT_TRUE(window->windowTitle().endsWith(u" [SAFE]"_s));
    for (const QString& name : {u"cb_IntelliPlugVer"_s, u"cb_DoNotLoad3rdPApps"_s, u"cb_InstallPackages"_s})
        EXPECT_FALSE(window->findChild<QCheckBox*>(name)->isEnabled()) << name.toStdString();
    auto* detectTc = window->findChild<QCheckBox*>(u"cb_DoNotDetectTC"_s);
    EXPECT_FALSE(detectTc->isEnabled());
    EXPECT_FALSE(detectTc->isChecked());
}

} // namespace
} // namespace quillon
