#pragma once
// Reads the executables of an inventory pass ahead of their identification, on worker threads.
// Identification goes in list order on one thread, since it appends rows and compares captions;
// the reading and parsing of each file needs nothing of that and is most of a pass's time. The
// pass queues each group's files as soon as it knows them, so the reading runs while the pass
// still searches for add-ons, and the identification takes the results as it reaches them.
#include <QHash>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "app/common/pe_info.h"

namespace quillon {

class ExecutableReadAhead {
public:
    // window: at most this many readings wait to be taken, so memory stays bounded on a large
    // installation whatever the order of taking.
    explicit ExecutableReadAhead(int threads = defaultThreads(), qsizetype window = 8192);
    // Stops the workers after the files they are reading and joins them.
    ~ExecutableReadAhead();
    ExecutableReadAhead(const ExecutableReadAhead&) = delete;
    ExecutableReadAhead& operator=(const ExecutableReadAhead&) = delete;

    // Queues files after those queued before, the database rows passed over. A file queued
    // before and not started yet moves to its place here: the last order given is the one the
    // files are taken in.
    void add(const QStringList& paths);
    // The reading of a queued file, waiting for it while a worker reads it. None when no worker
    // has started on it (it was not queued, was taken already, or its turn has not come): the
    // caller then reads it itself, which is also what keeps a taker that runs ahead busy.
    std::optional<ExecutableReading> take(const QString& path);

    static int defaultThreads();

private:
    enum class State { Queued, Reading, Done, Taken };
    struct Slot {
        QString path;
        State state = State::Queued;
        std::optional<ExecutableReading> reading;
    };
    void work();

    const qsizetype m_window;
    std::mutex m_mutex;
    std::condition_variable m_work;     // workers: files queued, room made, or stop
    std::condition_variable m_finished; // the taker: the slot it waits for is done
    std::deque<Slot> m_slots;           // references stay valid as it grows
    QHash<QString, size_t> m_untaken;   // path -> slot, until taken
    size_t m_cursor = 0;                // slots before this are not queued any more
    qsizetype m_waiting = 0;            // readings done and not taken
    const Slot* m_awaited = nullptr;
    bool m_stop = false;
    std::vector<std::thread> m_workers;
};

} // namespace quillon
