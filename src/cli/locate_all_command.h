#pragma once
#include <QTextStream>

#include "cli/cli_command.h"

namespace quillon::cli {

// locate --all: every Total Commander in the machine's Wine prefixes, without starting the core
// (no settings are read or written: nothing of them bears on where the prefixes are).
class LocateAllCommand : public CliCommand {
public:
    LocateAllCommand(bool json, QTextStream& out, QTextStream& err) : m_json(json), m_out(out), m_err(err) {}
    // Done (0) when one or more installations were found, failed (1) otherwise.
    int execute() override;

private:
    bool m_json;
    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace quillon::cli
