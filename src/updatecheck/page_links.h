#pragma once
// `GetPageLinks`: the targets of every <a href> of a web page, in document order, made
// absolute against the page's address.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillon {

// Parses html (UTF-8, or Windows-1252 when it is not valid UTF-8) as a browser would. A link
// with its own scheme ("https:", "mailto:") stays as written; "/x" is taken from the page's
// scheme and host; any other relative link from the page's folder. Anchors without href are
// no links.
QStringList GetPageLinks(const QString& pageUrl, const QByteArray& html);

// Fetches the page with a client of its own (direct, without the program's proxy) and parses
// it. Empty when the page could not be read; errorText then says why.
QStringList GetPageLinks(const QString& pageUrl, int timeoutMs = 7000, QString* errorText = nullptr);

} // namespace quillon
