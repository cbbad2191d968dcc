#pragma once
#include <QStringList>
#include <QTextStream>

#include "cli/cli_command.h"

namespace quillon::cli {

// verify [FILE...]: every plugin file of the inventory (or the ones named) loaded by the bridge,
// one line each: it loads, or why not.
class VerifyCommand : public CoreCommand {
public:
    VerifyCommand(AppCore& core, QStringList files, bool json, QTextStream& out, QTextStream& err)
        : CoreCommand(core, json, out, err), m_files(std::move(files)) {}
    // Done (0) when none fails to load; failed (1) when one does; wrong usage (2) when FILE
    // names no plugin or nothing can be checked here (no Wine).
    int execute() override;

private:
    QStringList m_files;
};

} // namespace quillon::cli
