#include "updatecheck/anchored_span.h"

namespace quillon {

QString FirstAnchoredSpan(QStringView text, const AnchoredSpanRule& rule) {
    if (rule.anchor.isEmpty() || rule.end.isEmpty())
        return {};
    qsizetype lineStart = -1; // the line whose last end text is known
    qsizetype lastEnd = -1;   // where that end text starts; -1: the line has none
    qsizetype lineEnd = 0;
    for (qsizetype found = text.indexOf(rule.anchor); found >= 0;) {
        const qsizetype start = found + rule.anchor.size();
        if (start > lineEnd || lineStart < 0) {
            // First anchor on this line: one backward search serves every anchor of it.
            lineStart = text.lastIndexOf(u'\n', start - 1) + 1;
            lineEnd = text.indexOf(u'\n', start);
            if (lineEnd < 0)
                lineEnd = text.size();
            const QStringView line = text.mid(lineStart, lineEnd - lineStart);
            const qsizetype at = line.lastIndexOf(rule.end);
            lastEnd = at < 0 ? -1 : lineStart + at;
        }
        if (lastEnd >= start + rule.endLead) {
            const qsizetype spanEnd = rule.endInSpan ? lastEnd + rule.end.size() : lastEnd;
            return text.mid(start, spanEnd - start).toString();
        }
        // No later anchor of this line can match either: its end text lies before them all.
        found = text.indexOf(rule.anchor, lineEnd);
    }
    return {};
}

} // namespace quillon
