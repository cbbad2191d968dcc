#pragma once
// Ctrl+C (SIGINT) and SIGTERM during a long command (the inventory, the check, a transfer pass)
// cancel its token instead of killing the program, so that the file being fetched is dropped,
// the list stays as it was and what was installed stays reported. The first signal only
// cancels; a second one takes its default course and ends the program.
#include "app/job_control.h"

namespace quillon::cli {

class InterruptGuard {
public:
    // One guard at a time; the handlers before it are back when it goes.
    explicit InterruptGuard(const CancelToken& token);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // A signal arrived while the guard was up.
    static bool interrupted();

private:
    CancelToken m_token; // keeps the flag alive while the handler may reach it
};

} // namespace quillon::cli
