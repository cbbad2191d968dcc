// Pages of file-hosting sites, read for their links: the first line is the page's address, the
// rest its HTML.
#include "fuzz_support.h"
#include "install/host_rules.h"
#include "updatecheck/page_links.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> parts = fuzz::splitInput(fuzz::bytesOf(data, size), 2);
    const QString address = QString::fromUtf8(parts[0]);
    for (const QString& link : GetPageLinks(address, parts[1]))
        (void)link.size();
    (void)FileLinkFromPage(QString::fromUtf8(parts[1]), {QStringLiteral("127.0.0.1"), address});
    return 0;
}
