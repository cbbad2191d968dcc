// Excluding a file and a directory: the rows go at once, stay out after a reload and a restart,
// and come back once their line is removed from the list on the user database page.
#include <QAbstractButton>
#include <QListWidget>

#include "app/settings.h"
#include "gui/gui_fixture.h"
#include "inventory/update_list.h"
#include "ui/exclusion_list_widget.h"
#include "ui/item_exclusion.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

class ExclusionTest : public test::GuiCoreTest {};

TEST_F(ExclusionTest, ExcludedRowsStayOutUntilTheirLineIsRemoved) {
    {
        auto core = start();
        const QString sampack = core->updateList().row(rowOf(*core, u"sampack.wcx64"_s)).FilePath;
        const QString other = core->updateList().row(rowOf(*core, u"other.wfx64"_s)).FilePath;
        const ExclusionParts parts{core->updateList(), core->settings(), core->tc(),
                                   core->tcLocator(),  core->system(),   core->programPath()};
        EXPECT_EQ(excludeItems(parts, {sampack}, ExcludeMode::File), 1);
        EXPECT_EQ(excludeItems(parts, {other}, ExcludeMode::Directory), 1);
        // Total Commander's directory is never excluded as a whole.
        EXPECT_EQ(excludeItems(parts, {core->tc().exeFile}, ExcludeMode::Directory), 0);
        EXPECT_EQ(rowOf(*core, u"sampack.wcx64"_s), -1);
        EXPECT_EQ(rowOf(*core, u"other.wfx64"_s), -1);
        core->ReloadList();
        EXPECT_EQ(rowOf(*core, u"sampack.wcx64"_s), -1);
        EXPECT_EQ(rowOf(*core, u"other.wfx64"_s), -1);
        EXPECT_GE(rowOf(*core, u"mine.wlx64"_s), 0);
        ASSERT_TRUE(core->shutDown());
    }
    auto core = start();
    EXPECT_EQ(rowOf(*core, u"sampack.wcx64"_s), -1);
    EXPECT_EQ(rowOf(*core, u"other.wfx64"_s), -1);

    ExclusionListWidget widget(core->language(), core->settings());
    auto* list = widget.findChild<QListWidget*>(u"m_ExceptionList"_s);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), u"%COMMANDER_PATH%/plugins/wcx/sampack/sampack.wcx64"_s);
    EXPECT_EQ(list->item(1)->text(), u"%COMMANDER_PATH%/plugins/wfx/other"_s);
    list->item(0)->setSelected(true);
    widget.findChild<QAbstractButton*>(u"btn_RemoveException"_s)->click();
    core->ReloadList();
    EXPECT_GE(rowOf(*core, u"sampack.wcx64"_s), 0);
    EXPECT_EQ(rowOf(*core, u"other.wfx64"_s), -1);
}

} // namespace
} // namespace quillon::ui
