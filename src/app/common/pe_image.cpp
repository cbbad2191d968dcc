#include "app/common/pe_image.h"

#include <QFile>

#include "app/common/regular_file.h"

namespace quillon::pe {

namespace {

constexpr quint32 SubdirectoryFlag = 0x80000000u;
constexpr quint32 NameFlag = 0x80000000u;
constexpr quint16 Pe32Magic = 0x10b;
constexpr quint16 Pe32PlusMagic = 0x20b;
constexpr int MaxSections = 96;         // what the Windows loader accepts
constexpr qint64 MaxResourceName = 256; // longer names are not ours to look for

quint16 le16(const uchar* p) {
    return quint16(p[0] | (p[1] << 8));
}
quint32 le32(const uchar* p) {
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

} // namespace

std::optional<quint16> PeImage::u16(qint64 offset) const {
    if (offset < 0 || offset + 2 > m_bytes.size())
        return std::nullopt;
    return le16(reinterpret_cast<const uchar*>(m_bytes.constData()) + offset);
}

std::optional<quint32> PeImage::u32(qint64 offset) const {
    if (offset < 0 || offset + 4 > m_bytes.size())
        return std::nullopt;
    return le32(reinterpret_cast<const uchar*>(m_bytes.constData()) + offset);
}

std::optional<PeImage> PeImage::fromBytes(QByteArray bytes) {
    PeImage image;
    image.m_bytes = std::move(bytes);
    const auto headerOffset = image.u32(60);
    if (!headerOffset || image.u16(0) != quint16(0x5A4D)) // "MZ"
        return std::nullopt;
    const qint64 pe = *headerOffset;
    if (image.u32(pe) != quint32(0x00004550)) // "PE\0\0"
        return std::nullopt;
    const qint64 fileHeader = pe + 4;
    const auto machine = image.u16(fileHeader);
    const auto sectionCount = image.u16(fileHeader + 2);
    const auto stamp = image.u32(fileHeader + 4);
    const auto optionalSize = image.u16(fileHeader + 16);
    if (!machine || !sectionCount || !stamp || !optionalSize)
        return std::nullopt;
    image.m_machine = *machine;
    image.m_timeDateStamp = *stamp;

    const qint64 optional = fileHeader + 20;
    const auto magic = image.u16(optional);
    if (magic == Pe32Magic || magic == Pe32PlusMagic) {
        image.m_is64 = magic == Pe32PlusMagic;
        const qint64 countField = optional + (image.m_is64 ? 108 : 92);
        const qint64 directories = countField + 4;
        const auto dirCount = image.u32(countField);
        // The resource directory is entry 2 and must lie inside the optional header.
        if (dirCount && *dirCount > 2 && directories + 3 * 8 <= optional + *optionalSize) {
            image.m_resourceRva = image.u32(directories + 2 * 8).value_or(0);
            image.m_resourceSize = image.u32(directories + 2 * 8 + 4).value_or(0);
        }
    }

    const qint64 sectionTable = optional + *optionalSize;
    const int count = std::min<int>(*sectionCount, MaxSections);
    for (int i = 0; i < count; ++i) {
        const qint64 at = sectionTable + qint64(i) * 40;
        const auto virtualSize = image.u32(at + 8);
        const auto virtualAddress = image.u32(at + 12);
        const auto rawSize = image.u32(at + 16);
        const auto rawOffset = image.u32(at + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawOffset)
            break;
        image.m_sections.append({*virtualAddress, *virtualSize, *rawOffset, *rawSize});
    }
    if (image.m_resourceRva != 0) {
        if (const auto offset = image.rvaToOffset(image.m_resourceRva, 16))
            image.m_resourceOffset = *offset;
    }
    return image;
}

std::optional<PeImage> PeImage::fromFile(const QString& path, qint64 maxSize) {
    auto file = std::make_shared<QFile>(path);
    if (!OpenRegularFile(*file))
        return std::nullopt;
    const qint64 size = std::min(file->size(), maxSize);
    if (size < 64)
        return std::nullopt;
    if (uchar* mapped = file->map(0, size)) {
        auto image =
            fromBytes(QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(size)));
        if (image)
            image->m_file = std::move(file);
        return image;
    }
    return fromBytes(file->read(size));
}

std::optional<quint32> PeImage::rvaToOffset(quint32 rva, quint32 size) const {
    for (const Section& section : m_sections) {
        if (rva < section.virtualAddress)
            continue;
        const quint64 delta = quint64(rva) - section.virtualAddress;
        // Only the bytes stored in the file count; the rest of a section is zero-filled memory.
        if (delta + size > section.rawSize)
            continue;
        const quint64 offset = quint64(section.rawOffset) + delta;
        if (offset + size > quint64(m_bytes.size()))
            return std::nullopt;
        return quint32(offset);
    }
    return std::nullopt;
}

bool PeImage::nameMatches(quint32 nameField, const ResourceId& id) const {
    if (const auto* number = std::get_if<quint16>(&id))
        return !(nameField & NameFlag) && nameField == *number;
    if (!(nameField & NameFlag))
        return false;
    const QString& wanted = std::get<QString>(id);
    const qint64 at = m_resourceOffset + qint64(nameField & ~NameFlag);
    const auto length = u16(at);
    if (!length || *length != wanted.size() || *length > MaxResourceName)
        return false;
    for (qint64 i = 0; i < *length; ++i) {
        const auto c = u16(at + 2 + 2 * i);
        if (!c || QChar(*c).toUpper() != wanted[i].toUpper())
            return false;
    }
    return true;
}

std::optional<quint32> PeImage::findEntry(quint32 dirOffset, const ResourceId* id) const {
    const qint64 dir = m_resourceOffset + dirOffset;
    const auto named = u16(dir + 12);
    const auto numbered = u16(dir + 14);
    if (!named || !numbered)
        return std::nullopt;
    const qint64 total = qint64(*named) + *numbered;
    for (qint64 i = 0; i < total; ++i) {
        const qint64 entry = dir + 16 + i * 8;
        const auto nameField = u32(entry);
        const auto dataField = u32(entry + 4);
        if (!nameField || !dataField)
            return std::nullopt; // the table runs off the end of the file
        if (!id || nameMatches(*nameField, *id))
            return *dataField;
    }
    return std::nullopt;
}

std::optional<QByteArray> PeImage::resourceData(const ResourceId* type, const ResourceId* name) const {
    if (m_resourceOffset < 0)
        return std::nullopt;
    // Exactly three levels (type, name, language): a tree that points back at itself cannot
    // make this loop, and an entry of the wrong kind at any level ends the search.
    const auto typeEntry = findEntry(0, type);
    if (!typeEntry || !(*typeEntry & SubdirectoryFlag))
        return std::nullopt;
    const auto nameEntry = findEntry(*typeEntry & ~SubdirectoryFlag, name);
    if (!nameEntry || !(*nameEntry & SubdirectoryFlag))
        return std::nullopt;
    const auto languageEntry = findEntry(*nameEntry & ~SubdirectoryFlag, nullptr);
    if (!languageEntry || (*languageEntry & SubdirectoryFlag))
        return std::nullopt;
    const qint64 dataEntry = m_resourceOffset + *languageEntry;
    const auto rva = u32(dataEntry);
    const auto size = u32(dataEntry + 4);
    if (!rva || !size)
        return std::nullopt;
    const auto offset = rvaToOffset(*rva, *size);
    if (!offset)
        return std::nullopt;
    // A deep copy: the caller may keep it after the mapping is gone.
    return QByteArray(m_bytes.constData() + *offset, qsizetype(*size));
}

std::optional<QByteArray> PeImage::resource(const ResourceId& type, const ResourceId& name) const {
    return resourceData(&type, &name);
}

std::optional<QByteArray> PeImage::firstResource(const ResourceId& type) const {
    return resourceData(&type, nullptr);
}

} // namespace quillon::pe
