#pragma once
// One run of a helper program, bounded in time and in output, ended early when the cancel flag
// is set: a hung or flooding helper must not hang Quillon or take its memory.
#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

#include <atomic>
#include <chrono>

#include "platform/tc_window.h"

namespace quillon::platform {

struct BoundedRun {
    // Failed: did not start, flooded its output; TimedOut, Cancelled: it was killed.
    TcWindowProblem problem = TcWindowProblem::None;
    QByteArray output; // what it wrote until it ended, also when it failed
    bool exitedNormally = false;
    int exitCode = -1;
};

BoundedRun runBounded(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment, std::chrono::milliseconds limit,
                      const std::atomic_bool* cancel);

} // namespace quillon::platform
