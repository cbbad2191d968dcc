#include "cli/check_command.h"

#include "app/settings.h"
#include "cli/terminal_text.h"
#include "cli/update_list_output.h"
#include "engine/app_core.h"
#include "engine/check_run.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
bool CheckCommand::CatalogueGaveNothing(const CheckRunResult& result, const AppCore& core, QTextStream& err,
                                        QStringList& errors) {
    if (!result.catalogueFetched || result.recordCount > 0)
        return false;
    if (result.errors.isEmpty()) {
        const QString message = u"The plugin catalogue gave no record (%1)."_s.arg(
            core.settings().values.siteCatalogue + u"get_plugins_list.php"_s);
        err << "quillon-cli: " << TerminalSafe(message, LineBreaks::Keep) << Qt::endl;
        errors.append(message);
    }
    return true;
}

int CheckCommand::execute() {
    const InventoryPassResult pass = m_core.runInventoryPass();
    QStringList errors = pass.errors + m_core.databaseState().problems;
    bool failed = !pass.configFound;

    if (pass.configFound) {
        UpdateCheckRun run(m_core);
        const CheckRunResult result = run.btn_SearchUpdatesClick();
        errors += result.errors;
        failed = CatalogueGaveNothing(result, m_core, m_err, errors) || failed;
    }

    if (m_json)
        PrintUpdateListJson(m_core, errors, m_out);
    else
        PrintUpdateListTable(m_core, m_out, m_err);
    m_out.flush();
    return failed ? ExitFailed : ExitDone;
}

} // namespace quillon::cli
