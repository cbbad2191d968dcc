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

QString TransferProgressPrinter::prefix(int index, int count) const {
    return u"[%1/%2] "_s.arg(index + 1).arg(count);
}

QString TransferProgressPrinter::totalText() const {
    const int count = m_engine.rowCount();
    return u" (total %1%)"_s.arg(count > 0 ? m_engine.totalPercent() / count : 0);
}

// Every transfer that runs now, in request order.
QString TransferProgressPrinter::runningText() const {
    const int count = m_engine.rowCount();
    QStringList parts;
    for (int i = 0; i < count; ++i) {
        const TransferRow row = m_engine.row(i);
        if (row.state == TransferState::Retrieving)
            parts.append(prefix(i, count) + row.fileName + u" - retrieving -"_s);
        else if (row.state == TransferState::Fetching)
            parts.append(prefix(i, count) + row.fileName + u' ' + QString::number(row.percent) + u'%');
    }
    return parts.isEmpty() ? QString() : parts.join(u", "_s) + totalText();
}

void TransferProgressPrinter::writeLine(const QString& text) {
    clearLineLocked();
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
    const std::lock_guard lock(m_mutex);
    clearLineLocked();
}

void TransferProgressPrinter::aside(const std::function<void()>& write) {
    const std::lock_guard lock(m_mutex);
    clearLineLocked();
    write();
}

void TransferProgressPrinter::clearLineLocked() {
    if (!m_terminal || m_live.isEmpty())
        return;
    m_err << "\r\x1b[K";
    m_err.flush();
    m_live.clear();
}

void TransferProgressPrinter::rowChanged(int index) {
    const std::lock_guard lock(m_mutex);
    const int count = m_engine.rowCount();
    if (index < 0 || index >= count)
        return;
    while (m_shown.size() < count)
        m_shown.append(Shown::Nothing);
    const TransferRow row = m_engine.row(index);
    Shown& shown = m_shown[index];
    switch (row.state) {
    case TransferState::Queued:
        return;
    case TransferState::Retrieving:
        if (shown == Shown::Nothing && m_terminal)
            showLive(runningText());
        shown = Shown::Started;
        return;
    case TransferState::Fetching:
        if (shown == Shown::Fetching || shown == Shown::Ended)
            return;
        shown = Shown::Fetching;
        if (m_terminal)
            showLive(runningText());
        else
            writeLine(prefix(index, count) + u"fetching "_s + row.fileName + u" (%1 bytes)"_s.arg(row.size));
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
    QString text = prefix(index, count);
    if (row.state == TransferState::Done)
        text += u"done "_s + row.fileName;
    else if (row.state == TransferState::Cancelled)
        text += u"cancelled "_s + row.fileName;
    else
        text += u"failed "_s + row.fileName + u": "_s + row.error;
    text += totalText();
    if (m_terminal)
        showLive(text);
    else
        writeLine(text);
}

void TransferProgressPrinter::progress(const TransferProgress& progress) {
    if (!m_terminal)
        return;
    const std::lock_guard lock(m_mutex);
    if (m_engine.row(progress.index).state != TransferState::Fetching)
        return;
    showLive(runningText());
}

} // namespace quillon::cli
