#pragma once
#include <QTextStream>

#include "cli/cli_command.h"

namespace quillon {
class AppCore;
}

namespace quillon::cli {

// locate: where Total Commander and the program's own files were found, after start-up.
class LocateCommand : public CoreCommand {
public:
    LocateCommand(AppCore& core, bool json, QTextStream& out, QTextStream& err)
        : CoreCommand(core, json, out, err) {}
    // Done (0) when the wincmd.ini in use was found, failed (1) otherwise; the findings are
    // printed either way.
    int execute() override;
};

} // namespace quillon::cli
