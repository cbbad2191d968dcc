#include "app/common/pe_info.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <QVarLengthArray>

#include "app/common/code_pages.h"
#include "app/common/pe_image.h"
#include "app/common/regular_file.h"
#include "app/common/version_info.h"
#include "platform/regular_file.h"

#include <algorithm>
#include <initializer_list>

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

constexpr quint16 VersionResourceId = 1;
// Far above any real icon group (a few 256x256 images).
constexpr qint64 MaxIconFileSize = 16 * 1024 * 1024;

std::optional<pe::VersionInfo> versionInfoOf(const pe::PeImage& image) {
    auto data = image.resource(pe::ResourceTypeVersion, VersionResourceId);
    if (!data)
        data = image.firstResource(pe::ResourceTypeVersion);
    if (!data)
        return std::nullopt;
    return pe::ParseVersionInfo(*data);
}

std::optional<pe::VersionInfo> versionInfoOf(const QString& path) {
    const auto image = pe::PeImage::fromFile(path);
    if (!image)
        return std::nullopt;
    return versionInfoOf(*image);
}

QString joinVersion(const quint16 (&parts)[4]) {
    return QString::number(parts[0]) + u'.' + QString::number(parts[1]) + u'.' + QString::number(parts[2]) +
           u'.' + QString::number(parts[3]);
}

// The case-insensitive sibling path + ".MANIFEST", as Windows would find it.
QString manifestOf(const QString& path) {
    const QFileInfo info(path);
    const QString wanted = info.fileName() + u".manifest"_s;
    const QString exact = info.absolutePath() + u'/' + info.fileName() + u".MANIFEST"_s;
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList names = QDir(info.absolutePath()).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return info.absolutePath() + u'/' + name;
    }
    return {};
}

} // namespace

namespace {

constexpr qint64 DosHeaderSize = 64;
constexpr qint64 NtHeadersSize = 248;
// Larger files are read only this far for their resources.
constexpr qint64 ImageReadLimit = 256 * 1024 * 1024;
// Files up to this size are read in one piece rather than mapped.
constexpr qint64 SmallImageSize = 256 * 1024;

// The IsPEFile rule applied to the file's first bytes (fileSize: the whole file's size).
bool hasPeSignature(QByteArrayView bytes, qint64 fileSize) {
    if (fileSize < DosHeaderSize || bytes.size() < DosHeaderSize)
        return false;
    const qint64 headerOffset = qFromLittleEndian<quint32>(bytes.data() + 60);
    return headerOffset + NtHeadersSize <= bytes.size() && bytes.sliced(headerOffset).startsWith("PE");
}

// Version strings of one table by field: the first key in table order that equals the field's
// name without regard to case, as VersionInfo::stringValue picks it, in one walk of the table.
char16_t asciiFolded(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

bool isAsciiText(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
}

bool asciiEqualIgnoringCase(QStringView a, QStringView b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](QChar x, QChar y) {
               return asciiFolded(x.unicode()) == asciiFolded(y.unicode());
           });
}

struct WantedString {
    QStringView key;
    QString* field;
};
void lookUpStrings(const pe::VersionInfo& info, const QString& block,
                   std::initializer_list<WantedString> wanted) {
    const auto table = info.stringTables.constFind(block.toUpper());
    if (table == info.stringTables.cend())
        return;
    QVarLengthArray<bool, 16> found(qsizetype(wanted.size()), false);
    qsizetype open = found.size();
    for (auto it = table->cbegin(); it != table->cend() && open > 0; ++it) {
        const QString& key = it.key();
        qsizetype i = 0;
        // The field names are ASCII: against an ASCII key, folding ASCII letters is the whole
        // case-insensitive comparison; other keys may fold into ASCII and take Qt's.
        const bool asciiKey = isAsciiText(key);
        for (const WantedString& w : wanted) {
            if (found[i] || key.size() != w.key.size()) {
                ++i;
                continue;
            }
            if (asciiKey ? asciiEqualIgnoringCase(key, w.key)
                         : key.compare(w.key, Qt::CaseInsensitive) == 0) {
                *w.field = it.value();
                found[i] = true;
                --open;
            }
            ++i;
        }
    }
}

} // namespace

bool IsPEFile(const QString& path) {
    QFile file(path);
    if (!OpenRegularFile(file))
        return false;
    const QByteArray dosHeader = file.read(64);
    if (dosHeader.size() < 64)
        return false;
    const quint32 headerOffset = qFromLittleEndian<quint32>(dosHeader.constData() + 60);
    if (!file.seek(headerOffset))
        return false;
    const QByteArray ntHeaders = file.read(248);
    return ntHeaders.size() == 248 && ntHeaders.startsWith(QByteArrayView("PE", 2));
}

namespace {

QString fileVersionNumberOf(const std::optional<pe::VersionInfo>& info) {
    if (!info || !info->hasFixedInfo)
        return {};
    return joinVersion(info->fileVersion);
}

} // namespace

QString GetFileVersionNumber(const QString& path) {
    return fileVersionNumberOf(versionInfoOf(path));
}

FileVersionStrings ReadFileVersionStrings(const QString& path) {
    FileVersionStrings strings;
    const auto info = versionInfoOf(path);
    if (!info)
        return strings;
    lookUpStrings(*info, u"040904E4"_s,
                  {{u"CompanyName", &strings.CompanyName},
                   {u"FileDescription", &strings.FileDescription},
                   {u"FileVersion", &strings.FileVersion},
                   {u"InternalName", &strings.InternalName},
                   {u"LegalCopyright", &strings.LegalCopyRight},
                   {u"LegalTrademarks", &strings.LegalTradeMark},
                   {u"OriginalFilename", &strings.OriginalFileName},
                   {u"ProductName", &strings.ProductName},
                   {u"ProductVersion", &strings.ProductVersion},
                   {u"Comments", &strings.Comments}});
    return strings;
}

void TCEVersionInfo::NullValues() {
    for (QString* field : {&FCompanyName, &FFileDescription, &FFileVersion, &FInternalname, &FLegalCopyright,
                           &FLegalTradeMarks, &FOriginalFilename, &FProductName, &FProductVersion, &FComments,
                           &FMajorVersion, &FMinorVersion, &FRelease, &FBuild})
        field->clear();
}

bool TCEVersionInfo::GetInfo(const QString& fileName) {
    return GetInfo(versionInfoOf(fileName));
}

bool TCEVersionInfo::GetInfo(const std::optional<pe::VersionInfo>& info) {
    NullValues();
    if (!info)
        return false;
    if (info->translations.isEmpty()) {
        if (info->hasFixedInfo) {
            FMajorVersion = QString::number(info->fileVersion[0]);
            FMinorVersion = QString::number(info->fileVersion[1]);
            FRelease = QString::number(info->fileVersion[2]);
            FBuild = QString::number(info->fileVersion[3]);
            FFileVersion = joinVersion(info->fileVersion);
        }
        return true;
    }
    lookUpStrings(*info, info->translations.first().blockName(),
                  {{u"CompanyName", &FCompanyName},
                   {u"FileDescription", &FFileDescription},
                   {u"FileVersion", &FFileVersion},
                   {u"InternalName", &FInternalname},
                   {u"LegalCopyright", &FLegalCopyright},
                   {u"LegalTrademarks", &FLegalTradeMarks},
                   {u"OriginalFilename", &FOriginalFilename},
                   {u"ProductName", &FProductName},
                   {u"ProductVersion", &FProductVersion},
                   {u"Comments", &FComments}});

    const QChar separator = FFileVersion.contains(u'.') ? u'.' : u',';
    if (FFileVersion.contains(separator)) {
        const QStringList parts = FFileVersion.split(separator);
        QString* targets[] = {&FMajorVersion, &FMinorVersion, &FRelease, &FBuild};
        for (qsizetype i = 0; i < parts.size() && i < 4; ++i)
            *targets[i] = parts[i].trimmed();
    }
    return true;
}

bool Is64BitExecutable(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    const QString manifest = manifestOf(path);
    if (!manifest.isEmpty()) {
        QFile file(manifest);
        if (!OpenRegularFile(file))
            return false;
        const QString text = QString::fromLatin1(file.readAll());
        return text.contains(u"processorArchitecture=\"amd64\""_s, Qt::CaseInsensitive);
    }
    const QString description = ReadFileVersionStrings(path).FileDescription;
    return !description.contains(u"32"_s) && !description.contains(u"86"_s);
}

std::optional<QDateTime> PEFileTimeStamp(const QString& path) {
    const auto image = pe::PeImage::fromFile(path);
    if (!image)
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(qint64(image->timeDateStamp()), Qt::UTC);
}

namespace {

ExecutableFacts factsOf(const std::optional<pe::PeImage>& image) {
    ExecutableFacts facts;
    if (!image) {
        facts.info.NullValues();
        return facts;
    }
    const std::optional<pe::VersionInfo> versionInfo = versionInfoOf(*image);
    facts.info.GetInfo(versionInfo);
    facts.fileVersionNumber = fileVersionNumberOf(versionInfo);
    facts.timeStamp = QDateTime::fromSecsSinceEpoch(qint64(image->timeDateStamp()), Qt::UTC);
    return facts;
}

} // namespace

ExecutableFacts ReadExecutableFacts(const QString& path) {
    return factsOf(pe::PeImage::fromFile(path));
}

namespace {

// The reading of a file's first imageSize bytes, of which bytes holds what could be read.
ExecutableReading readingOf(QByteArray bytes, qint64 size, qint64 imageSize, const QString& path) {
    ExecutableReading reading;
    reading.isPeFile = size <= ImageReadLimit ? hasPeSignature(bytes, size) : IsPEFile(path);
    if (imageSize >= DosHeaderSize)
        reading.facts = factsOf(pe::PeImage::fromBytes(std::move(bytes)));
    return reading;
}

} // namespace

ExecutableReading ReadExecutable(const QString& path) {
    // Most plugins and tools are small: one read straight from the descriptor costs less than a
    // stream's set-up or a mapping's faults, and an inventory reads thousands of them.
    std::int64_t size = 0;
    const int fd = platform::OpenRegularFileForReading(PlatformPath(path), size);
    if (fd < 0)
        return {};
    if (size <= SmallImageSize) {
        QByteArray bytes(qsizetype(size), Qt::Uninitialized);
        const std::int64_t got = platform::ReadFileDescriptor(fd, bytes.data(), size);
        platform::CloseFileDescriptor(fd);
        bytes.truncate(qsizetype(std::max<std::int64_t>(got, 0)));
        return readingOf(std::move(bytes), size, size, path);
    }
    platform::CloseFileDescriptor(fd);

    ExecutableReading reading;
    QFile file(path);
    // Unbuffered: the bytes go straight into the image instead of through the device's buffer.
    if (!OpenRegularFile(file, QIODevice::Unbuffered))
        return reading;
    size = file.size();
    const qint64 imageSize = std::min<qint64>(size, ImageReadLimit);
    // Larger files are mapped whole so that the header check sees what a plain read would; only
    // the image's part of it is ever touched.
    if (const uchar* mapped = file.map(0, size)) {
        const QByteArrayView all(mapped, size);
        reading.isPeFile = hasPeSignature(all, size);
        if (imageSize >= DosHeaderSize) {
            reading.facts =
                factsOf(pe::PeImage::fromBytes(QByteArray::fromRawData(all.data(), qsizetype(imageSize))));
        }
        return reading;
    }
    QByteArray bytes(qsizetype(imageSize), Qt::Uninitialized);
    qint64 filled = 0;
    while (filled < imageSize) {
        const qint64 got = file.read(bytes.data() + filled, imageSize - filled);
        if (got <= 0)
            break;
        filled += got;
    }
    bytes.truncate(qsizetype(filled));
    return readingOf(std::move(bytes), size, imageSize, path);
}

std::optional<QString> ReadAhkScriptResource(const QString& path) {
    const auto image = pe::PeImage::fromFile(path);
    if (!image)
        return std::nullopt;
    const auto data = image->resource(pe::ResourceTypeRcData, u">AHK WITH ICON<"_s);
    if (!data)
        return QString();
    return DecodeWindows1252(*data);
}

QByteArray FirstIconGroup(const QString& path) {
    const auto image = pe::PeImage::fromFile(path);
    if (!image)
        return {};
    const auto group = image->firstResource(pe::ResourceTypeGroupIcon);
    // GRPICONDIR: reserved, type 1, count, then 14-byte entries ending in the icon's resource id.
    if (!group || group->size() < 6 || qFromLittleEndian<quint16>(group->constData() + 2) != 1)
        return {};
    const quint16 count = qFromLittleEndian<quint16>(group->constData() + 4);
    if (count == 0 || group->size() < 6 + qsizetype(count) * 14)
        return {};
    QList<QByteArray> images;
    QByteArray directory;
    qint64 icoSize = 6 + qint64(count) * 16;
    for (quint16 i = 0; i < count; ++i) {
        const char* entry = group->constData() + 6 + qsizetype(i) * 14;
        const quint16 id = qFromLittleEndian<quint16>(entry + 12);
        const auto icon = image->resource(pe::ResourceTypeIcon, id);
        if (!icon)
            return {};
        // A group may name one image thousands of times: a small file would become gigabytes.
        icoSize += icon->size();
        if (icoSize > MaxIconFileSize)
            return {};
        images.append(*icon);
        directory.append(entry, 8); // width, height, colours, reserved, planes, bit count
    }
    // ICONDIR with 16-byte entries: the resource id becomes the image's file offset.
    QByteArray ico(6, '\0');
    qToLittleEndian<quint16>(1, ico.data() + 2);
    qToLittleEndian<quint16>(count, ico.data() + 4);
    quint32 offset = 6 + quint32(count) * 16;
    for (quint16 i = 0; i < count; ++i) {
        char sizes[8];
        qToLittleEndian<quint32>(quint32(images[i].size()), sizes);
        qToLittleEndian<quint32>(offset, sizes + 4);
        ico.append(directory.constData() + qsizetype(i) * 8, 8);
        ico.append(sizes, 8);
        offset += quint32(images[i].size());
    }
    for (const QByteArray& bytes : images)
        ico.append(bytes);
    return ico;
}

} // namespace quillon
