#pragma once
#include <QStringList>
#include <QTextStream>

#include "app/job_control.h"
#include "cli/cli_command.h"
#include "cli/update_report.h"

namespace quillon {
class AppCore;
struct UpdatePassOptions;
} // namespace quillon

namespace quillon::cli {

struct UpdateOptions {
    bool install = false; // install what was downloaded
    bool all = false;     // every updatable row, not only the marked ones
    bool yes = false;     // questions of the installation answered Yes / OK
    bool dryRun = false;  // what the pass would do, with nothing written
    QStringList files;    // only these rows (path or file name)
};

// update: the inventory and the update check, then the download (and installation) of the
// chosen rows, with progress on stderr; one line per request and a summary. SIGINT or SIGTERM
// cancels the pass. After a database update it may reload and check again.
class UpdateCommand : public CoreCommand {
public:
    UpdateCommand(AppCore& core, UpdateOptions options, bool json, QTextStream& out, QTextStream& err)
        : CoreCommand(core, json, out, err), m_options(std::move(options)) {}
    // Failed (1) when wincmd.ini was not found, a FILE names no row, or any request failed or
    // was cancelled.
    int execute() override;

    // The arguments after "update"; an error text for wrong usage.
    static UpdateOptions parse(const QStringList& arguments, QString* error);

private:
    // The check run over the rows of the last inventory pass; true when the catalogue gave
    // nothing.
    bool checkForUpdates(QStringList& errors);
    // The rows the options name; failed is set when a FILE names none.
    QList<int> chosenRows(bool& failed);
    // --dry-run: the pass resolved and looked into, its report printed; nothing written.
    int preview(UpdatePassOptions options, bool failed);
    // The list loaded again with the new database, and checked.
    ReloadCounts reloadAndCheck(QStringList& errors, bool& failed);

    UpdateOptions m_options;
    CancelToken m_cancel; // Ctrl+C: the inventory, the check or the transfer, whichever runs
};

} // namespace quillon::cli
