// A name stored in a downloaded archive: whatever the guard accepts stays below the folder it is
// unpacked into.
#include "fuzz_support.h"
#include "install/archive_entry_guard.h"

#include <QDir>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto kind = static_cast<ArchiveEntryKind>(data[0] % 4);
    const QByteArray bytes = fuzz::bytesOf(data + 1, size - 1);
    for (const QString& name : {QString::fromUtf8(bytes), QString::fromLatin1(bytes)}) {
        const ArchiveEntryVerdict verdict = CheckArchiveEntry(name, kind);
        if (!verdict.safe()) {
            FUZZ_CHECK(verdict.relativePath.isEmpty());
            continue;
        }
        FUZZ_CHECK(kind == ArchiveEntryKind::File || kind == ArchiveEntryKind::Directory);
        const QString& path = verdict.relativePath;
        FUZZ_CHECK(!path.isEmpty() && !path.startsWith(u'/') && !path.contains(u'\\') &&
                   !path.contains(u':'));
        for (const QString& part : path.split(u'/')) {
            FUZZ_CHECK(!part.isEmpty() && part != QStringLiteral(".") && part != QStringLiteral(".."));
            for (const QChar c : part)
                FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() != 0x7f);
        }
        const QString target = QDir::cleanPath(QStringLiteral("/root/out/") + path);
        FUZZ_CHECK(target.startsWith(QStringLiteral("/root/out/")));
    }
    return 0;
}
