#include "platform/running_program.h"

namespace quillon::platform {

bool RunningProgramMustMoveAside() {
    return true;
}

} // namespace quillon::platform
