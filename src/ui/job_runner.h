#pragma once
// Runs one core job at a time on a worker thread. Progress arrives as queued signals, cancel()
// sets the job's token, and the job's completion is handed back on the runner's thread, where
// the owner applies its result. The owner's thread never waits for the job.
#include <QObject>
#include <QPointer>
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
    bool isRunning() const { return m_thread != nullptr; }
    // The running job's token; a fresh, uncancelled one when idle.
    const CancelToken& token() const { return m_token; }

signals:
    void progress(const QString& text, qint64 done, qint64 total);
    void started();
    void finished();

private:
    QThread* m_thread = nullptr;
    CancelToken m_token;
};

} // namespace quillon::ui
