#include "cli/transfer_progress_printer.h"

#include "cli/terminal_text.h"
#include "install/transfer_engine.h"

#ifdef Q_OS_WIN
#include <io.h>
#include <stdio.h>
#else
#include <cstdio>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace quillon::cli {

bool TransferProgressPrinter::stderrIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

TransferProgressPrinter::TransferProgressPrinter(const TransferEngine& engine, QTextStream& err,
                                                 bool terminal)
    : m_engine(engine), m_err(err), m_terminal(terminal) {}

QString TransferProgressPrinter::prefix(int index) const {
    return u"[%1/%2] "_s.arg(index + 1).arg(m_engine.rows().size());
}

int TransferProgressPrinter::totalPercent(int index, int filePercent) const {
    const qsizetype count = m_engine.rows().size();
    return count > 0 ? static_cast<int>((100 * index + filePercent) / count) : 0;
}

void TransferProgressPrinter::writeLine(const QString& text) {
    clearLine();
    m_err << TerminalSafe(text) << '\n';
    m_err.flush();
}

void TransferProgressPrinter::showLive(const QString& text) {
    if (text == m_live)
        return;
    // "\r" and erase-to-end-of-line: the line is rewritten, whatever its earlier length.
    m_err << '\r' << TerminalSafe(text) << "\x1b[K";
    m_err.flush();
    m_live = text;
}

void TransferProgressPrinter::clearLine() {
    if (!m_terminal || m_live.isEmpty())
        return;
    m_err << "\r\x1b[K";
    m_err.flush();
    m_live.clear();
}

void TransferProgressPrinter::rowChanged(int index) {
    const QList<TransferRow>& rows = m_engine.rows();
    if (index < 0 || index >= rows.size())
        return;
    while (m_shown.size() < rows.size())
        m_shown.append(Shown::Nothing);
    const TransferRow& row = rows.at(index);
    Shown& shown = m_shown[index];
    switch (row.state) {
    case TransferState::Queued:
        return;
    case TransferState::Retrieving:
        if (shown == Shown::Nothing && m_terminal)
            showLive(prefix(index) + row.fileName + u" - retrieving -"_s);
        shown = Shown::Started;
        return;
    case TransferState::Fetching:
        if (shown == Shown::Fetching || shown == Shown::Ended)
            return;
        shown = Shown::Fetching;
        if (m_terminal)
            showLive(prefix(index) + row.fileName + u" 0%"_s);
        else
            writeLine(prefix(index) + u"fetching "_s + row.fileName + u" (%1 bytes)"_s.arg(row.size));
        return;
    case TransferState::Done:
    case TransferState::Failed:
    case TransferState::Cancelled:
        break;
    }
    // Rows that never started (the rest of a cancelled pass) get no line of their own.
    if (shown == Shown::Nothing || shown == Shown::Ended)
        return;
    shown = Shown::Ended;
    QString text = prefix(index);
    if (row.state == TransferState::Done)
        text += u"done "_s + row.fileName;
    else if (row.state == TransferState::Cancelled)
        text += u"cancelled "_s + row.fileName;
    else
        text += u"failed "_s + row.fileName + u": "_s + row.error;
    text += u" (total %1%)"_s.arg(totalPercent(index, 100));
    if (m_terminal)
        showLive(text);
    else
        writeLine(text);
}

void TransferProgressPrinter::progress(const TransferProgress& progress) {
    if (!m_terminal || progress.index < 0 || progress.index >= m_engine.rows().size())
        return;
    const TransferRow& row = m_engine.rows().at(progress.index);
    if (row.state != TransferState::Fetching)
        return;
    showLive(prefix(progress.index) + row.fileName +
             u" %1% (total %2%)"_s.arg(progress.filePercent)
                 .arg(totalPercent(progress.index, progress.filePercent)));
}

} // namespace quillon::cli
