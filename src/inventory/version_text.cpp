#include "inventory/version_text.h"

#include <initializer_list>

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

QString removedAll(QString text, std::initializer_list<QStringView> words) {
    for (QStringView word : words)
        text.remove(word.toString(), Qt::CaseInsensitive);
    return text;
}

// Keeps the text up to and including its first blank, then trims.
QString cutAfterFirstBlank(const QString& text) {
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    return (blank < 0 ? text : text.left(blank + 1)).trimmed();
}

} // namespace

QString GetMainVersion(const QString& text) {
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : text.left(dot);
}

QString NormalizeVersionText(const QString& text) {
    QString result = text.trimmed();
    for (QStringView separator : {u". ", u", ", u"; ", u",", u";"})
        result.replace(separator.toString(), u"."_s, Qt::CaseInsensitive);
    result = removedAll(result, {u"version ", u"version", u"ver ", u"ver", u"final", u"beta", u"alpha"});
    return cutAfterFirstBlank(result);
}

QString CollapsedVersion(const QString& text) {
    const QString result =
        removedAll(text.trimmed(), {u". ", u", ", u"; ", u".", u",", u";", u"0", u"version ", u"version",
                                    u"ver ", u"ver", u"final", u"beta", u"alpha", u"Pß", u"ß", u"RC"});
    return cutAfterFirstBlank(result);
}

} // namespace quillon
