// The information box for a row with a user entry, a row only the plugin database knows and a
// row no database knows: what the entry label says, its colour, what a click asks for, and
// which pages the link buttons open.
#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "app/language.h"
#include "app/settings.h"
#include "gui/gui_fixture.h"
#include "inventory/update_list.h"
#include "support/test_support.h"
#include "ui/clickable_label.h"
#include "ui/db_colours.h"
#include "ui/file_icon.h"
#include "ui/info_box.h"
#include "ui/update_list_model.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

class InfoBoxTest : public test::GuiCoreTest {};

// The box over a started core's parts, as the main window builds it.
struct CoreInfobox : TInfobox {
    explicit CoreInfobox(AppCore& core)
        : TInfobox(core.language(), core.settings().values, core.stores(), core.updateCheckState(),
                   core.system()) {}
};

// The captions of a language take room from the box, not from the values beside them.
TEST_F(InfoBoxTest, AFileNameShowsWholeInEveryLanguage) {
    auto core = start(u"http://127.0.0.1:9/"_s);
    CoreInfobox box(*core);
    box.show();
    auto* field = box.findChild<QLineEdit*>(u"edit_OriginalFN"_s);
    for (const char* lcid : {"1033", "1049", "1058", "1038", "1063"}) {
        SCOPED_TRACE(lcid);
        core->language().LoadLanguage(QString::fromLatin1(lcid));
        box.retranslate();
        QCoreApplication::processEvents();
        EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(u"TOTALCMD64.EXE"_s));
    }
}

// GUI/ShowPlugIcons: the file's own icon beside the title, and in the list beside the name.
TEST_F(InfoBoxTest, TheFilesIconShowsWhenSwitchedOn) {
    if (!test::requireMingw())
        GTEST_SKIP() << "MinGW-w64 not available";
    auto core = start(u"http://127.0.0.1:9/"_s);
    const QString withIcon = QStringLiteral(QUILLON_GENERATED_DATA_DIR "/pe/ahk_script_64.exe");
    ASSERT_FALSE(fileIcon(withIcon).isNull());
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        core->settings().values.showPlugIcons = on;
        CoreInfobox box(*core);
        box.show();
        box.showItem(withIcon, u"Script"_s);
        auto* icon = box.findChild<QLabel*>(u"img_Icon"_s);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->isVisible(), on);
    }
    UpdateListModel model;
    UpdateList list;
    list.addRow(u"Script"_s, u"1"_s, withIcon, ItemGroup::Oth);
    model.reload(list);
    const QModelIndex name = model.index(0, UpdateListModel::NameColumn, model.groupIndex(ItemGroup::Oth));
    EXPECT_FALSE(model.data(name, Qt::DecorationRole).isValid());
    model.setShowIcons(true);
    EXPECT_FALSE(model.data(name, Qt::DecorationRole).value<QIcon>().isNull());
}

TEST_F(InfoBoxTest, EntryLabelLinksAndWhatAClickOpens) {
    auto core = start(u"http://127.0.0.1:9/"_s);
    core->stores().userDb.setText(u"[mine]\nWebsiteID=mine_web\nAuthorURL=http://author.example/\n"
                                  "DirectLink=file:///etc/passwd\nDescription=Mine\n"_s);
    CoreInfobox box(*core);
    struct Case {
        const char* file;
        const char* label;
        QColor colour;
        const char* signal;
        const char* author; // opened by the author button; empty: disabled
        const char* online; // opened by the online-site button; empty: disabled
        const char* description;
    };
    const Case cases[] = {
        {"mine.wlx64", "UserDB", kOnColour, SIGNAL(editUserEntryRequested(QString)), "http://author.example/",
         "http://127.0.0.1:9/plugring/mine_web.html", "Mine"},
        {"sampack.wcx64", "active", kOnColour, SIGNAL(browseDatabaseRequested(QString)), "", "",
         "Sample Packer archive plugin"},
        {"other.wfx64", "not found", kMissingColour, SIGNAL(addUserEntryRequested(QString)), "", "",
         "<info not available>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const int row = rowOf(*core, QString::fromLatin1(c.file));
        ASSERT_GE(row, 0);
        const QString path = core->updateList().row(row).FilePath;
        box.showItem(path, u"Title"_s);
        auto* label = box.findChild<ClickableLabel*>(u"label_DBentry"_s);
        EXPECT_EQ(label->text(), QString::fromLatin1(c.label));
        EXPECT_EQ(label->colour(), c.colour);
        EXPECT_EQ(box.findChild<QLineEdit*>(u"edit_Description"_s)->text(),
                  QString::fromLatin1(c.description));

        QSignalSpy spy(&box, c.signal);
        QTest::mouseClick(label, Qt::LeftButton);
        ASSERT_EQ(spy.size(), 1);
        EXPECT_EQ(spy.first().first().toString(), c.signal[1] == 'e' ? u"mine"_s : path);

        opened.urls.clear();
        for (const char* name : {"btn_VisitAuthorURL", "btn_VisitOnlineSite", "btn_DirectDownload"}) {
            auto* button = box.findChild<QAbstractButton*>(QString::fromLatin1(name));
            if (button->isEnabled())
                button->click();
        }
        QStringList expected;
        for (const char* url : {c.author, c.online}) {
            if (*url)
                expected.append(QString::fromLatin1(url));
        }
        // The direct link names a local file: it is never handed to the desktop.
        EXPECT_EQ(opened.urls, expected);
    }

    // Switching the plugin database off turns its rows' label orange and "inactive".
    core->settings().values.databaseEnabled = false;
    box.showItem(core->updateList().row(rowOf(*core, u"sampack.wcx64"_s)).FilePath, u"Title"_s);
    auto* label = box.findChild<ClickableLabel*>(u"label_DBentry"_s);
    EXPECT_EQ(label->text(), u"inactive"_s);
    EXPECT_EQ(label->colour(), kOffColour);
}

TEST_F(InfoBoxTest, CtrlQSwitchIsRemembered) {
    auto core = start();
    CoreInfobox box(*core);
    box.toggleAction()->trigger();
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(core->settings().values.showInfoBox);
    box.findChild<QAbstractButton*>(u"btn_Close"_s)->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(core->settings().values.showInfoBox);
}

} // namespace
} // namespace quillon::ui
