// The plugin catalogue's list page and the lookup of items in it. The indexed lookup must
// answer what a plain scan of the page's lines answers.
#include "fuzz_support.h"
#include "updatecheck/online_list.h"
#include "updatecheck/online_match.h"
#include "updatecheck/page_fetcher.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const OnlineList list = OnlineList::fromPage(DecodeAnsiPage(bytes));
    for (int i = 0; i < list.recordCount(); ++i)
        FUZZ_CHECK(list.positionsOf(list.records().at(i).matchKey()).contains(i));

    // Names as installed files carry them: the records' own identifiers and names, and the
    // page's first line as a file name of its own.
    QStringList fileNames{QString::fromLatin1(fuzz::splitInput(bytes, 2).first())};
    for (int i = 0; i < list.recordCount() && i < 2; ++i) {
        const OnlineRecord& record = list.records().at(i);
        fileNames << record.identifier() + QStringLiteral(".wcx64")
                  << QStringLiteral("plugins/wfx_") + record.identifier()
                  << record.displayName() + QStringLiteral(".wdx");
    }
    const QString matchKey = list.isEmpty() ? QString() : list.records().last().field(1);
    // The scan splits every line on every call: two fields tell whether both ways found the same
    // record, with and without the match key (the platform fields come from that record too).
    for (const QString& fileName : fileNames) {
        for (const OnlineField field : {OnlineField::Identifier, OnlineField::Name}) {
            FUZZ_CHECK(IsPluginFoundOnline(list, fileName, field, matchKey) ==
                       detail::IsPluginFoundOnlineScan(list.lines(), fileName, field, matchKey));
        }
    }
    return 0;
}
