#include "job_runner.h"

namespace quillon::ui {
namespace {

class SignalSink final : public ProgressSink {
public:
    explicit SignalSink(JobRunner* runner) : m_runner(runner) {}
    void report(const JobProgress& p) override { emit m_runner->progress(p.text, p.done, p.total); }

private:
    JobRunner* m_runner;
};

} // namespace

JobRunner::JobRunner(QObject* parent) : QObject(parent) {}

JobRunner::~JobRunner() {
    if (m_thread) {
        m_token.cancel();
        m_thread->wait();
        delete m_thread;
    }
}

bool JobRunner::start(Work work, Done done) {
    if (m_thread)
        return false;
    m_token = CancelToken();
    const CancelToken token = m_token;
    m_thread = QThread::create([this, token, work = std::move(work)] {
        SignalSink sink(this);
        work(token, sink);
    });
    connect(m_thread, &QThread::finished, this, [this, token, done = std::move(done)] {
        m_thread->deleteLater();
        m_thread = nullptr;
        done(token.isCancelled());
        emit finished();
    });
    emit started();
    m_thread->start();
    return true;
}

void JobRunner::cancel() {
    if (m_thread)
        m_token.cancel();
}

} // namespace quillon::ui
