#pragma once
// Text in the code pages Total Commander's world writes: its ANSI page, DOS's OEM page in old
// archives, the page a language file names. Qt decodes where it has the codec; a Qt built
// without ICU (the Windows build) has none but UTF and Latin-1, and the system decodes there.
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace quillon {

// name as Qt names a codec: "windows-1252", "IBM437", "ISO-8859-15", "Shift_JIS", "UTF-8".
bool IsKnownCodePage(QByteArrayView name);
// Nothing when the name is unknown, or (strict) when bytes are no valid text in it. Without
// strict, undecodable bytes become replacement characters.
std::optional<QString> DecodeCodePage(QByteArrayView name, QByteArrayView bytes, bool strict);
// Windows' ANSI page as Total Commander's files use it; every byte is one character.
QString DecodeWindows1252(QByteArrayView bytes);

} // namespace quillon
