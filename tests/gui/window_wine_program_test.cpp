// The Wine program setting: the one Quillon.ini names decides from start-up on, the status bar
// says when it cannot be run, and the user's edit on the Configuration page applies at once and
// is written at exit.
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "app/language.h"
#include "app/settings.h"
#include "app/system.h"
#include "app/tc_window_note.h"
#include "job_runner.h"
#include "platform/tc_window_programs_wine.h"
#include "support/test_support.h"
#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class WindowWineProgram : public test::WindowTest {
protected:
    QString status() const { return window->findChild<QLabel*>(u"lbl_status"_s)->text(); }
    QString note(platform::TcWindowProblem problem) const { return TcWindowNote(problem, core->language()); }
};

TEST_F(WindowWineProgram, TheSettingDecidesAndAnEditAppliesAtOnce) {
    const QString missing = content + u"/missing/wine"_s;
    serve({}, "[Wine]\nProgram=" + missing.toUtf8() + "\n");
    ASSERT_TRUE(open());
    EXPECT_EQ(status(), note(platform::TcWindowProblem::WineMissing));
    auto* edit = window->findChild<QLineEdit*>(u"edit_WineProgram"_s);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), missing);

    // The user empties the field: the system's Wine is used from the next call on.
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_TRUE(core->settings().values.wineProgram.isEmpty());
    EXPECT_EQ(core->system().tcWindow().lastProblem(), platform::TcWindowProblem::None);
    window->ReloadList();
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return core->InventoryDone && !window->jobs().isRunning(); }, 20000));
    const bool systemHasWine = !platform::findWineProgram({}).empty();
    EXPECT_EQ(status(), systemHasWine ? QString() : note(platform::TcWindowProblem::WineMissing));

    QTest::keyClicks(edit, missing);
    close();
    const QByteArray written = test::readFile(settings + u"/Quillon.ini"_s);
    EXPECT_TRUE(written.contains("[Wine]") && written.contains(QByteArray("Program=" + missing.toUtf8())))
        << written.toStdString();
}

} // namespace
} // namespace quillon
