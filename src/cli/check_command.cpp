#include "cli/check_command.h"

#include "app/language.h"
#include "app/settings.h"
#include "cli/desktop_notification.h"
#include "cli/interrupt_guard.h"
#include "cli/terminal_text.h"
#include "cli/update_list_output.h"
#include "engine/app_core.h"
#include "engine/check_job.h"
#include "engine/check_run.h"
#include "engine/update_announcement.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace quillon::cli {

bool CheckCommand::CheckGaveNothing(const CheckRunResult& result, const AppCore& core, QTextStream& err,
                                    QStringList& errors) {
    QString message;
    if (result.catalogueFetched && result.recordCount == 0)
        message = u"The plugin catalogue gave no record (%1)."_s.arg(core.settings().values.siteCatalogue +
                                                                     u"get_plugins_list.php"_s);
    else if (!result.catalogueFetched && result.tcChecked && !result.tcAnswered)
        message = u"Total Commander's web site gave no release (%1)."_s.arg(
            core.settings().values.siteTotalCommander);
    else
        return false;
    if (result.errors.isEmpty()) {
        err << "quillon-cli: " << TerminalSafe(message, LineBreaks::Keep) << Qt::endl;
        errors.append(message);
    }
    return true;
}

int CheckCommand::execute() {
    const CancelToken cancel;
    const InterruptGuard interrupts(cancel);
    const InventoryPassResult pass = m_core.runInventoryPass(cancel);
    if (pass.cancelled)
        return cancelled();
    QStringList errors = pass.errors + m_core.databaseState().problems;
    bool failed = !pass.configFound;

    if (pass.configFound) {
        NullProgressSink progress;
        const CheckJobResult result = RunUpdateCheck(
            m_core, DetectionOptions::fromValues(m_core.settings().values), -1, cancel, progress);
        if (result.cancelled)
            return cancelled();
        errors += result.run.errors;
        failed = CheckGaveNothing(result.run, m_core, m_err, errors) || failed;
        // A run with errors may have missed updates: what it found is not the whole news.
        if (m_notify && !failed && result.run.errors.isEmpty())
            failed = !announceUpdates();
    }

    if (m_json)
        PrintUpdateListJson(m_core, errors, m_out);
    else
        PrintUpdateListTable(m_core, m_out, m_err);
    m_out.flush();
    return failed ? ExitFailed : ExitDone;
}

namespace {

// Started from a timer or a menu, the check has no terminal: it waits a while for the click
// that starts the desktop program. At a terminal the user is there already.
bool canWaitForTheClick() {
#ifdef Q_OS_UNIX
    return isatty(fileno(stdin)) == 0;
#else
    return false;
#endif
}

constexpr std::chrono::minutes kClickWait{10};

QString desktopProgram() {
    const QString beside = QCoreApplication::applicationDirPath() + u"/quillon"_s;
    return QFileInfo(beside).isExecutable() ? beside : u"quillon"_s;
}

} // namespace

bool CheckCommand::announceUpdates() {
    const std::optional<UpdateAnnouncement> announcement =
        UpdatesToAnnounce(m_core.updateList(), m_core.language(), m_core.stores().settings);
    if (!announcement) {
        // Nothing new; an update gone since is forgotten, so its return is news again.
        RememberAnnouncedUpdates(m_core.stores().settings, UpdatableEntries(m_core.updateList()));
        return true;
    }
    DesktopNotification notification;
    notification.summary = announcement->summary;
    notification.body = announcement->entries.join(u'\n');
    notification.actionLabel =
        m_core.language().text(u"Notifications"_s, u"OpenQuillon"_s, u"Open Quillon"_s);
    notification.program = desktopProgram();
    const NotificationOutcome outcome =
        ShowDesktopNotification(notification, canWaitForTheClick() ? std::chrono::milliseconds(kClickWait)
                                                                   : std::chrono::milliseconds(0));
    if (!outcome.error.isEmpty())
        m_err << "quillon-cli: " << TerminalSafe(outcome.error) << Qt::endl;
    if (!outcome.shown)
        return false;
    RememberAnnouncedUpdates(m_core.stores().settings, announcement->entries);
    return true;
}

} // namespace quillon::cli
