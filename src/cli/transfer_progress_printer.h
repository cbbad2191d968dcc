#pragma once
// Progress of a transfer pass on stderr, so that stdout (and --json) stays the report alone.
// On a terminal one line is rewritten in place; elsewhere (a log, a pipe) each file gets one
// line when its fetch starts and one when it ends, and nothing in between.
#include <QList>
#include <QTextStream>

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
    // Before anyone else writes to stderr: the terminal line is wiped so text does not mix.
    void clearLine();

    static bool stderrIsTerminal();

private:
    enum class Shown { Nothing, Started, Fetching, Ended };
    QString prefix(int index) const;
    int totalPercent(int index, int filePercent) const;
    void writeLine(const QString& text);
    void showLive(const QString& text);

    const TransferEngine& m_engine;
    QTextStream& m_err;
    bool m_terminal;
    QList<Shown> m_shown;
    QString m_live; // what the terminal line shows now
};

} // namespace quillon::cli
