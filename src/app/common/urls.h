#pragma once
// Pieces of web addresses.
#include <QString>

namespace quillon {

enum class UrlHostMode {
    SchemeAndHost = 0, // "http://www.example.com/"
    HostOnly = 1,      // "www.example.com/"
    NameAfterWww = 2,  // "example.com", or empty when the host has no "www."
};
QString UrlHost(const QString& url, UrlHostMode mode);
QString UrlHost(const QString& url, int mode);

// Everything after the last "/".
QString UrlFileName(const QString& url);

// "example" for "http://www.example.com/x": the text after "www." (else after "http://") up to
// the first "/" and then up to the first "."; empty when there is nothing to cut.
QString UrlSiteName(const QString& address);

// Strictly well-formed, with a scheme and a host.
bool IsValidUrl(const QString& text);

} // namespace quillon
