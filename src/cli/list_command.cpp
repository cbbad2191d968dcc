#include "cli/list_command.h"

#include "cli/interrupt_guard.h"
#include "cli/update_list_output.h"
#include "engine/app_core.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
namespace {

// What went wrong beside the rows: the pass's messages and the databases' problems.
QStringList errorsOf(const AppCore& core, const InventoryPassResult& pass) {
    return pass.errors + core.databaseState().problems;
}

} // namespace

int ListCommand::execute() {
    const CancelToken cancel;
    const InterruptGuard interrupts(cancel);
    const InventoryPassResult pass = m_core.runInventoryPass(cancel);
    if (pass.cancelled)
        return cancelled();
    if (m_json)
        PrintUpdateListJson(m_core, errorsOf(m_core, pass), m_out);
    else
        PrintUpdateListTable(m_core, m_out, m_err);
    m_out.flush();
    return pass.configFound ? ExitDone : ExitFailed;
}

} // namespace quillon::cli
