#include "app/job_control.h"

#include <thread>

namespace quillon {

bool CancelToken::sleepFor(std::chrono::milliseconds duration) const {
    constexpr std::chrono::milliseconds slice{20};
    const auto end = std::chrono::steady_clock::now() + duration;
    while (!isCancelled()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left <= std::chrono::milliseconds::zero())
            return true;
        std::this_thread::sleep_for(std::min(left, slice));
    }
    return false;
}

bool CancelToken::waitWhilePaused() const {
    constexpr std::chrono::milliseconds slice{20};
    if (isPaused() && !isCancelled()) {
        ++*m_holding;
        while (isPaused() && !isCancelled())
            std::this_thread::sleep_for(slice);
        --*m_holding;
    }
    return !isCancelled();
}

} // namespace quillon
