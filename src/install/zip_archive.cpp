#include "install/zip_archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <archive.h>
#include <archive_entry.h>

#include "app/common/atomic_file.h"
#include "app/common/files.h"
#include "app/common/regular_file.h"
#include "install/archive_entry_guard.h"
#include "install/libarchive_extract.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

QString comparableName(const QString& name) {
    return QString(name).replace(u'\\', u'/').toCaseFolded();
}

QString withSlash(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// Adds one file under entryName; false with errorText on a read or write failure.
bool addFile(archive* a, const QString& path, const QString& entryName, QString* errorText) {
    QFile in(path);
    if (!OpenRegularFile(in)) {
        *errorText = u"cannot read %1: %2"_s.arg(QDir::toNativeSeparators(path), in.errorString());
        return false;
    }
    const QFileInfo info(path);
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname_utf8(entry, entryName.toUtf8().constData());
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    archive_entry_set_size(entry, in.size());
    archive_entry_set_mtime(entry, info.lastModified().toSecsSinceEpoch(), 0);
    const bool headerWritten = archive_write_header(a, entry) == ARCHIVE_OK;
    archive_entry_free(entry);
    if (!headerWritten) {
        *errorText = QString::fromLocal8Bit(archive_error_string(a));
        return false;
    }
    QByteArray buffer(1024 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(buffer.data(), buffer.size());
        if (got < 0) {
            *errorText = u"cannot read %1: %2"_s.arg(QDir::toNativeSeparators(path), in.errorString());
            return false;
        }
        if (got == 0)
            break;
        if (archive_write_data(a, buffer.constData(), static_cast<size_t>(got)) != got) {
            *errorText = QString::fromLocal8Bit(archive_error_string(a));
            return false;
        }
    }
    return true;
}

// The files without repeats and their entry names; false with errorText when a file lies
// outside basePath.
bool entryNamesBelow(const QString& basePath, const QStringList& files, QStringList* uniqueFiles,
                     QStringList* names, QString* errorText) {
    const QDir base(basePath);
    QSet<QString> seen;
    for (const QString& file : files) {
        const QString relative = base.relativeFilePath(file);
        const ArchiveEntryVerdict verdict = CheckArchiveEntry(relative, ArchiveEntryKind::File);
        if (!verdict.safe() || QDir::isAbsolutePath(relative)) {
            *errorText = u"%1 is not inside %2"_s.arg(QDir::toNativeSeparators(file),
                                                      QDir::toNativeSeparators(basePath));
            return false;
        }
        if (seen.contains(comparableName(verdict.relativePath)))
            continue;
        seen.insert(comparableName(verdict.relativePath));
        uniqueFiles->append(file);
        names->append(verdict.relativePath);
    }
    return true;
}

la_ssize_t writeToFile(archive*, void* client, const void* buffer, size_t length) {
    auto* out = static_cast<AtomicFileWriter*>(client);
    const auto size = static_cast<qint64>(length);
    return out->write(static_cast<const char*>(buffer), size) == size ? static_cast<la_ssize_t>(size) : -1;
}

bool writeZip(const QString& target, const QStringList& files, const QStringList& names, QString* errorText) {
    AtomicFileWriter out(target);
    if (!out.open()) {
        *errorText = out.errorText();
        return false;
    }
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_options(a, "zip:hdrcharset=UTF-8");
    archive_write_set_bytes_in_last_block(a, 1);
    int r = archive_write_open(a, &out, nullptr, &writeToFile, nullptr);
    bool ok = r == ARCHIVE_OK;
    if (!ok)
        *errorText = QString::fromLocal8Bit(archive_error_string(a));
    for (qsizetype i = 0; ok && i < files.size(); ++i)
        ok = addFile(a, files.at(i), names.at(i), errorText);
    r = archive_write_close(a);
    if (ok && r != ARCHIVE_OK) {
        *errorText = QString::fromLocal8Bit(archive_error_string(a));
        ok = false;
    }
    archive_write_free(a);
    // The writer knows best why a write failed ("disk full").
    if (out.failed())
        *errorText = out.errorText();
    if (!ok || !out.commit()) {
        if (out.failed())
            *errorText = out.errorText();
        return false;
    }
    return true;
}

} // namespace

ArchiveResult DecompressZipDisk(const QString& filePath, const QString& extractTo,
                                const UnpackLimits& limits) {
    return ExtractWithLibarchive(filePath, extractTo, LibarchiveFormat::Zip, limits);
}

ArchiveResult DecompressZipEntryDisk(const QString& filePath, const QString& entryName, const QString& target,
                                     const UnpackLimits& limits) {
    return ExtractEntryWithLibarchive(filePath, entryName, target, LibarchiveFormat::Zip, limits);
}

QByteArray DecompressZip(const QString& extractName, const QString& filePath) {
    const Utf8NamesScope utf8Names;
    QString error;
    archive* a = OpenArchiveForReading(filePath, LibarchiveFormat::Zip, &error);
    if (a == nullptr)
        return {};
    const QString wanted = comparableName(extractName);
    QByteArray data;
    archive_entry* entry = nullptr;
    while (archive_read_next_header(a, &entry) >= ARCHIVE_WARN) {
        const char* utf8 = archive_entry_pathname_utf8(entry);
        if (utf8 == nullptr || comparableName(QString::fromUtf8(utf8)) != wanted ||
            archive_entry_filetype(entry) != AE_IFREG)
            continue;
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > MaxInMemoryEntry)
            break;
        bool failed = false;
        for (;;) {
            const void* block = nullptr;
            size_t size = 0;
            la_int64_t offset = 0;
            const int r = archive_read_data_block(a, &block, &size, &offset);
            if (r == ARCHIVE_EOF)
                break;
            // A warning here is a damaged entry (its CRC does not match): no data rather
            // than the wrong data.
            if (r != ARCHIVE_OK || offset != data.size() ||
                data.size() + static_cast<qint64>(size) > MaxInMemoryEntry) {
                failed = true;
                break;
            }
            data.append(static_cast<const char*>(block), static_cast<qsizetype>(size));
        }
        if (failed)
            data.clear();
        break;
    }
    archive_read_free(a);
    return data;
}

std::optional<QStringList> ZipEntryNames(const QString& filePath, QString* errorText) {
    const Utf8NamesScope utf8Names;
    QString error;
    archive* a = OpenArchiveForReading(filePath, LibarchiveFormat::Zip, &error);
    if (a == nullptr) {
        if (errorText)
            *errorText = error;
        return std::nullopt;
    }
    QStringList names;
    archive_entry* entry = nullptr;
    int r = ARCHIVE_OK;
    while ((r = archive_read_next_header(a, &entry)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        const char* utf8 = archive_entry_pathname_utf8(entry);
        if (utf8 != nullptr && archive_entry_filetype(entry) == AE_IFREG)
            names.append(QString::fromUtf8(utf8).replace(u'\\', u'/'));
    }
    // A header that cannot be read is a damaged archive, not its end.
    const bool complete = r == ARCHIVE_EOF;
    if (!complete && errorText)
        *errorText = QString::fromLocal8Bit(archive_error_string(a));
    archive_read_free(a);
    if (!complete)
        return std::nullopt;
    return names;
}

ArchiveResult ZipBackupFile(const QString& zipFolder, const QString& zipFileName, const QString& basePath,
                            const QStringList& files) {
    ArchiveResult result;
    const Utf8NamesScope utf8Names;
    if (!QDir().mkpath(zipFolder)) {
        result.error = u"cannot create the folder %1"_s.arg(QDir::toNativeSeparators(zipFolder));
        return result;
    }
    QStringList uniqueFiles;
    QStringList names;
    if (!entryNamesBelow(basePath, files, &uniqueFiles, &names, &result.error))
        return result;

    const QString target = withSlash(zipFolder) + zipFileName;
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir() && !targetInfo.isSymLink() && !targetInfo.isJunction()) {
        result.error = u"a folder named %1 is in the way"_s.arg(QDir::toNativeSeparators(target));
        return result;
    }
    // Written beside the target and renamed over it: a failure keeps the previous archive. A
    // link or junction of the archive's name goes as a link; what it points to stays.
    if (!writeZip(target, uniqueFiles, names, &result.error))
        return result;
    result.filesWritten = static_cast<int>(uniqueFiles.size());
    result.ok = true;
    return result;
}

QString BackupArchiveName(const QDate& day) {
    return u"backup_"_s + day.toString(u"dd-MM-yyyy"_s) + u"_QN.zip"_s;
}

} // namespace quillon
