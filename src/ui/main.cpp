#include <QApplication>
#include <QSocketNotifier>

#include "app/app_core.h"
#include "app/command_line.h"
#include "main_window.h"
#include "message_box_prompter.h"
#include "platform/single_instance.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    const quillon::CommandLine commandLine(QApplication::arguments());

    // One instance at a time; a restart after a self-update overlaps with the ending one.
    const std::unique_ptr<quillon::platform::SingleInstance> instance =
        quillon::platform::createSingleInstance("QuillonApp");
    const bool holdsLock = instance->acquire();
    if (!holdsLock && !commandLine.restartMode()) {
        instance->raiseFirstInstance();
        return 0;
    }

    quillon::ui::MessageBoxPrompter prompter;
    quillon::AppCore core(prompter, quillon::platform::PlatformOptions{});
    core.startUp(commandLine);

    quillon::ui::Ttc_Updater window(core);
    prompter.setParentWindow(&window);

    std::unique_ptr<QSocketNotifier> raiseNotifier;
    if (holdsLock && instance->raiseRequestDescriptor() >= 0) {
        raiseNotifier =
            std::make_unique<QSocketNotifier>(instance->raiseRequestDescriptor(), QSocketNotifier::Read);
        QObject::connect(raiseNotifier.get(), &QSocketNotifier::activated, &window,
                         [&] { instance->takeRaiseRequests([&] { window.bringToFront(); }); });
    }

    window.show();
    const int status = QApplication::exec();
    // Closing by other means than the window (session end) still writes everything.
    window.close();
    return status;
}
