#include "cli/cli_application.h"

#include <memory>

#include "app/settings.h"
#include "app/system.h"
#include "cli/check_command.h"
#include "cli/cli_options.h"
#include "cli/cli_prompter.h"
#include "cli/help_command.h"
#include "cli/list_command.h"
#include "cli/locate_all_command.h"
#include "cli/locate_command.h"
#include "cli/restore_command.h"
#include "cli/update_command.h"
#include "cli/verify_command.h"
#include "cli/version_command.h"
#include "engine/app_core.h"
#include "engine/installer_context.h"
#include "engine/tc_installation_choice.h"
#include "install/install_journal.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {

int CliApplication::usageError(const QString& message) {
    m_err << "quillon-cli: " << message << '\n'
          << HelpCommand::usage() << "Try 'quillon-cli --help'." << Qt::endl;
    return ExitUsage;
}

int CliApplication::run(const QStringList& arguments, const QString& programPath) {
    const CliParseResult parsed = parseCliArguments(arguments);
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    const CliOptions& options = parsed.options;
    if (options.help)
        return HelpCommand(m_out).execute();
    if (options.version)
        return VersionCommand(m_out).execute();
    if (options.command.isEmpty())
        return usageError(u"no command given"_s);
    const bool locate = options.command == "locate"_L1;
    const bool list = options.command == "list"_L1;
    const bool check = options.command == "check"_L1;
    const bool update = options.command == "update"_L1;
    const bool restore = options.command == "restore"_L1;
    const bool verify = options.command == "verify"_L1;
    if (!locate && !list && !check && !update && !restore && !verify)
        return usageError(u"unknown command: %1"_s.arg(options.command));
    QString updateError;
    const UpdateOptions updateOptions = UpdateCommand::parse(options.commandArguments, &updateError);
    if (update && !updateError.isEmpty())
        return usageError(updateError);
    QString restoreError;
    const RestoreOptions restoreOptions = RestoreCommand::parse(options.commandArguments, &restoreError);
    if (restore && !restoreError.isEmpty())
        return usageError(restoreError);
    if (locate && !options.commandArguments.isEmpty()) {
        if (options.commandArguments != QStringList{u"--all"_s})
            return usageError(u"locate takes no arguments but --all"_s);
        return LocateAllCommand(options.json, m_out, m_err).execute();
    }
    const bool notify = check && options.commandArguments == QStringList{u"--notify"_s};
    if (!update && !restore && !notify && !verify && !options.commandArguments.isEmpty())
        return usageError(u"%1 takes no arguments"_s.arg(options.command));

    CliPrompter prompter(m_err);
    platform::PlatformOptions platformOptions;
    platformOptions.winePrefix = options.winePrefix.toStdString();
    platformOptions.wineProgram = options.wineProgram.toStdString();
    StartOptions startOptions;
    startOptions.programPath = programPath;
    startOptions.settingsDir = options.settingsDir;
    startOptions.language = options.language;
    const bool startedByTc = qEnvironmentVariableIsSet("COMMANDER_PATH");
    auto started = std::make_unique<AppCore>(prompter, platformOptions);
    started->startUp(CommandLine(options.programArguments), startOptions);
    QString wineProgram =
        options.wineProgram.isEmpty() ? started->settings().values.wineProgram : options.wineProgram;
    // The desktop program's rule, without its question: among several installations elsewhere
    // the prefix in use stays.
    const TcInstallationChoice choice =
        ChooseTcInstallation(started->system().platform(), started->stores().settings, started->tc().dir,
                             options.winePrefix, startedByTc);
    if (choice.taken) {
        // Start-up set it to the first prefix's directory; the second start sets it anew.
        started->system().setEnvVariable(u"COMMANDER_PATH"_s, QString());
        // The prefix's runner stands in for a Wine program no one named.
        if (wineProgram.isEmpty())
            wineProgram = choice.taken->wine;
        platformOptions.winePrefix = choice.taken->prefix.toStdString();
        platformOptions.wineProgram = wineProgram.toStdString();
        started = std::make_unique<AppCore>(prompter, platformOptions);
        started->startUp(CommandLine(options.programArguments), startOptions);
        RememberTcInstallation(started->stores().settings, *choice.taken);
    }
    AppCore& core = *started;
    // Start-up asked for Total Commander's window before the settings were read: a Wine program
    // they name asks again.
    if (core.system().useWineProgram(wineProgram)) {
        // As start-up would have found them with this program.
        core.setTcExeFile(QString());
        core.DetectTCversion(false);
    }
    // An installation killed in the middle is undone before anything else looks at the files,
    // by the commands that write them; the others only say that it waits.
    const bool writes = (update && !updateOptions.dryRun) ||
                        (restore && (restoreOptions.yes || !restoreOptions.from.isEmpty()));
    if (writes)
        ReportRecovery(core.prompter(), core.language(), RecoverCutOffInstallation(core));
    else
        ReportPendingRecovery(core.prompter(), core.language(), InstallJournalPath(core.settingsDir()));

    int status = ExitFailed;
    if (locate)
        status = LocateCommand(core, options.json, m_out, m_err).execute();
    else if (list)
        status = ListCommand(core, options.json, m_out, m_err).execute();
    else if (check)
        status = CheckCommand(core, options.json, m_out, m_err, notify).execute();
    else if (verify)
        status = VerifyCommand(core, options.commandArguments, options.json, m_out, m_err).execute();
    else if (restore)
        status = RestoreCommand(core, restoreOptions, options.json, m_out, m_err).execute();
    else
        status = UpdateCommand(core, updateOptions, options.json, m_out, m_err).execute();

    // A dry run writes nothing, not even the settings it read (nor their filled-in defaults).
    if (update && updateOptions.dryRun)
        return status;
    const bool saved = core.shutDown();
    return saved ? status : ExitFailed;
}

} // namespace quillon::cli
