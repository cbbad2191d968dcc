#include "wine_program_choice.h"

#include "app/settings.h"
#include "app/system.h"
#include "engine/app_core.h"

namespace quillon::ui {

void takeWineProgramChoice(AppCore& core, const QString& wineOption) {
    const QString choice = wineOption.isEmpty() ? core.settings().values.wineProgram : wineOption;
    if (core.system().useWineProgram(choice)) {
        // As start-up would have found them with this program.
        core.setTcExeFile(QString());
        core.DetectTCversion(false);
    }
}

} // namespace quillon::ui
