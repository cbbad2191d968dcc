#include "window_fixture.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include "inventory/update_list.h"
#include "job_runner.h"
#include "support/test_support.h"
#include "wine_program_choice.h"

using namespace Qt::StringLiterals;

namespace quillon::test {

UrlCatcher::UrlCatcher() {
    for (const QString& scheme : {u"http"_s, u"https"_s, u"file"_s})
        QDesktopServices::setUrlHandler(scheme, this, "open");
}

UrlCatcher::~UrlCatcher() {
    for (const QString& scheme : {u"http"_s, u"https"_s, u"file"_s})
        QDesktopServices::unsetUrlHandler(scheme);
}

void WindowTest::SetUp() {
    // Start-up sets it for the process from the installation it found: each window is a new
    // program start with its own copy.
    qunsetenv("COMMANDER_PATH");
    SampleCopyTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    content = m_dir.path() + u"/content"_s;
    ASSERT_TRUE(
        writeFile(content + u"/whatsnew.htm"_s, "<p>Total Commander 11.51 is now available for Windows</p>"));
    ASSERT_TRUE(
        writeFile(content + u"/download.htm"_s, "<h1>Download version 11.51 of Total Commander</h1>"));
}

void WindowTest::TearDown() {
    close();
}

void WindowTest::cataloguePage(const QByteArray& records) {
    ASSERT_TRUE(writeFile(content + u"/get_plugins_list.php"_s,
                          "<html><body><pre>" + records + "</pre></body></html>"));
}

void WindowTest::serve(const QString& cataloguePath, const QByteArray& more) {
    if (!server)
        server = std::make_unique<FixtureServerProcess>(content);
    ASSERT_FALSE(server->base().isEmpty());
    const QString base = server->base();
    QByteArray text = settingsText(base + cataloguePath,
                                   "Forum=" + base.toUtf8() + "\nCatalogueRu=" + base.toUtf8() + "\n" + more);
    // The site of Total Commander stays on the plain base when the catalogue is slowed down.
    const QByteArray slowed = "TotalCommander=" + (base + cataloguePath).toUtf8();
    const QByteArray plain = "TotalCommander=" + base.toUtf8();
    text.replace(slowed, plain);
    ASSERT_TRUE(writeFile(settings + u"/Quillon.ini"_s, text));
}

bool WindowTest::open(const QStringList& switches) {
    prompter = std::make_unique<ui::MessageBoxPrompter>();
    prompter->setUnattendedAnswer(PromptAnswer::No);
    platform::PlatformOptions platformOptions;
    platformOptions.winePrefix = prefix.toStdString();
    core = std::make_unique<AppCore>(*prompter, platformOptions);
    StartOptions options;
    options.settingsDir = settings;
    options.programPath = programPath;
    core->startUp(CommandLine(QStringList{u"quillon"_s} + switches), options);
    ui::takeWineProgramChoice(*core, {});
    window = std::make_unique<ui::Ttc_Updater>(*core, *prompter);
    prompter->setParentWindow(window.get());
    window->show();
    return QTest::qWaitFor([this] { return core->InventoryDone && !window->jobs().isRunning(); }, 20000);
}

bool WindowTest::runCheck() {
    QSignalSpy finished(window.get(), &ui::Ttc_Updater::checkFinished);
    window->btn_SearchUpdatesClick();
    return finished.wait(20000) || finished.count() > 0;
}

void WindowTest::close() {
    if (window)
        window->close();
    window.reset();
    core.reset();
    prompter.reset();
    qunsetenv("COMMANDER_PATH");
}

int WindowTest::rowOf(const QString& fileName) const {
    for (int row = 0; row < list().rowCount(); ++row) {
        if (QFileInfo(list().row(row).FilePath).fileName() == fileName)
            return row;
    }
    return -1;
}

} // namespace quillon::test
