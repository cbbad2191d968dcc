#include "app/common/files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <system_error>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

#include "app/common/atomic_file.h"
#include "app/common/code_pages.h"
#include "app/common/regular_file.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

qsizetype lastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

// An entry exists (also a symbolic link whose target is gone).
bool entryExists(const QFileInfo& info) {
    return info.exists() || info.isSymLink();
}

QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 && isSeparator(path.back()))
        path.chop(1);
    return path;
}

QString childPath(const QString& directory, const QString& name) {
    const QString dir = withoutTrailingSeparator(directory);
    if (dir.endsWith(u'/'))
        return dir + name;
    return dir + u'/' + name;
}

} // namespace

QString FileBaseName(const QString& path) {
    const QString name = path.mid(lastSeparator(path) + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

bool ForceDeleteFile(const QString& path, QString* errorText) {
    const QFileInfo info(path);
    if (!entryExists(info))
        return true;
    if (info.isSymLink()) {
        // Removes the link itself, whatever it points to.
        std::error_code ec;
        if (std::filesystem::remove(fsPath(path), ec))
            return true;
        if (errorText)
            *errorText = QString::fromStdString(ec.message());
        return false;
    }
    if (info.isDir()) {
        if (errorText)
            *errorText = u"%1 is a directory"_s.arg(path);
        return false;
    }
    QFile file(path);
    const QFileDevice::Permissions remembered = file.permissions();
    file.setPermissions(remembered | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    if (file.remove())
        return true;
    if (errorText)
        *errorText = file.errorString();
    file.setPermissions(remembered);
    return false;
}

bool MoveFileReplacing(const QString& source, const QString& target, bool replace, QString* errorText) {
    auto fail = [&](const QString& why) {
        if (errorText)
            *errorText = why;
        return false;
    };
    const QFileInfo sourceInfo(source);
    if (!entryExists(sourceInfo))
        return fail(u"%1 does not exist"_s.arg(source));
    const QFileInfo targetInfo(target);
    if (entryExists(targetInfo)) {
        if (!replace)
            return fail(u"%1 already exists"_s.arg(target));
        if (targetInfo.isDir() && !targetInfo.isSymLink())
            return fail(u"%1 is a directory"_s.arg(target));
    }
    std::error_code ec;
    std::filesystem::rename(fsPath(source), fsPath(target), ec);
    if (!ec)
        return true;
    if (ec != std::errc::cross_device_link || !sourceInfo.isFile())
        return fail(QString::fromStdString(ec.message()));

    // Another file system: copied beside the target and renamed over it, then the source
    // deleted. The target is never left half written.
    QString copyError;
    if (!CopyFileAtomically(source, target, &copyError))
        return fail(copyError);
    if (!ForceDeleteFile(source, errorText))
        return false;
    return true;
}

bool DeleteDirectoryTree(const QString& directory) {
    if (directory.isEmpty())
        return false;
    const QFileInfo info(directory);
    if (info.isSymLink())
        return ForceDeleteFile(directory); // the link goes, never what it points to
    if (!info.exists())
        return true;
    if (!info.isDir())
        return false;
    // Qt removes symbolic links inside the tree as links and does not descend into them.
    return QDir(directory).removeRecursively();
}

namespace {

// Windows matches "*.*" against names without a dot as well.
QString nameFilterFor(const QString& mask) {
    return (mask.isEmpty() || mask == u"*.*"_s) ? u"*"_s : mask;
}

QString datedEntry(const QDateTime& modified, const QString& path) {
    return modified.toString(u"yyyyMMdd"_s) + u'|' + path;
}

// Masks and names that a plain comparison matches exactly as QDir's pattern does: ASCII, with
// "*" and "?" as the only wildcards. Compiling a pattern per mask costs far more than matching.
bool isAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
}

bool isPlainMask(QStringView mask) {
    return std::all_of(mask.begin(), mask.end(), [](QChar c) {
        return c.unicode() < 128 && c != u'[' && c != u']' && c != u'\\' && c != u'/';
    });
}

char16_t asciiLower(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') ? char16_t(u + (u'a' - u'A')) : u;
}

// "*" any run, "?" one character, the rest literally without regard to ASCII case.
bool plainMaskMatches(QStringView mask, QStringView name) {
    qsizetype m = 0;
    qsizetype n = 0;
    qsizetype star = -1;
    qsizetype resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == u'*') {
            star = m++;
            resume = n;
        } else if (m < mask.size() && (mask[m] == u'?' || asciiLower(mask[m]) == asciiLower(name[n]))) {
            ++m;
            ++n;
        } else if (star >= 0) {
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

void findFiles(const QString& directory, const QStringList& filters, bool recurse, QStringList& list,
               bool withDates, QSet<QString>& visited) {
    const QDir dir(directory);
    const QString canonical = dir.canonicalPath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited.insert(canonical);

    const QFileInfoList files =
        dir.entryInfoList(filters, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        const QString path = childPath(directory, file.fileName());
        if (withDates)
            list.append(datedEntry(file.lastModified(), path));
        else
            list.append(path);
    }
    if (!recurse)
        return;
    const QFileInfoList subdirs = dir.entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& sub : subdirs)
        findFiles(childPath(directory, sub.fileName()), filters, recurse, list, withDates, visited);
}

// What makes a directory the same one when reached again: its device and inode where there are
// such (one stat instead of a readlink per path component), its canonical path elsewhere. Empty
// when the directory cannot be reached.
QString directoryIdentity(const QString& directory) {
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(directory).constData(), &status) != 0)
        return {};
    return QString::number(quint64(status.st_dev)) + u':' + QString::number(quint64(status.st_ino));
#else
    return QDir(directory).canonicalPath();
#endif
}

// The walk of findFiles without a name filter, every file recorded, and the range of entries
// below each directory it went through whole.
struct TreeWalk {
    QList<FileTreeListing::Entry>& entries;
    QHash<QString, std::pair<qsizetype, qsizetype>>& ranges;
    QHash<QString, QStringList>& folderNames;
    QSet<QString> visited;
    int passedOver = 0; // directories not entered: unreachable, or seen already
};

// One child of a directory as the tree walk needs it: its name and kind, links followed.
struct Child {
    QString name;
    QString lower; // what the order compares
    bool isFile = false;
    bool isDir = false;
    bool isLink = false;
};

// A directory's files and folders as QDir lists them (Files | Dirs | NoDotAndDotDot | Hidden,
// sorted by Name | IgnoreCase): broken links and devices, FIFOs and sockets are left out.
QList<Child> readChildren(const QString& directory) {
    QList<Child> children;
#ifdef Q_OS_UNIX
    // The directory's own records give each entry's kind; only a link needs a look at its
    // target. A QFileInfo per entry costs more than the rest of the walk.
    DIR* dir = ::opendir(QFile::encodeName(directory).constData());
    if (!dir)
        return children;
    const QByteArray prefix = QFile::encodeName(directory) + '/';
    QByteArray path;
    while (const dirent* record = ::readdir(dir)) {
        const char* name = record->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        Child child;
        unsigned char type = record->d_type;
        struct stat status;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            path = prefix + name;
            if (::lstat(path.constData(), &status) != 0)
                continue;
            child.isLink = S_ISLNK(status.st_mode);
            if (child.isLink && ::stat(path.constData(), &status) != 0)
                continue;
            type = S_ISREG(status.st_mode) ? DT_REG : S_ISDIR(status.st_mode) ? DT_DIR : DT_UNKNOWN;
        }
        if (type != DT_REG && type != DT_DIR)
            continue;
        child.isFile = type == DT_REG;
        child.isDir = type == DT_DIR;
        child.name = QFile::decodeName(name);
        children.append(std::move(child));
    }
    ::closedir(dir);
    // QDir's order: the lower-case names compared as they are.
    for (Child& child : children)
        child.lower = child.name.toLower();
    std::sort(children.begin(), children.end(),
              [](const Child& a, const Child& b) { return a.lower < b.lower; });
    return children;
#else
    const QFileInfoList infos = QDir(directory).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& info : infos)
        children.append(
            {info.fileName(), info.fileName().toLower(), info.isFile(), info.isDir(), info.isSymLink()});
    return children;
#endif
}

bool isHiddenName(const Child& child, const QString& path) {
#ifdef Q_OS_UNIX
    Q_UNUSED(path);
    return child.name.startsWith(u'.');
#else
    Q_UNUSED(child);
    return QFileInfo(path).isHidden();
#endif
}

// Returns false when a directory holds names that differ only in letter case: QDir leaves their
// order open, so a filtered listing need not keep the order of the whole one.
bool listTree(const QString& directory, TreeWalk& walk) {
    const QString identity = directoryIdentity(directory);
    if (identity.isEmpty() || walk.visited.contains(identity)) {
        ++walk.passedOver;
        return true;
    }
    walk.visited.insert(identity);
    const qsizetype first = walk.entries.size();
    const int passedOverBefore = walk.passedOver;
    // One read of the directory for files and subdirectories alike. Both keep the order of the
    // whole listing, which is the order findFiles's two separate listings give them.
    const QList<Child> children = readChildren(directory);
    bool ordered = true;
    const QString* previousLower = nullptr;
    QStringList subdirs;
    QStringList& folderNames = walk.folderNames[directory];
    for (const Child& child : children) {
        if (child.isFile) {
            ordered = ordered && !(previousLower && *previousLower == child.lower);
            previousLower = &child.lower;
            walk.entries.append({child.name, childPath(directory, child.name)});
        } else if (child.isDir) {
            const QString path = childPath(directory, child.name);
            if (!isHiddenName(child, path))
                folderNames.append(child.name);
            if (!child.isLink)
                subdirs.append(path);
        }
    }
    for (const QString& sub : subdirs)
        ordered = listTree(sub, walk) && ordered;
    // A walk starting here would enter what this one passed over as seen elsewhere.
    if (walk.passedOver == passedOverBefore)
        walk.ranges.insert(directory, {first, walk.entries.size()});
    return ordered;
}

// ".txt": what follows a mask's last "*" names an extension and nothing more.
bool isExtensionTail(QStringView tail) {
    return tail.size() >= 2 && tail.front() == u'.' && !tail.mid(1).contains(u'.');
}

} // namespace

void FindFilesRecursive(const QString& directory, const QString& mask, bool recurse, QStringList& list,
                        bool withDates) {
    if (directory.isEmpty())
        return;
    const QString filter = nameFilterFor(mask);
    QSet<QString> visited;
    findFiles(withoutTrailingSeparator(directory), {filter}, recurse, list, withDates, visited);
}

FileTreeListing::FileTreeListing(const QString& directory) {
    if (directory.isEmpty())
        return;
    m_directory = directory;
    TreeWalk walk{m_entries, m_ranges, m_folderNames, {}, 0};
    if (!listTree(withoutTrailingSeparator(directory), walk)) {
        m_entries.clear();
        m_ranges.clear();
        m_folderNames.clear();
        m_searchOnDisk = true;
        return;
    }
    indexExtensions();
}

// A cut listing answers no subtree of its own: the inventory asks the whole tree only.
std::optional<FileTreeListing> FileTreeListing::subtree(const QString& directory) const {
    const auto range = m_ranges.constFind(withoutTrailingSeparator(directory));
    if (directory.isEmpty() || range == m_ranges.cend())
        return std::nullopt;
    FileTreeListing part;
    part.m_directory = directory;
    part.m_entries = m_entries.mid(range->first, range->second - range->first);
    part.indexExtensions();
    return part;
}

std::optional<QStringList> FileTreeListing::folderNames(const QString& directory) const {
    const auto names = m_folderNames.constFind(withoutTrailingSeparator(directory));
    if (names == m_folderNames.cend())
        return std::nullopt;
    return *names;
}

void FileTreeListing::indexExtensions() {
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const QString& name = m_entries.at(i).name;
        if (!isAscii(name)) {
            m_notAscii.append(i);
            continue;
        }
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot >= 0)
            m_byExtension[name.mid(dot + 1).toLower()].append(i);
    }
}

QList<qsizetype> FileTreeListing::candidatesFor(QStringView tail) const {
    QList<qsizetype> candidates;
    const auto withExtension = m_byExtension.constFind(tail.mid(1).toString().toLower());
    if (withExtension == m_byExtension.cend())
        return m_notAscii;
    candidates.reserve(withExtension->size() + m_notAscii.size());
    std::merge(withExtension->cbegin(), withExtension->cend(), m_notAscii.cbegin(), m_notAscii.cend(),
               std::back_inserter(candidates));
    return candidates;
}

void FileTreeListing::findFiles(const QString& mask, QStringList& list, bool withDates) const {
    if (m_searchOnDisk) {
        FindFilesRecursive(m_directory, mask, true, list, withDates);
        return;
    }
    const QString filter = nameFilterFor(mask);
    const bool plain = isPlainMask(filter);
    // What follows the last "*" must end the name: most names of a tree fail on it at once, and
    // the inventory asks a plugin's folder for "*name*.txt" once per plugin.
    const QStringView tail = QStringView(filter).mid(filter.lastIndexOf(u'*') + 1);
    const bool literalTail = plain && !tail.contains(u'?');
    // Otherwise the pattern QDir builds from a name filter, so that both searches agree.
    std::optional<QRegularExpression> pattern;
    const auto consider = [&](const Entry& entry) {
        bool matches = false;
        if (plain && isAscii(entry.name)) {
            matches = (!literalTail || entry.name.endsWith(tail, Qt::CaseInsensitive)) &&
                      plainMaskMatches(filter, entry.name);
        } else {
            if (!pattern)
                pattern = QRegularExpression::fromWildcard(filter, Qt::CaseInsensitive);
            matches = pattern->match(entry.name).hasMatch();
        }
        if (matches)
            list.append(withDates ? datedEntry(QFileInfo(entry.path).lastModified(), entry.path)
                                  : entry.path);
    };
    if (literalTail && isExtensionTail(tail)) {
        for (const qsizetype i : candidatesFor(tail))
            consider(m_entries.at(i));
        return;
    }
    for (const Entry& entry : m_entries)
        consider(entry);
}

void ListSubdirectories(const QString& directory, QStringList& list) {
    if (directory.isEmpty())
        return;
    const QString base = withoutTrailingSeparator(directory);
    const QStringList names =
        QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        list.append(childPath(base, name));
}

bool IsDirectoryWritable(const QString& directory) {
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        return false;
    QFile probe(childPath(directory, u"chk.tmp"_s));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

bool IsDirectoryEmpty(const QString& directory) {
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        return false;
    return QDir(directory).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

bool IsValidDirectoryPath(const QString& path) {
    if (path.isEmpty())
        return false;
    if (path.startsWith(u'/'))
        return !path.contains(QChar(0));

    QString rest = path.endsWith(u'\\') ? path : path + u'\\';
    const bool drive = rest.size() >= 3 && rest[0].isLetter() && rest[0].unicode() < 128 && rest[1] == u':' &&
                       rest[2] == u'\\';
    if (drive)
        rest = rest.mid(3);
    else if (rest.startsWith(u"\\\\"_s) && rest.size() > 3)
        rest = rest.mid(2); // a network path names at least its server
    else
        return false;
    // rest is now a sequence of segments, each closed by a backslash.
    static const QString invalid = u"/:*?\"<>|"_s;
    qsizetype segmentStart = 0;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QChar c = rest[i];
        if (c == u'\\') {
            if (i == segmentStart)
                return false;
            segmentStart = i + 1;
        } else if (invalid.contains(c) || c == QChar(0)) {
            return false;
        }
    }
    return true;
}

bool HasValidFileNameChars(const QString& path) {
    const QString name = path.mid(lastSeparator(path) + 1);
    static const QString invalid = u"\\/:*?\"<>|"_s;
    for (const QChar c : name) {
        if (c.unicode() < 32 || invalid.contains(c))
            return false;
    }
    return true;
}

QString ParentDirectory(const QString& directory) {
    return QDir::cleanPath(withoutTrailingSeparator(directory) + u"/.."_s);
}

QString RelativePath(const QString& fromDirectory, const QString& toPath) {
    return QDir(fromDirectory).relativeFilePath(toPath);
}

QString CommonPathPrefix(const QString& a, const QString& b) {
    qsizetype lastCommonSeparator = -1;
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ca = a[i];
        const QChar cb = b[i];
        const bool bothSeparators = isSeparator(ca) && isSeparator(cb);
        if (!bothSeparators && ca.toCaseFolded() != cb.toCaseFolded())
            break;
        if (isSeparator(ca) || ca == u':')
            lastCommonSeparator = i;
    }
    return a.left(lastCommonSeparator + 1);
}

QString ReadTextFile(const QString& path, bool* ok) {
    if (ok)
        *ok = false;
    QFile file(path);
    if (!OpenRegularFile(file))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    QString text;
    if (const auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*bom);
        text = decoder.decode(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
    } else {
        text = DecodeWindows1252(bytes);
    }
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n').replace(u"\n"_s, u"\r\n"_s);
    if (ok)
        *ok = true;
    return text;
}

bool FileHasNoNullBytes(const QString& path) {
    QFile file(path);
    if (!OpenRegularFile(file))
        return false;
    char buffer[65536];
    for (;;) {
        const qint64 n = file.read(buffer, sizeof buffer);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (std::memchr(buffer, 0, size_t(n)))
            return false;
    }
}

QString FindUnrarLibrary(const QString& directory) {
#ifdef Q_OS_WIN
    const QString path = childPath(directory, u"UNRAR.DLL"_s);
    return QFileInfo(path).isFile() ? path : QString();
#else
    // Elsewhere these folders are Total Commander's inside a Wine prefix, or the program's:
    // anyone who can write there would have their code run by a download. Only the system's
    // native library is loaded (SystemUnrarLibrary), and UNRAR.DLL is a Windows file.
    Q_UNUSED(directory);
    return {};
#endif
}

QString WithoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

} // namespace quillon
