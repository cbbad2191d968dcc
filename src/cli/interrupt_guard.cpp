#include "cli/interrupt_guard.h"

#include <atomic>
#include <csignal>

namespace quillon::cli {
namespace {

// A signal handler may only touch lock-free atomics.
static_assert(std::atomic<const CancelToken*>::is_always_lock_free);
static_assert(std::atomic_bool::is_always_lock_free);

std::atomic<const CancelToken*> g_token{nullptr};
std::atomic_bool g_interrupted{false};

using Handler = void (*)(int);
Handler g_previousInt = SIG_DFL;
Handler g_previousTerm = SIG_DFL;

extern "C" void onInterrupt(int number) {
    g_interrupted.store(true);
    // CancelToken::cancel() is one store to a lock-free atomic.
    if (const CancelToken* token = g_token.load())
        token->cancel();
    std::signal(number, SIG_DFL);
}

} // namespace

InterruptGuard::InterruptGuard(const CancelToken& token) : m_token(token) {
    g_interrupted.store(false);
    g_token.store(&m_token);
    g_previousInt = std::signal(SIGINT, onInterrupt);
    g_previousTerm = std::signal(SIGTERM, onInterrupt);
}

InterruptGuard::~InterruptGuard() {
    std::signal(SIGINT, g_previousInt == SIG_ERR ? SIG_DFL : g_previousInt);
    std::signal(SIGTERM, g_previousTerm == SIG_ERR ? SIG_DFL : g_previousTerm);
    g_token.store(nullptr);
}

bool InterruptGuard::interrupted() {
    return g_interrupted.load();
}

} // namespace quillon::cli
