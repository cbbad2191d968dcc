#include "app/common/atomic_file.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace quillon {

QString FileErrorReason(int errnoValue, const QString& fallback) {
    switch (errnoValue) {
    case ENOSPC:
        return u"disk full"_s;
#ifdef EDQUOT
    case EDQUOT:
        return u"disk quota exceeded"_s;
#endif
    case EFBIG:
        return u"file too large for the file system"_s;
    case EROFS:
        return u"read-only file system"_s;
    case EACCES:
    case EPERM:
        return u"no rights to write there"_s;
    case EIO:
        return u"input/output error (a failing disk?)"_s;
    case ENOENT:
    case ENOTDIR:
        return u"the folder does not exist"_s;
    case ENAMETOOLONG:
        return u"the name is too long"_s;
    default:
        break;
    }
    return fallback.isEmpty() ? u"unknown error"_s : fallback;
}

AtomicFileWriter::AtomicFileWriter(QString target) : m_target(std::move(target)) {}

AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

void AtomicFileWriter::fail(int errnoValue, const QString& fallback) {
    if (m_errorText.isEmpty())
        m_errorText = QDir::toNativeSeparators(m_target) + u": "_s + FileErrorReason(errnoValue, fallback);
}

bool AtomicFileWriter::open() {
    discard();
    m_errorText.clear();
    const QFileInfo info(m_target);
    if (info.isDir() && !info.isSymLink()) {
        fail(EISDIR, u"a folder of that name is in the way"_s);
        return false;
    }
    // A name no other writer picks, so that two runs never share a temporary file.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate() % 0xFFFFFF, 36);
        m_temporary = m_target + u'.' + suffix + u".quillon-tmp"_s;
        m_file.setFileName(m_temporary);
        errno = 0;
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            return true;
        }
        if (errno != EEXIST) {
            fail(errno, m_file.errorString());
            m_temporary.clear();
            return false;
        }
    }
    fail(EEXIST, u"no free temporary name"_s);
    m_temporary.clear();
    return false;
}

qint64 AtomicFileWriter::writeData(const char* data, qint64 size) {
    if (failed() || !m_file.isOpen())
        return -1;
    errno = 0;
    const qint64 written = m_file.write(data, size);
    if (written != size) {
        fail(errno, m_file.errorString());
        return -1;
    }
    return written;
}

bool AtomicFileWriter::commit() {
    if (!m_file.isOpen() && !failed())
        fail(0, u"the file was not opened"_s);
    if (failed()) {
        discard();
        return false;
    }
#ifdef Q_OS_UNIX
    // Some file systems report a full disk or a failing one only here.
    if (m_sync && ::fsync(m_file.handle()) != 0 && errno != EINVAL && errno != ENOTSUP) {
        fail(errno, QString());
        discard();
        return false;
    }
#endif
    errno = 0;
    m_file.close();
    if (m_file.error() != QFileDevice::NoError) {
        fail(errno, m_file.errorString());
        discard();
        return false;
    }
    QIODevice::close();
    if (const QFileInfo old(m_target); old.isFile() && !old.isSymLink())
        QFile::setPermissions(m_temporary, old.permissions());
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(m_temporary.toStdU16String()),
                            std::filesystem::path(m_target.toStdU16String()), ec);
    if (ec) {
        fail(ec.value(), QString::fromStdString(ec.message()));
        discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void AtomicFileWriter::discard() {
    if (m_file.isOpen())
        m_file.close();
    if (isOpen())
        QIODevice::close();
    if (!m_temporary.isEmpty()) {
        QFile::remove(m_temporary);
        m_temporary.clear();
    }
}

bool WriteFileAtomically(const QString& target, const QByteArray& bytes, QString* errorText) {
    AtomicFileWriter writer(target);
    if (writer.open() && writer.write(bytes) == bytes.size() && writer.commit())
        return true;
    if (errorText)
        *errorText = writer.errorText();
    return false;
}

bool CopyFileAtomically(const QString& source, const QString& target, QString* errorText) {
    auto readFailure = [&](const QFile& in) {
        if (errorText)
            *errorText =
                QDir::toNativeSeparators(source) + u": "_s + FileErrorReason(errno, in.errorString());
        return false;
    };
    QFile in(source);
    errno = 0;
    if (!in.open(QIODevice::ReadOnly))
        return readFailure(in);
    AtomicFileWriter writer(target);
    if (!writer.open()) {
        if (errorText)
            *errorText = writer.errorText();
        return false;
    }
    QByteArray buffer(1024 * 1024, Qt::Uninitialized);
    for (;;) {
        errno = 0;
        const qint64 got = in.read(buffer.data(), buffer.size());
        if (got < 0)
            return readFailure(in);
        if (got == 0)
            break;
        if (writer.write(buffer.constData(), got) != got)
            break;
    }
    // The file keeps the date it came with, as a Windows copy does: a plugin versioned by its
    // date must not read as released on the day it was installed.
    if (!writer.failed() && !writer.temporaryPath().isEmpty()) {
        QFile stamp(writer.temporaryPath());
        if (stamp.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
            stamp.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
    }
    if (writer.commit())
        return true;
    if (errorText)
        *errorText = writer.errorText();
    return false;
}

} // namespace quillon
