#include "inventory/executable_read_ahead.h"

#include <QThread>

#include <algorithm>

#include "inventory/update_item.h"

namespace quillon {

int ExecutableReadAhead::defaultThreads() {
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

ExecutableReadAhead::ExecutableReadAhead(int threads, qsizetype window)
    : m_window(std::max<qsizetype>(window, 1)) {
    const int count = std::max(threads, 1);
    m_workers.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        m_workers.emplace_back([this] { work(); });
}

ExecutableReadAhead::~ExecutableReadAhead() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_work.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

void ExecutableReadAhead::add(const QStringList& paths) {
    {
        const std::lock_guard lock(m_mutex);
        for (const QString& path : paths) {
            if (path.compare(kChecksumDbPath, Qt::CaseInsensitive) == 0 ||
                path.compare(kPluginDbPath, Qt::CaseInsensitive) == 0)
                continue;
            const auto queued = m_untaken.find(path);
            if (queued != m_untaken.end()) {
                Slot& earlier = m_slots[*queued];
                if (earlier.state != State::Queued)
                    continue;
                // Not started: its turn comes in the order asked now.
                earlier.state = State::Taken;
                earlier.path = QString();
                *queued = m_slots.size();
            } else {
                m_untaken.insert(path, m_slots.size());
            }
            m_slots.push_back({path, State::Queued, std::nullopt});
        }
    }
    m_work.notify_all();
}

void ExecutableReadAhead::work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        while (m_cursor < m_slots.size() && m_slots[m_cursor].state != State::Queued)
            ++m_cursor;
        if (m_stop)
            return;
        if (m_cursor == m_slots.size() || m_waiting >= m_window) {
            m_work.wait(lock);
            continue;
        }
        Slot& slot = m_slots[m_cursor++];
        slot.state = State::Reading;
        const QString path = slot.path;
        lock.unlock();
        ExecutableReading reading = ReadExecutable(path);
        lock.lock();
        slot.reading = std::move(reading);
        slot.state = State::Done;
        ++m_waiting;
        if (m_awaited == &slot)
            m_finished.notify_one();
    }
}

std::optional<ExecutableReading> ExecutableReadAhead::take(const QString& path) {
    std::unique_lock lock(m_mutex);
    const auto found = m_untaken.constFind(path);
    if (found == m_untaken.cend())
        return std::nullopt;
    Slot& slot = m_slots[*found];
    m_untaken.erase(found);
    if (slot.state == State::Queued) {
        slot.state = State::Taken;
        return std::nullopt;
    }
    if (slot.state == State::Reading) {
        m_awaited = &slot;
        m_finished.wait(lock, [&] { return slot.state == State::Done; });
        m_awaited = nullptr;
    }
    std::optional<ExecutableReading> reading = std::exchange(slot.reading, std::nullopt);
    slot.state = State::Taken;
    slot.path = QString();
    if (m_waiting-- == m_window)
        m_work.notify_all();
    return reading;
}

} // namespace quillon
