#pragma once
// The desktop's file manager through D-Bus (FileManager1.ShowItems), else xdg-open on the folder.
#include <string>

#include "platform/shell.h"

namespace quillon::platform {

class DesktopShell final : public Shell {
public:
    bool showFileInFileManager(std::string_view hostPath) override;
};

// The executable that execvp would run for name, searched in $PATH; empty when none.
std::string findInPath(std::string_view name);

} // namespace quillon::platform
