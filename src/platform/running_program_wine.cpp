#include "platform/running_program.h"

namespace quillon::platform {

bool RunningProgramMustMoveAside() {
    return false; // the running process keeps the old file's inode
}

} // namespace quillon::platform
