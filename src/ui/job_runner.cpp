#include "job_runner.h"

namespace quillon::ui {
namespace {

thread_local const CancelToken* t_jobToken = nullptr;

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

const CancelToken* JobRunner::currentToken() {
    return t_jobToken;
}

bool JobRunner::start(Work work, Done done) {
    if (m_thread)
        return false;
    m_token = CancelToken();
    const CancelToken token = m_token;
    const quint64 number = ++m_jobNumber;
    m_thread = QThread::create([this, token, work = std::move(work)] {
        t_jobToken = &token;
        SignalSink sink(this);
        work(token, sink);
        t_jobToken = nullptr;
    });
    connect(m_thread, &QThread::finished, this, [this, token, number, done = std::move(done)] {
        if (number != m_jobNumber || !m_thread)
            return; // ended by cancelAndWait(): its outcome is dropped
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

void JobRunner::cancelAndWait() {
    if (!m_thread)
        return;
    m_token.cancel();
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    ++m_jobNumber;
    emit finished();
}

} // namespace quillon::ui
