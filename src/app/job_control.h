#pragma once
// What every long operation of the core takes so that a window can stay responsive: a token the
// owner sets to stop the work, and a sink the work reports its progress to. The work runs on any
// thread; both types are safe to use from the job's thread while the owner cancels from its own.
#include <atomic>
#include <chrono>
#include <memory>
#include <QString>

namespace quillon {

class CancelToken {
public:
    CancelToken()
        : m_flag(std::make_shared<std::atomic_bool>(false)),
          m_paused(std::make_shared<std::atomic_bool>(false)),
          m_holding(std::make_shared<std::atomic_int>(0)) {}

    // Copies share one flag: the owner keeps one, the job another.
    void cancel() const { m_flag->store(true); }
    bool isCancelled() const { return m_flag->load(); }
    // For lower layers and libraries that take a plain flag (the HTTP client, the platform's waits).
    const std::atomic_bool* flag() const { return m_flag.get(); }

    // Sleeps up to `duration` in short slices; false when cancelled before it was over, so a pause
    // inside a job never delays a cancel by more than one slice.
    bool sleepFor(std::chrono::milliseconds duration) const;

    // A hold while the owner asks whether to stop: the work waits at its next safe point (a
    // block of a download, the start of an installation) until resumed or cancelled.
    void pause() const { m_paused->store(true); }
    void resume() const { m_paused->store(false); }
    bool isPaused() const { return m_paused->load(); }
    // Returns at once unless paused; false when cancelled.
    bool waitWhilePaused() const;
    // Whether the work has reached such a point and holds there now.
    bool isHolding() const { return m_holding->load() > 0; }

private:
    std::shared_ptr<std::atomic_bool> m_flag;
    std::shared_ptr<std::atomic_bool> m_paused;
    std::shared_ptr<std::atomic_int> m_holding;
};

struct JobProgress {
    QString text;      // what is being done now, in the user's language ("Checking wcx...")
    qint64 done = 0;   // units finished
    qint64 total = -1; // units in all; -1 while unknown (a marquee bar)
};

// Called on the job's thread, often: implementations forward (queued signal, stderr line) and
// return at once.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void report(const JobProgress& progress) = 0;
};

// For callers that want no progress.
class NullProgressSink final : public ProgressSink {
public:
    void report(const JobProgress&) override {}
};

} // namespace quillon
