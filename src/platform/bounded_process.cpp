#include "platform/bounded_process.h"

#include <QProcess>

namespace quillon::platform {

BoundedRun runBounded(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment, std::chrono::milliseconds limit,
                      const std::atomic_bool* cancel) {
    constexpr int kPollMs = 50;
    // The helpers answer in a few lines.
    constexpr qsizetype kMostOutput = 64 * 1024;
    BoundedRun run;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments, QIODevice::ReadOnly);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    if (!process.waitForStarted(static_cast<int>(limit.count()))) {
        run.problem = TcWindowProblem::Failed;
        return run;
    }
    while (process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(kPollMs);
        run.output += process.readAllStandardOutput();
        const bool cancelled = cancel && cancel->load();
        const bool flooding = run.output.size() > kMostOutput;
        if (cancelled || flooding || std::chrono::steady_clock::now() >= deadline) {
            process.kill();
            process.waitForFinished(1000);
            run.problem = cancelled  ? TcWindowProblem::Cancelled
                          : flooding ? TcWindowProblem::Failed
                                     : TcWindowProblem::TimedOut;
            return run;
        }
    }
    run.output += process.readAllStandardOutput();
    if (run.output.size() > kMostOutput)
        run.problem = TcWindowProblem::Failed;
    run.exitedNormally = process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    return run;
}

} // namespace quillon::platform
