#pragma once
// How long this thread's event loop stalls while other work runs: a 1 ms timer ticks on it, and
// the longest gap between two ticks is the longest time the loop could not answer. A window's
// loop should never stall for more than 50 ms.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

namespace quillon::bench {

constexpr double kStallGoalMs = 50.0;

class LoopStallMeter {
public:
    LoopStallMeter() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { tick(); });
    }

    void start() {
        m_longestGapNs = 0;
        m_ticks = 0;
        m_last = 0;
        m_clock.start();
        m_timer.start();
    }
    // The stall that runs up to now counts too.
    void stop() {
        tick();
        m_timer.stop();
    }

    qint64 longestGapNs() const { return m_longestGapNs; }
    double longestGapMs() const { return static_cast<double>(m_longestGapNs) / 1e6; }
    qint64 ticks() const { return m_ticks; }

private:
    void tick() {
        const qint64 now = m_clock.nsecsElapsed();
        m_longestGapNs = std::max(m_longestGapNs, now - m_last);
        m_last = now;
        ++m_ticks;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longestGapNs = 0;
    qint64 m_ticks = 0;
};

} // namespace quillon::bench
