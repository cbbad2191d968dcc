#pragma once
#include <QTextStream>

#include "cli/cli_command.h"

namespace quillon::cli {

// --version: the version number alone, for scripts.
class VersionCommand : public CliCommand {
public:
    explicit VersionCommand(QTextStream& out) : m_out(out) {}
    int execute() override {
        m_out << QStringLiteral(QUILLON_VERSION) << Qt::endl;
        return ExitDone;
    }

private:
    QTextStream& m_out;
};

} // namespace quillon::cli
