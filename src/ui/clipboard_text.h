#pragma once
// Text put on the desktop's clipboard: the program's copy formats end their lines with CR LF
// as Windows expects; the clipboard of a Linux desktop carries LF, which editors and terminals
// paste without stray carriage returns.
#include <QString>

namespace quillon::ui {

inline QString clipboardText(QString text) {
#ifdef Q_OS_WIN
    return text;
#else
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
}

} // namespace quillon::ui
