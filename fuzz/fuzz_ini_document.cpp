// Every INI file the program reads (settings, user database, per-file memory, databases,
// language files, wincmd.ini): a document written back reads as the same document.
#include "app/ini_document.h"
#include "fuzz_support.h"

using namespace quillon;

namespace {

void checkDocument(const QByteArray& bytes, IniDocument::Encoding encoding) {
    IniDocument document(QString(), encoding);
    document.setBytes(bytes);
    const QByteArray written = document.toBytes();
    IniDocument reread(QString(), encoding);
    reread.setBytes(written);
    FUZZ_CHECK(reread.toBytes() == written);
    FUZZ_CHECK(reread.sections() == document.sections());

    for (const QString& section : document.sections()) {
        FUZZ_CHECK(document.hasSection(section));
        const QStringList keys = document.keys(section);
        FUZZ_CHECK(keys.size() <= document.entries(section).size());
        for (const QString& key : keys) {
            FUZZ_CHECK(document.hasKey(section, key));
            FUZZ_CHECK(reread.value(section, key) == document.value(section, key));
        }
    }
    // Changes keep the document consistent with what it reports.
    if (const QStringList sections = document.sections(); !sections.isEmpty()) {
        const QString& section = sections.first();
        for (const QString& key : document.keys(section)) {
            document.setValue(section, key, QStringLiteral("changed"));
            FUZZ_CHECK(document.value(section, key) == QStringLiteral("changed"));
            document.removeKey(section, key);
            FUZZ_CHECK(!document.hasKey(section, key));
        }
        document.setValue(section, QStringLiteral("Added"), QStringLiteral("1"));
        FUZZ_CHECK(document.value(section, QStringLiteral("added")) == QStringLiteral("1"));
        document.removeSection(section);
        FUZZ_CHECK(!document.hasSection(section));
        for (const QString& other : document.sections())
            FUZZ_CHECK(document.hasSection(other));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One encoding per input, by its length: the mutator reaches both, at half the cost.
    checkDocument(fuzz::bytesOf(data, size),
                  size % 2 == 0 ? IniDocument::Encoding::Utf8 : IniDocument::Encoding::Latin1);
    return 0;
}
