#include <QApplication>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/settings.h"
#include "app/system.h"
#include "config_page.h"
#include "engine/app_core.h"
#include "engine/installer_context.h"
#include "gui_options.h"
#include "inventory/update_list.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "platform/single_instance.h"
#include "prefix_choice.h"
#include "program_arguments.h"
#include "tc_font.h"
#include "wine_program_choice.h"

int main(int argc, char** argv) {
    // --help and wrong usage answer on the terminal without a display.
    const quillon::ui::GuiOptions options =
        quillon::ui::parseGuiArguments(quillon::ui::ProgramArguments(argc, argv));
    for (const QString& warning : options.warnings)
        std::fprintf(stderr, "quillon: %s\n", warning.toLocal8Bit().constData());
    if (options.help) {
        std::fputs(quillon::ui::guiUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "quillon: %s\n%s", options.error.toLocal8Bit().constData(),
                     "Try 'quillon --help' for more information.\n");
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setDesktopFileName(QStringLiteral("quillon"));
    const quillon::CommandLine commandLine(options.programArguments);

    // One instance at a time; a restart after a self-update overlaps with the ending one.
    const std::unique_ptr<quillon::platform::SingleInstance> instance =
        quillon::platform::createSingleInstance("QuillonApp");
    bool holdsLock = instance->acquire();
    if (!holdsLock && !commandLine.restartMode()) {
        instance->raiseFirstInstance();
        return 0;
    }

    quillon::ui::MessageBoxPrompter prompter;
    quillon::platform::PlatformOptions platformOptions;
    platformOptions.winePrefix = options.winePrefix.toStdString();
    platformOptions.wineProgram = options.wineProgram.toStdString();
    quillon::StartOptions startOptions;
    startOptions.settingsDir = options.settingsDir;
    startOptions.language = options.language;
    // Started from Total Commander: that copy is the one to look after, wherever it lives.
    const bool startedByTc = qEnvironmentVariableIsSet("COMMANDER_PATH");
    auto started = std::make_unique<quillon::AppCore>(prompter, platformOptions);
    started->startUp(commandLine, startOptions);
    quillon::ui::takeWineProgramChoice(*started, options.wineProgram);
    // Total Commander in another prefix: the core starts again on it, before anything has read
    // or written the installation. Its runner stands in for the Wine program no one named.
    const auto startOn = [&](const quillon::TcInstallation& chosen) {
        // Start-up set it to the first prefix's directory; the second start sets it anew.
        started->system().setEnvVariable(QStringLiteral("COMMANDER_PATH"), QString());
        const bool wineNamed =
            !options.wineProgram.isEmpty() || !started->settings().values.wineProgram.isEmpty();
        const QString wine = wineNamed ? options.wineProgram : chosen.wine;
        platformOptions.winePrefix = chosen.prefix.toStdString();
        platformOptions.wineProgram = wine.toStdString();
        started.reset();
        started = std::make_unique<quillon::AppCore>(prompter, platformOptions);
        started->startUp(commandLine, startOptions);
        quillon::ui::takeWineProgramChoice(*started, wine);
        quillon::RememberTcInstallation(started->stores().settings, chosen);
        return quillon::ui::tcInstallationTakenText(started->language(), chosen);
    };
    QString prefixTaken;
    if (const auto chosen =
            quillon::ui::chooseTcInstallation({started->language(), started->system().platform(),
                                               started->stores().settings, started->tc().dir},
                                              options.winePrefix, startedByTc))
        prefixTaken = startOn(*chosen);

    // Another prefix chosen on the Configuration page: this window ends as at exit (everything
    // written) and the program goes on with a core and a window on that prefix.
    for (;;) {
        std::optional<quillon::TcInstallation> switchTo;
        int status = 0;
        {
            quillon::AppCore& core = *started;
            // An installation killed in the middle is undone before the list reads the files.
            quillon::ReportRecovery(prompter, core.language(), quillon::RecoverCutOffInstallation(core));

            // Without "Keep the program's own font": Total Commander's font, when it is installed.
            quillon::ui::adoptTotalCommanderFont(core.settings().values.forceOriginalFont, core.tc().iniFile,
                                                 core.tcLocator());
            quillon::ui::Ttc_Updater window(core, prompter);
            prompter.setParentWindow(&window);
            window.configPage().setPrefixFromCommandLine(!options.winePrefix.isEmpty());
            QObject::connect(&window.configPage(), &quillon::ui::ConfigPage::installationChosen, &window,
                             [&](const quillon::TcInstallation& chosen) {
                                 switchTo = chosen;
                                 QTimer::singleShot(0, &window, &QWidget::close);
                             });

            std::unique_ptr<QSocketNotifier> raiseNotifier;
            auto answerLaterStarts = [&] {
                if (instance->raiseRequestDescriptor() < 0)
                    return;
                raiseNotifier = std::make_unique<QSocketNotifier>(instance->raiseRequestDescriptor(),
                                                                  QSocketNotifier::Read);
                QObject::connect(raiseNotifier.get(), &QSocketNotifier::activated, &window,
                                 [&] { instance->takeRaiseRequests([&] { window.bringToFront(); }); });
            };
            if (holdsLock) {
                answerLaterStarts();
            } else {
                // Restarted while the ending instance still held the lock: taken over once it lets go,
                // so that a later start raises this window instead of opening a second one.
                auto* takeOver = new QTimer(&window);
                QObject::connect(takeOver, &QTimer::timeout, &window, [&, takeOver] {
                    if (!instance->acquire())
                        return;
                    holdsLock = true;
                    takeOver->stop();
                    answerLaterStarts();
                });
                takeOver->start(250);
            }

#ifdef QUILLON_TEST_HOOKS
            // A test that runs the program as a user starts it (the demo's desktop path) ends it once the
            // list is filled, and reads from the terminal that it was.
            if (qEnvironmentVariableIsSet("QUILLON_TEST_CLOSE_WHEN_LISTED")) {
                QObject::connect(&window, &quillon::ui::Ttc_Updater::inventoryFinished, &window, [&] {
                    std::printf("listed %d rows\n", core.updateList().rowCount());
                    std::fflush(stdout);
                    // Then, once, the prefix chosen as on the Configuration page.
                    static bool switched = false;
                    const QString next = qEnvironmentVariable("QUILLON_TEST_SWITCH_PREFIX");
                    if (!next.isEmpty() && !switched) {
                        switched = true;
                        quillon::TcInstallation chosen;
                        chosen.prefix = next;
                        emit window.configPage().installationChosen(chosen);
                        return;
                    }
                    QTimer::singleShot(0, &window, &QWidget::close);
                });
            }
#endif

            window.show();
            if (!prefixTaken.isEmpty())
                window.statusBar()->showMessage(prefixTaken, 30000);
            status = QApplication::exec();
            // Closing by other means than the window (session end) still writes everything.
            window.close();
            prompter.setParentWindow(nullptr);
        }
        if (!switchTo)
            return status;
        prefixTaken = startOn(*switchTo);
    }
}
