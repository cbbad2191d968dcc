// "Send to IDM...": the entry is enabled only while a download manager exists, Ctrl+Shift+D
// without one says so, and with the user's command each selected row's link for an external
// manager is added to that command as one argument.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "app/settings.h"
#include "engine/download_manager.h"
#include "job_runner.h"
#include "platform/scoped_env.h"
#include "support/test_support.h"
#include "update_page.h"
#include "window_fixture.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class RecordingLauncher final : public ProgramLauncher {
public:
    bool startDetached(const ProgramStart& start) override {
        starts.append(start);
        return true;
    }
    QList<ProgramStart> starts;
};

class WindowDownloadManager : public test::WindowTest {};

TEST_F(WindowDownloadManager, TheEntryFollowsTheManagerAndTheLinkIsOneArgument) {
    server = std::make_unique<test::FixtureServerProcess>();
    serve({}, "[Additional]\nOneTimeUpdateQuestion=True\n");
    ASSERT_TRUE(open());
    ASSERT_TRUE(runCheck());
    // Two rows: either takes the catalogue's address, none has a database identifier.
    window->updatePage().selectRows({rowOf(u"sampack.wcx64"_s), rowOf(u"samplefs.wfx64"_s)});
    RecordingLauncher launcher;
    window->setProgramLauncher(&launcher);

    // Nothing in the prefix, nothing on PATH, no command.
    QTemporaryDir emptyPath;
    ASSERT_TRUE(emptyPath.isValid());
    test::ScopedEnv env;
    env.set("PATH", emptyPath.path().toStdString());
    const auto sendEntry = [this] {
        std::unique_ptr<QMenu> menu(window->buildContextMenu());
        return menu->findChild<QAction*>(u"SendToIDM"_s)->isEnabled();
    };
    EXPECT_FALSE(sendEntry());
    window->runListCommand(ui::ListCommand::SendToDownloadManager);
    ASSERT_FALSE(prompter->unattendedTexts().isEmpty());
    EXPECT_TRUE(prompter->unattendedTexts().last().contains(u"no installed download manager"_s))
        << prompter->unattendedTexts().last().toStdString();

    const QString manager = emptyPath.path() + u"/dm"_s;
    ASSERT_TRUE(test::writeFile(manager, "#!/bin/sh\n"));
    ASSERT_TRUE(QFile::setPermissions(manager, QFile::ReadOwner | QFile::ExeOwner));
    core->settings().values.downloadManagerCommand = u"dm --add"_s;
    ASSERT_TRUE(sendEntry());
    window->runListCommand(ui::ListCommand::SendToDownloadManager);
    // The second link follows after a pause.
    ASSERT_TRUE(QTest::qWaitFor([&] { return launcher.starts.size() == 2; }, 10000));
    for (const ProgramStart& start : launcher.starts) {
        EXPECT_EQ(start.program, manager);
        ASSERT_EQ(start.arguments.size(), 2);
        EXPECT_EQ(start.arguments.at(0), u"--add"_s);
        // The catalogue's own address, without the download window's mark.
        const QString link = start.arguments.at(1);
        EXPECT_TRUE(link.startsWith(server->base() + u"download.php?id="_s)) << link.toStdString();
        EXPECT_FALSE(link.contains(u"source="_s)) << link.toStdString();
    }
    EXPECT_NE(launcher.starts.at(0).arguments, launcher.starts.at(1).arguments);
}

} // namespace
} // namespace quillon
