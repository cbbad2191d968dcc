#pragma once
// A bounds-checked reader for the parts of a Windows executable (PE32 and PE32+) the program
// needs: the file header's time stamp and machine, and the resource tree. Every offset taken
// from the file is checked before use; a damaged file yields "no information", never a crash.
#include <QByteArray>
#include <QString>

#include <QList>

#include <memory>
#include <optional>
#include <variant>

class QFile;

namespace quillon::pe {

// Resource types by number.
inline constexpr quint16 ResourceTypeIcon = 3;
inline constexpr quint16 ResourceTypeRcData = 10;
inline constexpr quint16 ResourceTypeGroupIcon = 14;
inline constexpr quint16 ResourceTypeVersion = 16;

// A resource directory entry is addressed by number or by name (names compare without regard
// to ASCII case, as Windows does).
using ResourceId = std::variant<quint16, QString>;

class PeImage {
public:
    // No value when the bytes are not a PE image with a readable file header.
    static std::optional<PeImage> fromBytes(QByteArray bytes);
    // Reads at most maxSize bytes of the file (the resource data must lie within them).
    static std::optional<PeImage> fromFile(const QString& path, qint64 maxSize = 256 * 1024 * 1024);

    bool is64Bit() const { return m_is64; }
    quint16 machine() const { return m_machine; }
    quint32 timeDateStamp() const { return m_timeDateStamp; }

    // The data of the first resource of this type and name (any language; the first one
    // stored). No value when there is none or its data lies outside the file.
    std::optional<QByteArray> resource(const ResourceId& type, const ResourceId& name) const;
    // The data of the first resource of this type, whatever its name.
    std::optional<QByteArray> firstResource(const ResourceId& type) const;

private:
    PeImage() = default;
    struct Section {
        quint32 virtualAddress = 0;
        quint32 virtualSize = 0;
        quint32 rawOffset = 0;
        quint32 rawSize = 0;
    };
    std::optional<quint32> rvaToOffset(quint32 rva, quint32 size) const;
    // Offset of the subdirectory or data entry for id inside the directory at dirOffset
    // (relative to the resource section's start); a set high bit marks a subdirectory.
    std::optional<quint32> findEntry(quint32 dirOffset, const ResourceId* id) const;
    std::optional<QByteArray> resourceData(const ResourceId* type, const ResourceId* name) const;
    bool nameMatches(quint32 nameField, const ResourceId& id) const;
    std::optional<quint16> u16(qint64 offset) const;
    std::optional<quint32> u32(qint64 offset) const;

    std::shared_ptr<QFile> m_file; // keeps a memory mapping of the file alive
    QByteArray m_bytes;
    QList<Section> m_sections;
    bool m_is64 = false;
    quint16 m_machine = 0;
    quint32 m_timeDateStamp = 0;
    quint32 m_resourceRva = 0;
    quint32 m_resourceSize = 0;
    qsizetype m_resourceOffset = -1; // file offset of the resource directory
};

} // namespace quillon::pe
