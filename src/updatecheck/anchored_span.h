#pragma once
// "(?<=anchor)(.*)(?=end)" without a regular expression. PCRE tries every start position and,
// from each, backtracks over the rest of the line: a page of one long line of anchors costs
// quadratic time (a 1 MiB announcement page took minutes). Here every line is looked at once.
#include <QString>
#include <QStringView>

namespace quillon {

struct AnchoredSpanRule {
    QStringView anchor; // the text before the span, not part of it
    QStringView end;    // the text after the span
    // Characters of the line that must lie between the anchor and the end text, and that
    // belong to the span together with the end text itself: "(?<=a)(.*)(.php)" is {a, u"php", 1}.
    qsizetype endLead = 0;
    bool endInSpan = false;
};

// The first match in text: the span starts right after the first anchor whose line (after it)
// holds the end text and runs to the last end text of that line. A line ends at "\n" only, as
// "." does. Empty when nothing matches.
QString FirstAnchoredSpan(QStringView text, const AnchoredSpanRule& rule);

} // namespace quillon
