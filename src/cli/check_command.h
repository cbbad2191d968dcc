#pragma once
#include <QTextStream>

#include "cli/cli_command.h"

namespace quillon {
class AppCore;
struct CheckRunResult;
struct InventoryPassResult;
} // namespace quillon

namespace quillon::cli {

// check: the inventory pass, then one update check run; every row with its installed and
// latest version and its state.
class CheckCommand : public CoreCommand {
public:
    CheckCommand(AppCore& core, bool json, QTextStream& out, QTextStream& err, bool notify = false)
        : CoreCommand(core, json, out, err), m_notify(notify) {}
    // Failed (1) when wincmd.ini was not found, the sites asked gave nothing, Ctrl+C ended the
    // run or the notification asked for could not be shown; the rows are printed unless it was
    // cancelled. The run's error messages go to the error stream.
    int execute() override;

    // True when the run got nothing from the sites it asked (no catalogue record; with the
    // catalogue not asked, no release from Total Commander's site): the run failed. The reason
    // is added to errors and printed, unless the run already gave one.
    static bool CheckGaveNothing(const CheckRunResult& result, const AppCore& core, QTextStream& err,
                                 QStringList& errors);

private:
    // After a successful run: tells the desktop about updates it was not told about before.
    bool announceUpdates();

    bool m_notify = false;
};

} // namespace quillon::cli
