#pragma once
#include <QTextStream>

#include "cli/cli_command.h"

namespace quillon {
class AppCore;
struct InventoryPassResult;
} // namespace quillon

namespace quillon::cli {

// list: the inventory pass after start-up, then every row of the update list.
class ListCommand : public CliCommand {
public:
    ListCommand(AppCore& core, bool json, QTextStream& out, QTextStream& err)
        : m_core(core), m_json(json), m_out(out), m_err(err) {}
    // Done (0) when wincmd.ini was found and read; failed (1) otherwise. The rows (possibly
    // none) are printed either way.
    int execute() override;

private:
    AppCore& m_core;
    bool m_json;
    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace quillon::cli
