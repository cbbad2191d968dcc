// Total Commander's announcement and download pages, read for the latest release.
#include "fuzz_support.h"
#include "updatecheck/page_fetcher.h"
#include "updatecheck/tc_release.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString page = DecodeAnsiPage(fuzz::bytesOf(data, size));
    const QString base = QStringLiteral("http://127.0.0.1:8123/");
    TcReleaseLookup lookup;
    for (const QString& address : TcReleasePageAddresses(base, false))
        FUZZ_CHECK(ParseTcReleasePage(address, page, base, lookup));
    (void)TcAnnouncedLinkOf(page, QStringLiteral("http://127.0.0.1:8123/tc/"));
    for (const bool refuseBeta : {false, true}) {
        const auto decision =
            DecideTcRelease(QStringLiteral("11.51"), lookup.TcReleaseCandidates, refuseBeta);
        FUZZ_CHECK(decision.has_value() == !lookup.TcReleaseCandidates.isEmpty());
    }
    (void)ChooseLatestTcRelease(lookup.TcReleaseCandidates);
    return 0;
}
