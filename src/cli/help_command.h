#pragma once
#include <QString>
#include <QTextStream>

#include "cli/cli_command.h"

namespace quillon::cli {

// --help: the commands that exist, the options, and the rules that replace the dialogs.
class HelpCommand : public CliCommand {
public:
    explicit HelpCommand(QTextStream& out) : m_out(out) {}
    int execute() override;

    // The short form printed after a usage error.
    static QString usage();

private:
    QTextStream& m_out;
};

} // namespace quillon::cli
