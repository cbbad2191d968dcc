#pragma once
// Runs one core job at a time on a worker thread. Progress arrives as queued signals, cancel()
// sets the job's token, and the job's completion is handed back on the runner's thread, where
// the owner applies its result. The owner's thread never waits for the job, except in
// cancelAndWait(), which is safe because no job waits for the owner's thread: its questions
// are dropped once it is cancelled (see currentToken()).
#include <QObject>
#include <QThread>

#include <functional>

#include "app/job_control.h"

namespace quillon::ui {

class JobRunner : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(const CancelToken&, ProgressSink&)>;
    using Done = std::function<void(bool cancelled)>;

    explicit JobRunner(QObject* parent = nullptr);
    ~JobRunner() override;

    // False while another job runs. done runs on this object's thread after work returned.
    bool start(Work work, Done done);
    void cancel();
    // Cancels the running job and returns once its thread has ended; its done is not called:
    // the outcome of a cancelled job is dropped. For a window that closes.
    void cancelAndWait();
    bool isRunning() const { return m_thread != nullptr; }
    // The running job's token; a fresh, uncancelled one when idle.
    const CancelToken& token() const { return m_token; }

    // The token of the job running on the calling thread; none outside a job.
    static const CancelToken* currentToken();

signals:
    void progress(const QString& text, qint64 done, qint64 total);
    void started();
    void finished();

private:
    QThread* m_thread = nullptr;
    quint64 m_jobNumber = 0; // tells a finished job from a later one
    CancelToken m_token;
};

} // namespace quillon::ui
