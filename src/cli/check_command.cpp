#include "cli/check_command.h"

#include "app/settings.h"
#include "cli/interrupt_guard.h"
#include "cli/terminal_text.h"
#include "cli/update_list_output.h"
#include "engine/app_core.h"
#include "engine/check_job.h"
#include "engine/check_run.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"

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
    }

    if (m_json)
        PrintUpdateListJson(m_core, errors, m_out);
    else
        PrintUpdateListTable(m_core, m_out, m_err);
    m_out.flush();
    return failed ? ExitFailed : ExitDone;
}

} // namespace quillon::cli
