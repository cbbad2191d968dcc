#pragma once
// One class per command of quillon-cli; execute() gives the process's exit status.
#include <QTextStream>

namespace quillon {
class AppCore;
}

namespace quillon::cli {

enum ExitStatus : int { ExitDone = 0, ExitFailed = 1, ExitUsage = 2 };

class CliCommand {
public:
    virtual ~CliCommand() = default;
    virtual int execute() = 0;
};

// A command that works on the started core and prints a table, or one JSON document with --json.
class CoreCommand : public CliCommand {
protected:
    CoreCommand(AppCore& core, bool json, QTextStream& out, QTextStream& err)
        : m_core(core), m_json(json), m_out(out), m_err(err) {}

    // Ctrl+C ended the work before there was anything to print: said once, and the run failed.
    int cancelled() {
        m_err << "quillon-cli: cancelled" << Qt::endl;
        return ExitFailed;
    }

    AppCore& m_core;
    bool m_json;
    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace quillon::cli
