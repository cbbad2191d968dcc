// Version texts from outside: the catalogue's version field, Total Commander's pages and window
// title, and the history and read-me files plugins ship. The first line is one version, the
// second another, the rest a text file.
#include "fuzz_support.h"
#include "inventory/text_version_scan.h"
#include "inventory/version_compare.h"
#include "inventory/version_text.h"
#include "tcdetect/tc_version.h"
#include "updatecheck/tc_release.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> parts = fuzz::splitInput(fuzz::bytesOf(data, size), 3);
    const QString installed = QString::fromUtf8(parts[0]);
    const QString online = QString::fromUtf8(parts[1]);
    const QString text = QString::fromLatin1(parts[2]);

    // Two versions are never each newer than the other: the list would offer both as updates.
    FUZZ_CHECK(!(ComplexVerGreater(installed, online) && ComplexVerGreater(online, installed)));
    for (const QString& version : {installed, online}) {
        (void)GetMainVersion(version);
        (void)NormalizeVersionText(version);
        (void)CollapsedVersion(version);
        (void)NormalizeTitleVersion(version);
        (void)NormalizeHistoryVersion(version);
        (void)NormalizeTcReleaseText(version);
        (void)VersionFromWindowTitle(version, online);
        (void)VersionFromHistoryLine(version);
    }
    for (const bool historyFile : {true, false}) {
        if (const auto start = FindVersionStart(text, historyFile)) {
            FUZZ_CHECK(*start >= 0 && *start < text.size());
            FUZZ_CHECK(ExtractVersionAt(text, *start).size() <= 8);
        }
        (void)ScanTextForVersion(text, historyFile);
    }
    return 0;
}
