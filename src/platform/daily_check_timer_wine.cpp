#include "platform/daily_check_timer.h"

#include <QProcess>
#include <QStringList>

#include <utility>

namespace quillon::platform {
namespace {

struct Run {
    bool finished = false; // started and ended by itself within the limit
    int exitCode = -1;
    QString out;
    QString err; // what went wrong in words: systemctl's own, or why it did not answer
};

Run runSystemctl(const std::string& program, const QStringList& arguments, std::chrono::milliseconds limit) {
    Run run;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QString::fromStdString(program), QStringList{QStringLiteral("--user")} + arguments);
    const int ms = static_cast<int>(limit.count());
    if (!process.waitForStarted(ms)) {
        run.err = QStringLiteral("%1 could not be started: %2")
                      .arg(QString::fromStdString(program), process.errorString());
        return run;
    }
    if (!process.waitForFinished(ms)) {
        process.kill();
        process.waitForFinished(1000);
        run.err = QStringLiteral("%1 did not answer within %2 s")
                      .arg(QString::fromStdString(program))
                      .arg(ms / 1000.0);
        return run;
    }
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    run.err = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit) {
        run.err = QStringLiteral("%1 ended abnormally").arg(QString::fromStdString(program));
        return run;
    }
    run.finished = true;
    run.exitCode = process.exitCode();
    return run;
}

} // namespace

DailyCheckTimer::DailyCheckTimer(std::string program, std::chrono::milliseconds limit)
    : m_program(std::move(program)), m_limit(limit) {}

bool DailyCheckTimer::available() {
    return true;
}

DailyCheckState DailyCheckTimer::state() const {
    DailyCheckState state;
    const Run run =
        runSystemctl(m_program, {QStringLiteral("is-enabled"), QString::fromLatin1(unitName())}, m_limit);
    if (!run.finished) {
        state.error = run.err.toStdString();
        return state;
    }
    // is-enabled prints the state; it ends with 0 only for the enabled kinds.
    const QString word = run.out.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (word == QLatin1String("enabled") || word == QLatin1String("enabled-runtime")) {
        state.known = true;
        state.enabled = true;
    } else if (word == QLatin1String("disabled")) {
        state.known = true;
    } else if (word == QLatin1String("not-found")) {
        state.error = std::string(unitName()) + " is not installed";
    } else {
        // No user manager ("Failed to connect to bus"), masked, static and the like.
        const QString said = run.err.isEmpty() ? word : run.err;
        state.error = (said.isEmpty() ? QStringLiteral("systemctl ended with %1").arg(run.exitCode) : said)
                          .toStdString();
    }
    return state;
}

DailyCheckState DailyCheckTimer::setEnabled(bool on) const {
    const Run run = runSystemctl(m_program,
                                 {on ? QStringLiteral("enable") : QStringLiteral("disable"),
                                  QStringLiteral("--now"), QString::fromLatin1(unitName())},
                                 m_limit);
    std::string failure;
    if (!run.finished)
        failure = run.err.toStdString();
    else if (run.exitCode != 0)
        failure = (run.err.isEmpty() ? QStringLiteral("systemctl ended with %1").arg(run.exitCode) : run.err)
                      .toStdString();
    DailyCheckState after = state();
    if (failure.empty() && after.known && after.enabled != on)
        failure = std::string(unitName()) + (on ? " is still disabled" : " is still enabled");
    if (!failure.empty())
        after.error = failure;
    else if (!after.known && after.error.empty())
        after.error = "systemctl did not say whether the timer is on";
    return after;
}

} // namespace quillon::platform
