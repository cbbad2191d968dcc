// A downloaded package, ZIP or cabinet (by its signature), unpacked the way an installation
// unpacks it: nothing may land outside the target folder, and no link may be created.
#include "fuzz_support.h"
#include "install/libarchive_extract.h"
#include "install/zip_archive.h"

#include <QDir>
#include <QDirIterator>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    // The folders around the target stay for the process: anything written outside the target
    // ends it below, so only the target needs clearing between inputs.
    static const QString root = fuzz::scratchDir() + QStringLiteral("/archive");
    static const bool made = QDir().mkpath(root + QStringLiteral("/a/b"));
    FUZZ_CHECK(made);
    static const QString package = root + QStringLiteral("/package");
    static const QString target = root + QStringLiteral("/a/b/out");
    QDir(target).removeRecursively();
    fuzz::writeFile(package, bytes);

    const bool cabinet = bytes.startsWith("MSCF");
    const ArchiveResult result =
        ExtractWithLibarchive(package, target, cabinet ? LibarchiveFormat::Cab : LibarchiveFormat::Zip);
    if (result.ok)
        FUZZ_CHECK(result.refusedEntries.isEmpty());

    static const QStringList expected{package, root + QStringLiteral("/a"), root + QStringLiteral("/a/b"),
                                      target};
    int files = 0;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        FUZZ_CHECK(!it.fileInfo().isSymLink());
        if (expected.contains(path))
            continue;
        FUZZ_CHECK(path.startsWith(target + u'/'));
        if (it.fileInfo().isFile())
            ++files;
    }
    // A name stored twice is written twice; a file whose data failed is removed again.
    FUZZ_CHECK(files <= result.filesWritten);

    if (!cabinet)
        (void)DecompressZip(QStringLiteral("tcplugins/wincmd.ini"), package);
    return 0;
}
