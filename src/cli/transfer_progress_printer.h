#pragma once
// Progress of a transfer pass on stderr, so that stdout (and --json) stays the report alone.
// On a terminal one line is rewritten in place, naming every transfer that runs; elsewhere (a
// log, a pipe) each file gets one line when its fetch starts and one when it ends, and nothing in
// between. Transfers run side by side: every write is whole and under one lock, so lines never
// interleave, not even with the messages written through aside().
#include <QList>
#include <QTextStream>

#include <functional>
#include <mutex>

namespace quillon {
class TransferEngine;
struct TransferProgress;
} // namespace quillon

namespace quillon::cli {

class TransferProgressPrinter {
public:
    TransferProgressPrinter(const TransferEngine& engine, QTextStream& err, bool terminal);

    // The engine's row and progress callbacks.
    void rowChanged(int index);
    void progress(const TransferProgress& progress);
    // Wipes the terminal line, at the end of the pass.
    void clearLine();
    // Anyone else's write to stderr while the pass runs: the terminal line is wiped first, and
    // no progress line is written meanwhile.
    void aside(const std::function<void()>& write);

    static bool stderrIsTerminal();

private:
    enum class Shown { Nothing, Started, Fetching, Ended };
    QString prefix(int index, int count) const;
    QString totalText() const;
    QString runningText() const;
    void writeLine(const QString& text);
    void showLive(const QString& text);
    void clearLineLocked();

    const TransferEngine& m_engine;
    QTextStream& m_err;
    bool m_terminal;
    QList<Shown> m_shown;
    QString m_live; // what the terminal line shows now
    std::recursive_mutex m_mutex;
};

} // namespace quillon::cli
