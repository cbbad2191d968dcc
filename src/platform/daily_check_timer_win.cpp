#include "platform/daily_check_timer.h"

#include <utility>

namespace quillon::platform {

DailyCheckTimer::DailyCheckTimer(std::string program, std::chrono::milliseconds limit)
    : m_program(std::move(program)), m_limit(limit) {}

bool DailyCheckTimer::available() {
    return false;
}

DailyCheckState DailyCheckTimer::state() const {
    return {false, false, "Windows has no systemd user timer"};
}

DailyCheckState DailyCheckTimer::setEnabled(bool) const {
    return state();
}

} // namespace quillon::platform
