#pragma once
#include <QTextStream>

#include "cli/cli_command.h"

namespace quillon {
class AppCore;
}

namespace quillon::cli {

// locate: where Total Commander and the program's own files were found, after start-up.
class LocateCommand : public CliCommand {
public:
    LocateCommand(AppCore& core, bool json, QTextStream& out, QTextStream& err)
        : m_core(core), m_json(json), m_out(out), m_err(err) {}
    // Done (0) when the wincmd.ini in use was found, failed (1) otherwise; the findings are
    // printed either way.
    int execute() override;

private:
    AppCore& m_core;
    bool m_json;
    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace quillon::cli
