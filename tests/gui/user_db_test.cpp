// Adding, editing and deleting user database entries: each change is in userdb.ini at once, so a
// restart finds it, also after a process that was killed instead of shut down.
#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QFile>
#include <QLineEdit>
#include <QTableView>

#include "app/settings.h"
#include "gui/gui_fixture.h"
#include "support/test_support.h"
#include "ui/user_db_list.h"
#include "ui/user_db_model.h"
#include "ui/user_db_modify.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

class UserDbTest : public test::GuiCoreTest {
protected:
    static UserDbParts userDbParts(AppCore& core) {
        return {core.language(), core.settings().values, core.stores(), core.prompter()};
    }
    static void fill(TUserDBModify& editor,
                     std::initializer_list<std::pair<const char*, const char*>> fields) {
        for (const auto& [name, text] : fields)
            editor.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromUtf8(text));
    }
    static QAbstractButton* saveButton(TUserDBModify& editor) {
        return editor.findChild<QAbstractButton*>(u"btn_Save"_s);
    }
    QByteArray userDbFile() const { return test::readFile(settingsDir + u"/userdb.ini"_s); }
};

TEST_F(UserDbTest, AddEditDeleteSurviveRestartAndKill) {
    {
        auto core = start();
        TUserDBModify editor(userDbParts(*core), {}, {});
        fill(editor, {{"edit_ID", "newone"}});
        EXPECT_FALSE(saveButton(editor)->isEnabled()); // an identifier alone is not enough
        fill(editor, {{"edit_WEBID", " newweb "}, {"edit_Description", "Mine"}});
        ASSERT_TRUE(saveButton(editor)->isEnabled());
        saveButton(editor)->click();
        EXPECT_TRUE(userDbFile().contains("[newone]"));
        // The core goes without a shutdown, as a killed process would.
    }
    {
        auto core = start();
        UserDbList page(userDbParts(*core));
        QAbstractItemModelTester tester(&page.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        ASSERT_EQ(page.model().rowOfId(u"newone"_s), 0);
        EXPECT_EQ(page.model().index(0, UserDbModel::WebColumn).data().toString(), u"newweb"_s);

        TUserDBModify editor(userDbParts(*core), u"newone"_s, u"newweb"_s);
        EXPECT_TRUE(editor.isEditing());
        EXPECT_EQ(editor.findChild<QLineEdit*>(u"edit_Description"_s)->text(), u"Mine"_s);
        fill(editor, {{"edit_ID", "renamed"}, {"edit_AuthorURL", "http://author.example/"}});
        saveButton(editor)->click();
        const QByteArray text = userDbFile();
        EXPECT_TRUE(text.contains("[renamed]") && !text.contains("[newone]")) << text.toStdString();
        page.reload();
        EXPECT_EQ(page.model().index(0, UserDbModel::LinksColumn).data().toString(), u"AU"_s);
        ASSERT_TRUE(core->shutDown());
    }
    {
        auto core = start();
        UserDbList page(userDbParts(*core));
        page.selectEntry(u"renamed"_s);
        prompter.queueAnswer(PromptAnswer::No);
        page.deleteSelected();
        EXPECT_EQ(page.model().rowCount(), 1);
        prompter.queueAnswer(PromptAnswer::Yes);
        page.deleteSelected();
        EXPECT_EQ(page.model().rowCount(), 0);
        // The last entry gone: no file is left behind.
        EXPECT_FALSE(QFile::exists(settingsDir + u"/userdb.ini"_s));
    }
    auto core = start();
    EXPECT_EQ(UserDbList(userDbParts(*core)).model().rowCount(), 0);
}

} // namespace
} // namespace quillon::ui
