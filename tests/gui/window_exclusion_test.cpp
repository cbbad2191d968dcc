// Excluding rows through the main window's context menu: a file, a directory and the marked
// rows go at once, stay out after a reload and a restart, and one comes back when its line is
// removed on the user database page.
#include <QAbstractButton>
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include "inventory/update_list.h"
#include "job_runner.h"
#include "update_list_model.h"
#include "update_page.h"
#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class WindowExclusion : public test::WindowTest {
protected:
    // Selects the row of fileName (when given) and runs the exclusion command of the menu.
    bool exclude(const QString& fileName, const char* command) {
        if (!fileName.isEmpty())
            window->updatePage().selectRow(rowOf(fileName));
        QMenu* menu = window->buildContextMenu();
        auto* action = menu->findChild<QAction*>(QString::fromLatin1(command));
        const bool enabled = action && action->isEnabled();
        if (enabled)
            action->trigger();
        menu->deleteLater();
        return enabled;
    }
    bool reload() {
        window->ReloadList();
        return QTest::qWaitFor([this] { return core->InventoryDone && !window->jobs().isRunning(); }, 20000);
    }
    QStringList shownLines() const {
        QStringList lines;
        auto* list = window->findChild<QListWidget*>(u"m_ExceptionList"_s);
        for (int i = 0; list && i < list->count(); ++i)
            lines.append(list->item(i)->text());
        return lines;
    }
};

TEST_F(WindowExclusion, ExcludedRowsStayOutAfterReloadAndRestart) {
    serve();
    ASSERT_TRUE(open());
    const int total = window->updatePage().model().rowCountTotal();
    ASSERT_GE(rowOf(u"samview.wlx64"_s), 0);
    // Total Commander's own directory never goes as a whole.
    EXPECT_FALSE(exclude(core->tc().exeFile.section(u'/', -1), "Exclude_Sub2"));
    EXPECT_TRUE(exclude(u"sampack.wcx64"_s, "Exclude_Sub1"));
    EXPECT_TRUE(exclude(u"samplefs.wfx64"_s, "Exclude_Sub2"));
    // Marked rows: only samview.wlx64 is marked.
    for (int row = 0; row < list().rowCount(); ++row)
        core->updateList().setChecked(row,
                                      QFileInfo(list().row(row).FilePath).fileName() == u"samview.wlx64"_s);
    EXPECT_TRUE(exclude(u"samview.wlx64"_s, "Exclude_Sub3"));
    const QStringList gone{u"sampack.wcx64"_s, u"samplefs.wfx64"_s, u"samview.wlx64"_s};
    const auto allOut = [&] {
        for (const QString& file : gone)
            EXPECT_EQ(rowOf(file), -1) << file.toStdString();
    };
    allOut();
    EXPECT_EQ(window->updatePage().model().rowCountTotal(), total - 3);
    EXPECT_EQ(shownLines().size(), 3) << shownLines().join(u" | "_s).toStdString();

    ASSERT_TRUE(reload());
    allOut();
    close();
    ASSERT_TRUE(open());
    allOut();
    const QStringList lines = shownLines();
    ASSERT_EQ(lines.size(), 3);

    // The directory's line removed on the user database page: its row is back at the next pass.
    auto* shown = window->findChild<QListWidget*>(u"m_ExceptionList"_s);
    const int directory = static_cast<int>(lines.indexOf(u"%COMMANDER_PATH%/plugins/wfx/samplefs"_s));
    ASSERT_GE(directory, 0) << lines.join(u" | "_s).toStdString();
    shown->item(directory)->setSelected(true);
    window->findChild<QAbstractButton*>(u"btn_RemoveException"_s)->click();
    ASSERT_TRUE(reload());
    EXPECT_GE(rowOf(u"samplefs.wfx64"_s), 0);
    EXPECT_EQ(rowOf(u"sampack.wcx64"_s), -1);
}

} // namespace
} // namespace quillon
