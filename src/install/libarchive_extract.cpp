#include "install/libarchive_extract.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

#include <archive.h>
#include <archive_entry.h>

#ifndef Q_OS_WIN
#include <langinfo.h>
#include <locale.h>
#include <string.h>
#endif

#include "app/common/archive_file.h"
#include "app/common/atomic_file.h"
#include "app/common/code_pages.h"
#include "install/archive_entry_guard.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

constexpr size_t ReadBlockSize = 256 * 1024;

QString libarchiveError(archive* a) {
    const char* text = archive_error_string(a);
    return text != nullptr ? QString::fromLocal8Bit(text) : u"unknown archive error"_s;
}

// Names without the UTF-8 flag come from DOS-era tools in the OEM code page.
QString entryName(archive_entry* entry) {
    if (const char* utf8 = archive_entry_pathname_utf8(entry))
        return QString::fromUtf8(utf8);
    const char* raw = archive_entry_pathname(entry);
    if (raw == nullptr)
        return QString();
    return DecodeCodePage("IBM437", raw, false).value_or(QString::fromLatin1(raw));
}

ArchiveEntryKind entryKind(archive_entry* entry) {
    if (archive_entry_hardlink(entry) != nullptr || archive_entry_symlink(entry) != nullptr)
        return ArchiveEntryKind::Link;
    switch (archive_entry_filetype(entry)) {
    case AE_IFREG:
        return ArchiveEntryKind::File;
    case AE_IFDIR:
        return ArchiveEntryKind::Directory;
    case AE_IFLNK:
        return ArchiveEntryKind::Link;
    default:
        return ArchiveEntryKind::Other;
    }
}

// What the whole package may still write; below zero once it wrote more than allowed.
struct UnpackBudget {
    qint64 left = 0;
    bool limited = false;
};

// Copies the current entry's data into target; false with errorText on a read or write failure.
// libarchive reports a damaged entry (a CRC that does not match, a wrong size) as a warning
// with the last block: that is a failure here, the entry is not what its maker packed.
bool writeEntryData(archive* a, archive_entry* entry, const QString& target, UnpackBudget& budget,
                    QString* errorText) {
    AtomicFileWriter out(target);
    out.setSyncToDisk(false); // a scratch copy: the installation writes the kept one
    if (!out.open()) {
        *errorText = u"cannot create "_s + out.errorText();
        return false;
    }
    qint64 written = 0;
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int r = archive_read_data_block(a, &block, &size, &offset);
        if (r == ARCHIVE_EOF)
            break;
        if (r != ARCHIVE_OK) {
            *errorText = u"%1 is damaged: %2"_s.arg(entryName(entry), libarchiveError(a));
            return false;
        }
        budget.left -= static_cast<qint64>(size);
        if (budget.limited && budget.left < 0) {
            *errorText = u"it unpacks to more than its entries declare and the limit allows"_s;
            return false;
        }
        if (offset < written) {
            *errorText = u"%1 is damaged: its data goes back"_s.arg(entryName(entry));
            return false;
        }
        // A hole of sparse data is written out as zeros.
        const QByteArray zeros(static_cast<qsizetype>(std::min<la_int64_t>(offset - written, 1 << 20)), '\0');
        while (written < offset) {
            const qint64 n = std::min<qint64>(offset - written, zeros.size());
            if (out.write(zeros.constData(), n) != n)
                break;
            written += n;
        }
        if (size > 0 && out.write(static_cast<const char*>(block), static_cast<qint64>(size)) ==
                            static_cast<qint64>(size))
            written += static_cast<qint64>(size);
        if (out.failed()) {
            *errorText = u"cannot write "_s + out.errorText();
            return false;
        }
    }
    if (archive_entry_mtime_is_set(entry)) {
        QFile stamp(out.temporaryPath());
        if (stamp.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
            stamp.setFileTime(QDateTime::fromSecsSinceEpoch(archive_entry_mtime(entry)),
                              QFileDevice::FileModificationTime);
    }
    if (!out.commit()) {
        *errorText = u"cannot write "_s + out.errorText();
        return false;
    }
    return true;
}

// The sum of the sizes the entries declare; -1 when the archive cannot be listed (the unpack
// then reports why).
qint64 declaredSize(const QString& filePath, LibarchiveFormat format) {
    QString ignored;
    archive* a = OpenArchiveForReading(filePath, format, &ignored);
    if (a == nullptr)
        return -1;
    qint64 total = 0;
    archive_entry* entry = nullptr;
    int r = ARCHIVE_OK;
    while ((r = archive_read_next_header(a, &entry)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        if (archive_entry_size_is_set(entry))
            total += qMax(archive_entry_size(entry), la_int64_t(0));
    }
    archive_read_free(a);
    return r == ARCHIVE_EOF ? total : -1;
}

} // namespace

Utf8NamesScope::Utf8NamesScope() {
#ifndef Q_OS_WIN
    if (strcmp(nl_langinfo(CODESET), "UTF-8") == 0)
        return;
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (utf8 == static_cast<locale_t>(nullptr))
        return;
    m_utf8 = static_cast<void*>(utf8);
    m_previous = static_cast<void*>(uselocale(utf8));
#endif
}

Utf8NamesScope::~Utf8NamesScope() {
#ifndef Q_OS_WIN
    if (m_utf8 == nullptr)
        return;
    uselocale(static_cast<locale_t>(m_previous));
    freelocale(static_cast<locale_t>(m_utf8));
#endif
}

archive* OpenArchiveForReading(const QString& filePath, LibarchiveFormat format, QString* errorText) {
    if (!QFileInfo(filePath).isFile()) {
        *errorText = u"the archive %1 does not exist"_s.arg(QDir::toNativeSeparators(filePath));
        return nullptr;
    }
    archive* a = archive_read_new();
    if (a == nullptr) {
        *errorText = u"out of memory"_s;
        return nullptr;
    }
    // The seekable ZIP reader starts from the central directory at the end, so a ZIP behind an
    // executable stub (a self-extracting installer) reads like any other.
    if (format == LibarchiveFormat::Zip)
        archive_read_support_format_zip_seekable(a);
    else
        archive_read_support_format_cab(a);
    const int r = OpenArchiveFile(a, filePath, ReadBlockSize);
    if (r != ARCHIVE_OK) {
        *errorText = u"cannot read %1: %2"_s.arg(QDir::toNativeSeparators(filePath), libarchiveError(a));
        archive_read_free(a);
        return nullptr;
    }
    return a;
}

namespace {

// What an archive may write, held to the limits; empty refusal when it may start at all.
UnpackBudget budgetFor(const QString& filePath, LibarchiveFormat format, const UnpackLimits& limits,
                       bool checkDeclared, QString* refusal) {
    if (limits.maxBytes <= 0 && limits.maxRatio <= 0)
        return {};
    const qint64 packed = QFileInfo(filePath).size();
    if (checkDeclared) {
        if (const qint64 declared = declaredSize(filePath, format); declared >= 0) {
            if (const QString why = UnpackLimitRefusal(limits, packed, declared); !why.isEmpty()) {
                *refusal = u"%1 is refused: %2"_s.arg(QFileInfo(filePath).fileName(), why);
                return {};
            }
        }
    }
    // Declared sizes may lie: what is written is held to the limits as well.
    qint64 allowed = limits.maxBytes > 0 ? limits.maxBytes : std::numeric_limits<qint64>::max();
    if (limits.maxRatio > 0)
        allowed = qMin(allowed, qMax(packed * limits.maxRatio, kUnpackRatioFloor));
    return {allowed, true};
}

QString comparableEntryName(QString name) {
    return name.replace(u'\\', u'/').toCaseFolded();
}

} // namespace

ArchiveResult ExtractEntryWithLibarchive(const QString& filePath, const QString& wantedName,
                                         const QString& target, LibarchiveFormat format,
                                         const UnpackLimits& limits) {
    ArchiveResult result;
    const Utf8NamesScope utf8Names;
    // One entry is read, so the sizes of the others do not count against it.
    UnpackBudget budget = budgetFor(filePath, format, limits, false, &result.error);
    archive* a = OpenArchiveForReading(filePath, format, &result.error);
    if (a == nullptr)
        return result;
    const QString wanted = comparableEntryName(wantedName);
    archive_entry* entry = nullptr;
    bool found = false;
    for (;;) {
        const int r = archive_read_next_header(a, &entry);
        if (r == ARCHIVE_EOF)
            break;
        if (r < ARCHIVE_WARN) {
            result.error = libarchiveError(a);
            break;
        }
        if (archive_entry_filetype(entry) != AE_IFREG || comparableEntryName(entryName(entry)) != wanted)
            continue; // the next header read skips the data
        found = true;
        if (writeEntryData(a, entry, target, budget, &result.error))
            ++result.filesWritten;
        break;
    }
    archive_read_free(a);
    if (!found && result.error.isEmpty())
        result.error = u"%1 holds no %2"_s.arg(QFileInfo(filePath).fileName(), wantedName);
    result.ok = result.error.isEmpty();
    return result;
}

ArchiveResult ExtractWithLibarchive(const QString& filePath, const QString& extractTo,
                                    LibarchiveFormat format, const UnpackLimits& limits) {
    ArchiveResult result;
    const Utf8NamesScope utf8Names;
    UnpackBudget budget = budgetFor(filePath, format, limits, true, &result.error);
    if (!result.error.isEmpty())
        return result;
    if (!QDir().mkpath(extractTo)) {
        result.error = u"cannot create the folder %1"_s.arg(QDir::toNativeSeparators(extractTo));
        return result;
    }
    archive* a = OpenArchiveForReading(filePath, format, &result.error);
    if (a == nullptr)
        return result;

    archive_entry* entry = nullptr;
    for (;;) {
        const int r = archive_read_next_header(a, &entry);
        if (r == ARCHIVE_EOF)
            break;
        if (r < ARCHIVE_WARN) {
            result.error = libarchiveError(a);
            break;
        }
        const QString name = entryName(entry);
        const ArchiveEntryVerdict verdict = CheckArchiveEntry(name, entryKind(entry));
        if (!verdict.safe()) {
            result.refusedEntries.append(name + u": "_s + verdict.refusal);
            continue; // the next header read skips the data
        }
        if (!StaysBelowRoot(extractTo, verdict.relativePath)) {
            result.refusedEntries.append(name + u": leads through a symbolic link"_s);
            continue;
        }
        const QString target = extractTo + u'/' + verdict.relativePath;
        if (archive_entry_filetype(entry) == AE_IFDIR) {
            if (!QDir().mkpath(target)) {
                result.error = u"cannot create the folder %1"_s.arg(QDir::toNativeSeparators(target));
                break;
            }
            continue;
        }
        if (!QDir().mkpath(QFileInfo(target).path())) {
            result.error = u"cannot create the folder of %1"_s.arg(QDir::toNativeSeparators(target));
            break;
        }
        if (!writeEntryData(a, entry, target, budget, &result.error))
            break;
        ++result.filesWritten;
    }
    archive_read_free(a);
    if (result.error.isEmpty() && !result.refusedEntries.isEmpty())
        result.error = u"unsafe entries refused: %1"_s.arg(result.refusedEntries.join(u", "_s));
    result.ok = result.error.isEmpty();
    return result;
}

} // namespace quillon
