#pragma once
// One class per command of quillon-cli; execute() gives the process's exit status.
namespace quillon::cli {

enum ExitStatus : int { ExitDone = 0, ExitFailed = 1, ExitUsage = 2 };

class CliCommand {
public:
    virtual ~CliCommand() = default;
    virtual int execute() = 0;
};

} // namespace quillon::cli
