#pragma once
// Text from outside (catalogue names, package entry names, server-chosen file names, paths in
// a Wine prefix) on its way to a terminal. An escape sequence in a plugin's name must not move
// the cursor, rewrite the title or recolour what follows; it is shown as written instead.
// --json needs none of this: the JSON writer escapes control characters itself.
#include <QString>

namespace quillon::cli {

enum class LineBreaks { Escape, Keep };

// C0 controls, DEL and the C1 controls (U+0080..U+009F, where U+009B starts a sequence on some
// terminals) written as "\xHH"; a backslash stays as it is. With LineBreaks::Keep, "\n" stays a
// line break (messages of several lines).
QString TerminalSafe(const QString& text, LineBreaks lineBreaks = LineBreaks::Escape);

} // namespace quillon::cli
