#pragma once
#include <QStringList>
#include <QTextStream>

#include "cli/cli_command.h"

namespace quillon {
class AppCore;
}

namespace quillon::cli {

struct UpdateOptions {
    bool install = false; // install what was downloaded
    bool all = false;     // every updatable row, not only the marked ones
    bool yes = false;     // questions of the installation answered Yes / OK
    QStringList files;    // only these rows (path or file name)
};

// update: the inventory and the update check, then the download (and installation) of the
// chosen rows; one line per request and a summary.
class UpdateCommand : public CliCommand {
public:
    UpdateCommand(AppCore& core, UpdateOptions options, bool json, QTextStream& out, QTextStream& err)
        : m_core(core), m_options(std::move(options)), m_json(json), m_out(out), m_err(err) {}
    // Failed (1) when wincmd.ini was not found, a FILE names no row, or any request failed.
    int execute() override;

    // The arguments after "update"; an error text for wrong usage.
    static UpdateOptions parse(const QStringList& arguments, QString* error);

private:
    AppCore& m_core;
    UpdateOptions m_options;
    bool m_json;
    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace quillon::cli
