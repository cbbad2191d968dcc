// An external language file (Quillon.lng beside the program): every text of it, decoded in the
// code page it names.
#include "app/language.h"
#include "fuzz_support.h"

#include <QDir>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString dir = fuzz::scratchDir();
    static const QString file = dir + QStringLiteral("/Quillon.lng");
    // No built-in files: the file under test is the only language there is. One object for the
    // process, as in the program, which loads one language after another into it.
    static Language language(dir, QStringLiteral("Quillon"), dir + QStringLiteral("/none"));
    fuzz::writeFile(file, fuzz::bytesOf(data, size));
    FUZZ_CHECK(language.LoadLanguage(QStringLiteral("0")));
    FUZZ_CHECK(language.ExternalLanguage());

    const IniDocument& store = language.LanguageStore();
    const Placeholders values{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")};
    // The other code pages a file may name, one per input, since each decoder costs its set-up.
    static const QByteArray codecs[] = {"windows-1251", "GBK", "Shift_JIS", "UTF-8", "Big5", "windows-874"};
    const QByteArray& codec = codecs[size % std::size(codecs)];
    // Each text opens a decoder for the file's code page: a few reach every path, and the
    // mutator varies which ones.
    int budget = 16;
    for (const QString& section : store.sections()) {
        for (const QString& key : store.keys(section)) {
            if (--budget < 0)
                break;
            // The text as looked up, placeholders filled in.
            const QString formatted = language.format(section, key, QStringLiteral("default"), values);
            // Every placeholder has a value without "%", so none is left.
            FUZZ_CHECK(!formatted.contains(QStringLiteral("%s"), Qt::CaseInsensitive));
            (void)decodeCodepageText(store.value(section, key), codec);
        }
    }
    (void)language.menuEntries();
    (void)language.buttonCaption();
    return 0;
}
