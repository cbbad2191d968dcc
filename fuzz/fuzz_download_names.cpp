// What a server says about a download: the Content-Disposition header, the final address, and
// the links the transfer rules rewrite. A name accepted for storing never leaves its folder.
#include "app/common/urls.h"
#include "fuzz_support.h"
#include "install/download_request.h"
#include "install/host_rules.h"

#include <QDir>

using namespace quillon;

namespace {

void checkStorableName(const QString& name) {
    if (!FileNameRefusal(name).isEmpty())
        return;
    FUZZ_CHECK(!name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(u'\0')));
    FUZZ_CHECK(name != QStringLiteral(".") && name != QStringLiteral(".."));
    const QString stored = QDir::cleanPath(QStringLiteral("/downloads/") + name);
    FUZZ_CHECK(stored.startsWith(QStringLiteral("/downloads/")) && stored.count(u'/') == 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> parts = fuzz::splitInput(fuzz::bytesOf(data, size), 3);
    const QString address = QString::fromUtf8(parts[1]);

    checkStorableName(ContentDispositionFileName(parts[0]));
    checkStorableName(LocalNameFromAddress(address));
    checkStorableName(UrlFileName(address));

    for (const int mode : {0, 1, 2})
        (void)UrlHost(address, mode);
    (void)UrlSiteName(address);
    (void)IsValidUrl(address);
    (void)RequestCategoryOf(address);
    (void)RewriteFileHostLink(address);
    (void)CloudDriveDownloadAddress(address);
    const QStringList hosts = QString::fromUtf8(parts[2]).split(u',');
    (void)HostMatches(address, hosts);
    HostRules rules;
    rules.emptyUserAgent = hosts;
    (void)UserAgentFor(address, rules);
    if (const auto number = MirrorNumber(address)) {
        FUZZ_CHECK(!number->isEmpty());
        for (const QChar c : *number)
            FUZZ_CHECK(c >= u'0' && c <= u'9');
        (void)MirrorPostBody(*number);
    }

    // A request line read back is the same request, whatever its fields hold.
    const QStringList fields = QString::fromUtf8(parts[2]).split(u'\t');
    const DownloadRequest request{address,         fields.value(0), fields.value(1),
                                  fields.value(2), fields.value(3), fields.value(4)};
    const auto back = DownloadRequest::fromLine(request.toLine());
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(back->toLine() == request.toLine());
    return 0;
}
