#pragma once
// Ctrl+C (SIGINT) and SIGTERM during a transfer pass cancel the pass instead of killing the
// program, so that the file being fetched is dropped and what was installed stays reported.
// The first signal only cancels; a second one takes its default course and ends the program.
namespace quillon {
class TransferEngine;
}

namespace quillon::cli {

class InterruptGuard {
public:
    // One guard at a time; the handlers before it are back when it goes.
    explicit InterruptGuard(TransferEngine& engine);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // A signal arrived while the guard was up.
    static bool interrupted();
};

} // namespace quillon::cli
