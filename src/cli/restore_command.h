#pragma once
#include <QString>
#include <QTextStream>

#include "cli/cli_command.h"

namespace quillon {
class AppCore;
}

namespace quillon::cli {

struct RestoreOptions {
    QString file; // a row's path or file name, or an existing file
    QString from; // the backup's label as listed ("dd-mm-yyyy", "dd-mm-yyyy_2") or file name
    bool yes = false;
};

// restore: the backups that hold an item's files, and one of them put back. Without --from
// and --yes it lists them and asks (which the command line answers No); --yes takes the
// newest, --from the one named. The files it replaces go into a new backup first.
class RestoreCommand : public CoreCommand {
public:
    RestoreCommand(AppCore& core, RestoreOptions options, bool json, QTextStream& out, QTextStream& err)
        : CoreCommand(core, json, out, err), m_options(std::move(options)) {}
    // Done (0) when restored or only listed; failed (1) when FILE names nothing, it has no
    // backup, --from names none of them, or the restore failed.
    int execute() override;

    // The arguments after "restore"; an error text for wrong usage.
    static RestoreOptions parse(const QStringList& arguments, QString* error);

private:
    RestoreOptions m_options;
};

} // namespace quillon::cli
