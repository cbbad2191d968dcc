#include "app/tc_description.h"

#include <QFile>
#include <QStringDecoder>

#include <optional>

#include "app/common/regular_file.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

constexpr quint32 kEnglishLcid = 1033;

std::optional<QString> readDescription(const QString& dir, quint32 lcid) {
    QFile file(dir + u"/TC_LNG_"_s + QString::number(lcid) + u".txt"_s);
    if (!OpenRegularFile(file))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(file.readAll());
    // A damaged file would show replacement marks; the English text reads better.
    if (decoder.hasError())
        return std::nullopt;
    // The window turns every line break into one of its own: a file saved with CRLF must not
    // give two.
    text.replace(u"\r\n"_s, u"\n"_s);
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

} // namespace

QString TotalCommanderDescription(quint32 lcid, const QString& dir) {
    if (lcid != kEnglishLcid) {
        if (auto text = readDescription(dir, lcid))
            return *text;
    }
    return readDescription(dir, kEnglishLcid).value_or(QString());
}

} // namespace quillon
