// The Configuration page as a user meets it: it fits the narrowest window in every language,
// numbers show by their names, the Wine prefix and the daily check switch as they say.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "config_page.h"
#include "platform/daily_check_timer.h"
#include "support/test_support.h"
#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class ConfigPageTest : public test::WindowTest {
protected:
    ui::ConfigPage& page() { return window->configPage(); }
    void showPage() {
        window->findChild<QTabWidget*>()->setCurrentIndex(ui::Ttc_Updater::TabConfig);
        QCoreApplication::processEvents();
    }
};

// What a user would see cut off: a widget reaching past the page's right edge, a caption or
// a choice narrower than its text, a path field too narrow to read.
QStringList clipped(QWidget* content, int viewportWidth) {
    QStringList found;
    if (content->width() > viewportWidth)
        found << u"page %1 px wide in a %2 px view"_s.arg(content->width()).arg(viewportWidth);
    for (QWidget* w : content->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->objectName().startsWith(u"qt_"_s))
            continue;
        const QRect r(w->mapTo(content, QPoint(0, 0)), w->size());
        const QString name =
            w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        if (r.right() >= viewportWidth)
            found << name + u" ends at %1"_s.arg(r.right());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap() ? label->height() < label->heightForWidth(label->width())
                                  : label->width() < label->sizeHint().width())
                found << u"label \""_s + label->text() +
                             u"\" %1x%2 hfw %3 hint %4"_s.arg(label->width())
                                 .arg(label->height())
                                 .arg(label->heightForWidth(label->width()))
                                 .arg(label->sizeHint().width());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            if (combo->sizeAdjustPolicy() == QComboBox::AdjustToContents &&
                combo->width() < combo->sizeHint().width())
                found << u"choice "_s + name;
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (!button->text().isEmpty() && button->width() < button->sizeHint().width())
                found << u"button \""_s + button->text() + u'"';
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            if (edit->width() < 150)
                found << name + u" only %1 px"_s.arg(edit->width());
        }
    }
    return found;
}

TEST_F(ConfigPageTest, NothingIsClippedAtTheNarrowestWidthInAnyLanguage) {
    serve();
    ASSERT_TRUE(open());
    showPage();
    auto* scroll = page().findChild<QScrollArea*>();
    QWidget* inside = scroll->widget();
    for (const quint32 lcid : {1029u, 1030u, 1031u, 1033u, 1036u, 1038u, 1040u, 1043u, 1045u, 1049u, 1051u,
                               1053u, 1058u, 1060u, 1063u, 2052u, 3082u}) {
        SCOPED_TRACE(lcid);
        window->LNGPopupItemClick(lcid);
        // The narrowest the window gets in this language (the buttons below the pages may ask
        // for more than the default).
        const int width = std::max(491, window->minimumWidth());
        window->resize(width, 600);
        // Measured once the window has taken its width and the layouts that asked have run.
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->width() == width; }, 20000));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QStringList found = clipped(inside, scroll->viewport()->width());
        EXPECT_TRUE(found.isEmpty()) << found.join(u"; "_s).toStdString();
    }
}

TEST_F(ConfigPageTest, NumbersShowByTheirNamesAndKeepUnknownValues) {
    serve({}, "[Configuration]\nPostInstallAction=5\n[Plugins]\nChecksumDBstate=9\n");
    ASSERT_TRUE(open());
    showPage();
    SettingValues& values = core->settings().values;
    auto* checksum = page().findChild<QComboBox*>(u"Config_ChecksumDBstate"_s);
    ASSERT_NE(checksum, nullptr);
    EXPECT_EQ(checksum->currentText(), u"9"_s);
    EXPECT_EQ(checksum->itemText(0), u"Not used for plugins"_s);
    auto* backup = page().findChild<QComboBox*>(u"Config_PreInstallAction"_s);
    EXPECT_EQ(backup->currentText(), u"Back up every replaced file"_s);
    backup->setCurrentIndex(2);
    emit backup->activated(2);
    EXPECT_EQ(values.preInstallAction, BackupBeforeInstall::TextFilesOnly);

    auto flag = [this](const char* name) { return page().findChild<QCheckBox*>(QString::fromLatin1(name)); };
    EXPECT_TRUE(flag("cb_PostInstallDeletePackage")->isChecked());
    EXPECT_FALSE(flag("cb_PostInstallDeleteInfo")->isChecked());
    EXPECT_TRUE(flag("cb_PostInstallDeleteOther")->isChecked());
    flag("cb_PostInstallDeleteInfo")->click();
    EXPECT_EQ(modeNumber(values.postInstallAction), 7);
    flag("cb_PostInstallDeletePackage")->click();
    EXPECT_EQ(modeNumber(values.postInstallAction), 6);
    // The caption beside a box clicks it too, and names it for screen readers.
    auto* caption = page().findChild<QLabel*>(u"cb_PostInstallDeletePackage_caption"_s);
    ASSERT_NE(caption, nullptr);
    QTest::mouseClick(caption, Qt::LeftButton);
    EXPECT_EQ(modeNumber(values.postInstallAction), 7);
    EXPECT_FALSE(flag("cb_PostInstallDeletePackage")->accessibleName().isEmpty());
}

TEST_F(ConfigPageTest, AnotherWinePrefixIsRememberedAndAskedFor) {
    serve();
    ASSERT_TRUE(open());
    QSignalSpy shown(&page(), &ui::ConfigPage::installationsShown);
    showPage();
    ASSERT_TRUE(shown.count() > 0 || shown.wait(20000));
    auto* edit = page().findChild<QLineEdit*>(u"edit_WinePrefix"_s);
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->text().isEmpty());
    QSignalSpy chosen(&page(), &ui::ConfigPage::installationChosen);

    QTemporaryDir other;
    auto typeIn = [edit](const QString& path) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, path);
        QTest::keyClick(edit, Qt::Key_Return);
    };
    typeIn(other.path());
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_TRUE(prompter->unattendedTexts().join(u'\n').contains(u"is not a Wine prefix"_s));

    ASSERT_TRUE(test::writeFile(other.path() + u"/user.reg"_s, "WINE REGISTRY Version 2\n"));
    ASSERT_TRUE(QDir().mkpath(other.path() + u"/drive_c/windows"_s));
    typeIn(other.path());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<TcInstallation>().prefix, other.path());
    EXPECT_EQ(core->stores().settings.value(u"WinePrefixes"_s, u"Chosen"_s), other.path());

    // Named on the command line: it stays for the run.
    page().setPrefixFromCommandLine(true);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_FALSE(page().findChild<QComboBox*>(u"cb_Installations"_s)->isEnabled());
    EXPECT_FALSE(edit->toolTip().isEmpty());
}

// A prefix without Total Commander: the message names the prefix searched, and the page where
// another one is chosen is shown.
TEST_F(ConfigPageTest, APrefixWithoutTotalCommanderIsNamed) {
    serve();
    QTemporaryDir empty;
    ASSERT_TRUE(test::writeFile(empty.path() + u"/user.reg"_s, "WINE REGISTRY Version 2\n"));
    ASSERT_TRUE(test::writeFile(empty.path() + u"/system.reg"_s, "WINE REGISTRY Version 2\n"));
    ASSERT_TRUE(QDir().mkpath(empty.path() + u"/drive_c/windows"_s));
    prefix = empty.path();
    open();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !prompter->unattendedTexts().isEmpty(); }, 20000));
    const QString told = prompter->unattendedTexts().join(u'\n');
    EXPECT_TRUE(told.contains(u"not found in the Wine prefix "_s + empty.path())) << told.toStdString();
    EXPECT_EQ(window->findChild<QTabWidget*>()->currentIndex(), ui::Ttc_Updater::TabConfig);
}

// The program itself: after another prefix is chosen, the window ends as at exit and the
// program goes on with a new window on that prefix, which it remembers.
TEST_F(ConfigPageTest, TheProgramStartsAgainOnTheChosenPrefix) {
    const QString second = m_dir.path() + u"/second"_s;
    ASSERT_EQ(QProcess::execute(u"cp"_s, {u"-a"_s, prefix, second}), 0);
    QTemporaryDir runtime;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"COMMANDER_PATH"_s);
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    env.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
    env.insert(u"QUILLON_TEST_CLOSE_WHEN_LISTED"_s, u"1"_s);
    env.insert(u"QUILLON_TEST_SWITCH_PREFIX"_s, second);
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QUILLON_GUI_PATH),
                  {u"--settings-dir"_s, settings, u"--wine-prefix"_s, prefix});
    ASSERT_TRUE(program.waitForFinished(60000)) << program.readAllStandardError().constData();
    const QByteArray out = program.readAllStandardOutput();
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().constData();
    EXPECT_EQ(out.count("listed 9 rows"), 2) << out.constData();
    const QByteArray chosen = QByteArray("Chosen=") + second.toUtf8();
    EXPECT_TRUE(test::readFile(settings + u"/Quillon.ini"_s).contains(chosen));
}

// A stand-in for systemctl that keeps the timer's state in a file; "nobus" plays a session
// without a user manager; the file "refuse" makes enable fail.
class FakeSystemctl {
public:
    FakeSystemctl() {
        const QByteArray d = dir.path().toLocal8Bit();
        program = dir.filePath(u"systemctl"_s);
        test::writeFile(
            program,
            "#!/bin/sh\nd='" + d +
                "'\necho \"$*\" >>\"$d/log\"\nstate=$(cat \"$d/state\")\n"
                "if [ \"$state\" = nobus ]; then echo 'Failed to connect to bus' >&2; exit 1; fi\n"
                "case \"$2\" in\n"
                "is-enabled) echo \"$state\"; [ \"$state\" = enabled ]; exit $? ;;\n"
                "enable) if [ -e \"$d/refuse\" ]; then echo 'Unit file does not exist.' >&2; exit 1; fi\n"
                "  echo enabled >\"$d/state\" ;;\n"
                "disable) echo disabled >\"$d/state\" ;;\nesac\n");
        QFile::setPermissions(program,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        setState("disabled");
    }
    void setState(const QByteArray& state) { test::writeFile(dir.filePath(u"state"_s), state + '\n'); }
    QTemporaryDir dir;
    QString program;
};

TEST_F(ConfigPageTest, TheDailyCheckSwitchesTheUserTimerAndSaysWhenItCannot) {
    serve();
    ASSERT_TRUE(open());
    FakeSystemctl systemctl;
    page().setDailyCheckTimer(std::make_shared<platform::DailyCheckTimer>(systemctl.program.toStdString()));
    QSignalSpy done(&page(), &ui::ConfigPage::dailyCheckShown);
    showPage();
    ASSERT_TRUE(done.wait(10000));
    auto* box = page().findChild<QCheckBox*>(u"cb_DailyCheck"_s);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(box->isChecked());

    box->click();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(
        test::readFile(systemctl.dir.filePath(u"log"_s)).contains("--user enable --now quillon-check.timer"));
    box->click();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_FALSE(box->isChecked());

    // A switch that does not take is said, and the box shows the truth.
    test::writeFile(systemctl.dir.filePath(u"refuse"_s), "");
    box->click();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(prompter->unattendedTexts().join(u'\n').contains(u"could not be switched"_s));

    // Without a user manager the box cannot be used and says why.
    systemctl.setState("nobus");
    page().setDailyCheckTimer(std::make_shared<platform::DailyCheckTimer>(systemctl.program.toStdString()));
    ASSERT_TRUE(done.wait(10000));
    EXPECT_FALSE(box->isEnabled());
    EXPECT_TRUE(box->toolTip().contains(u"Failed to connect to bus"_s));
}

} // namespace
} // namespace quillon
