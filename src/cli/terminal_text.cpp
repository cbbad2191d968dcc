#include "cli/terminal_text.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace quillon::cli {

namespace {

bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

} // namespace

QString TerminalSafe(const QString& text, LineBreaks lineBreaks) {
    const auto needsEscape = [lineBreaks](QChar c) {
        return isControl(c.unicode()) && !(lineBreaks == LineBreaks::Keep && c == u'\n');
    };
    if (std::none_of(text.cbegin(), text.cend(), needsEscape))
        return text;
    QString safe;
    safe.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (needsEscape(c))
            safe += u"\\x"_s + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            safe += c;
    }
    return safe;
}

} // namespace quillon::cli
