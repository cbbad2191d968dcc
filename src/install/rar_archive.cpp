#include "install/rar_archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstring>
#include <memory>
#include <string>

#include "app/prompter.h"
#include "install/archive_entry_guard.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

constexpr unsigned CommentBufferSize = 64 * 1024;
constexpr unsigned UnixTypeMask = 0170000;
constexpr unsigned UnixRegular = 0100000;
constexpr unsigned UnixDirectory = 0040000;
constexpr unsigned UnixSymlink = 0120000;
constexpr unsigned WindowsReparsePoint = 0x400;

#ifdef Q_OS_WIN
const QString DefaultLibraryName = u"unrar.dll"_s;
#else
const QString DefaultLibraryName = u"libunrar.so"_s;
#endif

ArchiveEntryKind entryKind(const rar::HeaderDataEx& header) {
    if (header.redirType != 0)
        return ArchiveEntryKind::Link;
    if (header.hostOS == rar::HostUnix) {
        const unsigned type = header.fileAttr & UnixTypeMask;
        if (type == UnixSymlink)
            return ArchiveEntryKind::Link;
        if (type != 0 && type != UnixRegular && type != UnixDirectory)
            return ArchiveEntryKind::Other;
    } else if ((header.fileAttr & WindowsReparsePoint) != 0) {
        return ArchiveEntryKind::Link;
    }
    return (header.flags & rar::EntryDirectory) != 0 ? ArchiveEntryKind::Directory : ArchiveEntryKind::File;
}

QString headerName(const rar::HeaderDataEx& header) {
    if (header.fileNameW[0] != 0)
        return QString::fromWCharArray(header.fileNameW,
                                       static_cast<qsizetype>(wcsnlen(header.fileNameW, 1024)));
    return QString::fromLocal8Bit(header.fileName, static_cast<qsizetype>(strnlen(header.fileName, 1024)));
}

bool matchesAny(const QString& name, const QStringList& files) {
    if (files.isEmpty())
        return true;
    const QString normalised = QString(name).replace(u'\\', u'/');
    for (const QString& file : files) {
        const QString wanted = QString(file).replace(u'\\', u'/');
        if (wanted == u"*.*"_s || wanted == u"*"_s)
            return true;
        const QRegularExpression mask(QRegularExpression::wildcardToRegularExpression(wanted),
                                      QRegularExpression::CaseInsensitiveOption);
        if (normalised.compare(wanted, Qt::CaseInsensitive) == 0 || mask.match(normalised).hasMatch())
            return true;
    }
    return false;
}

// An executable stub before the archive: Windows or ELF program headers.
bool startsLikeProgram(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4);
    return head.startsWith("MZ") || head == "\x7f"
                                            "ELF";
}

// Copies text into the library's fixed buffer of capacity characters, always terminated.
template <typename Char>
void copyToBuffer(const std::basic_string<Char>& text, Char* buffer, rar::LParam capacity) {
    if (capacity <= 0)
        return;
    const size_t count = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::copy_n(text.data(), count, buffer);
    buffer[count] = 0;
}

} // namespace

QString RarErrorText(int code) {
    switch (code) {
    case rar::Success:
        return u"no error"_s;
    case rar::EndArchive:
        return u"end of archive"_s;
    case rar::NoMemory:
        return u"not enough memory"_s;
    case rar::BadData:
        return u"damaged data (checksum error)"_s;
    case rar::BadArchive:
        return u"not a valid RAR archive"_s;
    case rar::UnknownFormat:
        return u"unknown archive format"_s;
    case rar::OpenError:
        return u"cannot open the archive or a volume"_s;
    case rar::CreateError:
        return u"cannot create a file"_s;
    case rar::CloseError:
        return u"cannot close a file"_s;
    case rar::ReadError:
        return u"read error"_s;
    case rar::WriteError:
        return u"write error"_s;
    case rar::SmallBuffer:
        return u"buffer too small"_s;
    case rar::MissingPassword:
        return u"a password is needed"_s;
    case rar::ReferenceError:
        return u"a referenced file is missing"_s;
    case rar::BadPassword:
        return u"wrong password"_s;
    case RarArchive::LibraryMissing:
        return u"the unrar library is not available"_s;
    default:
        return u"unknown error %1"_s.arg(code);
    }
}

RarArchive::RarArchive(Prompter* prompter) : m_prompter(prompter), m_libraryPath(DefaultLibraryName) {}

RarArchive::~RarArchive() = default;

void RarArchive::setLibraryPath(const QString& path) {
    m_libraryPath = path.isEmpty() ? DefaultLibraryName : path;
    m_library.unload();
    m_loadTried = false;
}

bool RarArchive::ensureLoaded() {
    if (m_library.isLoaded())
        return true;
    if (!m_loadTried) {
        m_loadTried = true;
        QString error;
        if (m_library.load(m_libraryPath, &error)) {
            if (m_library.api().getDllVersion() < rar::MinimumDllVersion && m_prompter != nullptr) {
                m_prompter->tell(PromptIcon::Error, u"error"_s,
                                 u"please download the newest \"unrar.dll\" file.\n"
                                 "https://www.rarlab.com/rar_add.htm"_s);
            }
            return true;
        }
        m_lastError = error;
    }
    raise(LibraryMissing, OperationOpen, m_lastError.isEmpty() ? RarErrorText(LibraryMissing) : m_lastError);
    return false;
}

int RarArchive::getDllVersion() {
    return ensureLoaded() ? m_library.api().getDllVersion() : 0;
}

QString RarArchive::getVersion() {
    const int version = getDllVersion();
    return version > 0 ? u"unrar interface %1"_s.arg(version) : QString();
}

void RarArchive::raise(int code, Operation operation, const QString& text) {
    if (m_lastError.isEmpty() || code != LibraryMissing)
        m_lastError = text;
    if (onError)
        onError(code, operation);
}

rar::Handle RarArchive::open(unsigned mode) {
    if (!QFileInfo(m_fileName).isFile()) {
        raise(rar::OpenError, OperationOpen,
              u"the archive %1 does not exist"_s.arg(QDir::toNativeSeparators(m_fileName)));
        return nullptr;
    }
    std::wstring wideName = QDir::toNativeSeparators(m_fileName).toStdWString();
    QByteArray narrowName = QFile::encodeName(QDir::toNativeSeparators(m_fileName));
    auto comment = std::make_unique<char[]>(CommentBufferSize);
    rar::OpenArchiveDataEx data{};
    data.arcName = narrowName.data();
    data.arcNameW = wideName.data();
    data.openMode = mode;
    data.cmtBuf = comment.get();
    data.cmtBufSize = CommentBufferSize;
    data.callback = &RarArchive::callbackThunk;
    data.userData = reinterpret_cast<rar::LParam>(this);

    const rar::Api& api = m_library.api();
    rar::Handle handle = api.openArchiveEx(&data);
    if (data.openResult != rar::Success || handle == nullptr) {
        const int code = data.openResult != rar::Success ? static_cast<int>(data.openResult) : rar::Unknown;
        if (handle != nullptr)
            api.closeArchive(handle);
        raise(code, OperationOpen,
              u"cannot open %1: %2"_s.arg(QDir::toNativeSeparators(m_fileName), RarErrorText(code)));
        return nullptr;
    }
    api.setCallback(handle, &RarArchive::callbackThunk, reinterpret_cast<rar::LParam>(this));
    if (!m_password.isEmpty()) {
        QByteArray password = m_password.toLocal8Bit();
        api.setPassword(handle, password.data());
    }

    m_info = Information();
    m_info.fileName = m_fileName;
    m_info.opened = true;
    m_info.selfExtracting = startsLikeProgram(m_fileName);
    m_info.hasComment = (data.flags & rar::ArchiveComment) != 0;
    m_info.locked = (data.flags & rar::ArchiveLocked) != 0;
    m_info.solid = (data.flags & rar::ArchiveSolid) != 0;
    m_info.isSigned = (data.flags & rar::ArchiveSigned) != 0;
    m_info.recoveryRecord = (data.flags & rar::ArchiveRecovery) != 0;
    m_info.encryptedHeaders = (data.flags & rar::ArchiveEncryptedHeaders) != 0;
    if (data.cmtState == 1) {
        const size_t size = strnlen(comment.get(), std::min(data.cmtSize, CommentBufferSize));
        m_info.comment = QString::fromLocal8Bit(comment.get(), static_cast<qsizetype>(size));
    } else if (data.cmtState != 0) {
        const int code = static_cast<int>(data.cmtState);
        api.closeArchive(handle);
        m_info.opened = false;
        raise(code, OperationOpen,
              u"cannot read the comment of %1: %2"_s.arg(QDir::toNativeSeparators(m_fileName),
                                                         RarErrorText(code)));
        return nullptr;
    }
    return handle;
}

bool RarArchive::openFile(const QString& fileName) {
    m_fileName = fileName;
    m_info = Information();
    m_info.fileName = fileName;
    return list();
}

bool RarArchive::list() {
    return run({Pass::List, QString(), true, {}});
}

bool RarArchive::test() {
    return run({Pass::Test, QString(), true, {}});
}

bool RarArchive::extract(const QString& path, bool restoreFolder, const QStringList& files) {
    QString target = path;
    while (target.size() > 1 && target.endsWith(u'/'))
        target.chop(1);
    return run({Pass::Extract, target, restoreFolder, files});
}

bool RarArchive::run(const PassOptions& options) {
    m_lastError.clear();
    m_abort = false;
    m_refused.clear();
    m_keptExisting.clear();
    if (!ensureLoaded())
        return false;
    if (options.pass == Pass::Extract && !QDir().mkpath(options.path)) {
        m_lastError = u"cannot create the folder %1"_s.arg(QDir::toNativeSeparators(options.path));
        return false;
    }
    rar::Handle handle = open(options.pass == Pass::List ? rar::OpenListIncludingSplit : rar::OpenExtract);
    if (handle == nullptr)
        return false;
    if (options.pass == Pass::List)
        m_entries.clear();
    m_progressTotal = QFileInfo(m_fileName).size();
    m_progressDone = 0;

    const rar::Api& api = m_library.api();
    auto header = std::make_unique<rar::HeaderDataEx>();
    bool ok = true;
    while (!m_abort) {
        std::memset(header.get(), 0, sizeof(rar::HeaderDataEx));
        const int r = api.readHeaderEx(handle, header.get());
        if (r == rar::EndArchive)
            break;
        if (r != rar::Success) {
            raise(r, OperationReadOrProcess,
                  u"cannot read %1: %2"_s.arg(QDir::toNativeSeparators(m_fileName), RarErrorText(r)));
            ok = false;
            break;
        }
        // Every entry is looked at even after a failure: one bad file does not hide the others.
        if (!processEntry(handle, *header, options))
            ok = false;
    }
    if (m_abort) {
        ok = false;
        if (m_lastError.isEmpty())
            m_lastError = u"cancelled"_s;
    }
    const int closed = api.closeArchive(handle);
    if (closed != rar::Success) {
        raise(closed, OperationClose,
              u"cannot close %1: %2"_s.arg(QDir::toNativeSeparators(m_fileName), RarErrorText(closed)));
        ok = false;
    }
    if (ok)
        m_lastError.clear();
    else if (m_lastError.isEmpty() && !m_refused.isEmpty())
        m_lastError = u"unsafe entries refused: %1"_s.arg(m_refused.join(u", "_s));
    return ok;
}

bool RarArchive::processEntry(rar::Handle handle, const rar::HeaderDataEx& header,
                              const PassOptions& options) {
    const rar::Api& api = m_library.api();
    const QString name = headerName(header);
    auto skip = [&]() {
        const int r = api.processFileW(handle, rar::Skip, nullptr, nullptr);
        if (r != rar::Success) {
            raise(r, OperationReadOrProcess, u"%1: %2"_s.arg(name, RarErrorText(r)));
            return false;
        }
        return true;
    };

    if (options.pass == Pass::List) {
        const qint64 size = (static_cast<qint64>(header.unpSizeHigh) << 32) | header.unpSize;
        m_entries.append({name, size, (header.flags & rar::EntryDirectory) != 0});
        return skip();
    }
    if (options.pass == Pass::Test) {
        const int r = api.processFileW(handle, rar::Test, nullptr, nullptr);
        if (r != rar::Success) {
            raise(r, OperationReadOrProcess, u"%1: %2"_s.arg(name, RarErrorText(r)));
            return false;
        }
        return true;
    }

    if (!matchesAny(name, options.files))
        return skip();
    const ArchiveEntryKind kind = entryKind(header);
    const ArchiveEntryVerdict verdict = CheckArchiveEntry(name, kind);
    if (!verdict.safe()) {
        m_refused.append(name + u": "_s + verdict.refusal);
        skip();
        return false;
    }
    if (kind == ArchiveEntryKind::Directory && !options.restoreFolder)
        return skip();
    const QString relative =
        options.restoreFolder ? verdict.relativePath : verdict.relativePath.section(u'/', -1);
    if (!StaysBelowRoot(options.path, relative)) {
        m_refused.append(name + u": leads through a symbolic link"_s);
        skip();
        return false;
    }
    const QString destination = options.path + u'/' + relative;
    if (kind == ArchiveEntryKind::Directory) {
        if (!QDir().mkpath(destination)) {
            m_lastError = u"cannot create the folder %1"_s.arg(QDir::toNativeSeparators(destination));
            skip();
            return false;
        }
        return skip();
    }
    const QFileInfo existing(destination);
    if (existing.exists() || existing.isSymLink()) {
        const ReplaceDecision decision = onReplace ? onReplace(destination) : ReplaceDecision::Skip;
        if (decision == ReplaceDecision::Cancel)
            m_abort = true;
        if (decision != ReplaceDecision::Overwrite) {
            if (decision == ReplaceDecision::Skip)
                m_keptExisting.append(destination);
            return skip();
        }
    }
    if (!QDir().mkpath(existing.path())) {
        m_lastError = u"cannot create the folder of %1"_s.arg(QDir::toNativeSeparators(destination));
        skip();
        return false;
    }
    std::wstring wideDestination = QDir::toNativeSeparators(destination).toStdWString();
    const int r = api.processFileW(handle, rar::Extract, nullptr, wideDestination.data());
    if (r != rar::Success) {
        raise(r, OperationReadOrProcess, u"%1: %2"_s.arg(name, RarErrorText(r)));
        return false;
    }
    return true;
}

int QUILLON_RAR_CALL RarArchive::callbackThunk(unsigned msg, rar::LParam userData, rar::LParam p1,
                                               rar::LParam p2) {
    return reinterpret_cast<RarArchive*>(userData)->callback(msg, p1, p2);
}

int RarArchive::callback(unsigned msg, rar::LParam p1, rar::LParam p2) {
    switch (msg) {
    case rar::MessageChangeVolume:
    case rar::MessageChangeVolumeWide: {
        const bool wide = msg == rar::MessageChangeVolumeWide;
        const QString volume = wide ? QString::fromWCharArray(reinterpret_cast<const wchar_t*>(p1))
                                    : QString::fromLocal8Bit(reinterpret_cast<const char*>(p1));
        if (p2 == rar::VolumeNotify) {
            if (onVolumeNotify)
                onVolumeNotify(volume);
            return 0;
        }
        const QString next = onNextVolume ? onNextVolume(volume) : QString();
        if (next.isEmpty())
            return -1;
        // The library's volume name buffers hold 1024 characters.
        if (wide)
            copyToBuffer(QDir::toNativeSeparators(next).toStdWString(), reinterpret_cast<wchar_t*>(p1), 1024);
        else
            copyToBuffer(QFile::encodeName(QDir::toNativeSeparators(next)).toStdString(),
                         reinterpret_cast<char*>(p1), 1024);
        return 0;
    }
    case rar::MessageProcessData:
        m_progressDone += p2;
        if (onProgress)
            onProgress(m_progressDone, m_progressTotal);
        return m_abort ? -1 : 0;
    case rar::MessageNeedPassword:
    case rar::MessageNeedPasswordWide: {
        const QString password = onPassword ? onPassword() : QString();
        if (password.isEmpty())
            return -1;
        if (msg == rar::MessageNeedPasswordWide)
            copyToBuffer(password.toStdWString(), reinterpret_cast<wchar_t*>(p1), p2);
        else
            copyToBuffer(password.toLocal8Bit().toStdString(), reinterpret_cast<char*>(p1), p2);
        return 0;
    }
    default:
        return 0;
    }
}

} // namespace quillon
