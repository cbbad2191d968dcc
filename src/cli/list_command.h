#pragma once
#include <QTextStream>

#include "cli/cli_command.h"

namespace quillon {
class AppCore;
struct InventoryPassResult;
} // namespace quillon

namespace quillon::cli {

// list: the inventory pass after start-up, then every row of the update list.
class ListCommand : public CoreCommand {
public:
    ListCommand(AppCore& core, bool json, QTextStream& out, QTextStream& err)
        : CoreCommand(core, json, out, err) {}
    // Done (0) when wincmd.ini was found and read; failed (1) otherwise. The rows (possibly
    // none) are printed either way.
    int execute() override;
};

} // namespace quillon::cli
