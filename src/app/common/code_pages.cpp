#include "app/common/code_pages.h"

#include <QStringDecoder>

#include "platform/code_page.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

// The Windows code page number behind one of Qt's codec names; 0 when there is none.
unsigned codePageNumber(QByteArrayView name) {
    const QString text = QString::fromLatin1(name).trimmed().toLower();
    const auto numberAfter = [&](QStringView prefix) {
        bool ok = false;
        const unsigned number = text.startsWith(prefix) ? text.mid(prefix.size()).toUInt(&ok) : 0;
        return ok ? number : 0u;
    };
    if (const unsigned n = numberAfter(u"windows-"); n)
        return n;
    if (const unsigned n = numberAfter(u"ibm"); n)
        return n;
    if (const unsigned n = numberAfter(u"cp"); n)
        return n;
    if (const unsigned n = numberAfter(u"iso-8859-"); n >= 1 && n <= 16)
        return 28590 + n;
    static constexpr struct {
        QStringView name;
        unsigned codePage;
    } named[] = {{u"shift_jis", 932}, {u"gbk", 936},      {u"gb2312", 936},    {u"big5", 950},
                 {u"koi8-r", 20866},  {u"koi8-u", 21866}, {u"gb18030", 54936}, {u"utf-8", 65001}};
    for (const auto& entry : named) {
        if (text == entry.name)
            return entry.codePage;
    }
    return 0;
}

std::optional<QString> decodeBySystem(QByteArrayView name, QByteArrayView bytes, bool strict) {
    const unsigned codePage = codePageNumber(name);
    if (codePage == 0)
        return std::nullopt;
    const std::optional<std::u16string> text = platform::DecodeCodePage(
        codePage, std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())), strict);
    if (!text)
        return std::nullopt;
    return QString::fromStdU16String(*text);
}

} // namespace

bool IsKnownCodePage(QByteArrayView name) {
    if (name.isEmpty())
        return false;
    const QByteArray terminated = name.toByteArray();
    return QStringDecoder(terminated.constData()).isValid() || decodeBySystem(name, "a", true).has_value();
}

std::optional<QString> DecodeCodePage(QByteArrayView name, QByteArrayView bytes, bool strict) {
    const QByteArray terminated = name.toByteArray();
    QStringDecoder decoder(terminated.constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return decodeBySystem(name, bytes, strict);
    QString text = decoder.decode(bytes);
    if (strict && decoder.hasError())
        return std::nullopt;
    return text;
}

QString DecodeWindows1252(QByteArrayView bytes) {
    // Windows maps the five unassigned bytes to their C1 controls, and so does ICU: Latin-1 is
    // that much right where neither is there.
    return DecodeCodePage("windows-1252", bytes, false).value_or(QString::fromLatin1(bytes));
}

} // namespace quillon
