#include "app/common/version_info.h"

#include <QtEndian>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace quillon::pe {

namespace {

constexpr quint32 FixedInfoSignature = 0xFEEF04BDu;
constexpr int MaxDepth = 4; // VS_VERSIONINFO > StringFileInfo > table > string

qsizetype align4(qsizetype offset) {
    return (offset + 3) & ~qsizetype(3);
}

char16_t asciiFolded(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

class Reader {
public:
    explicit Reader(const QByteArray& data) : m_data(data) {}

    std::optional<quint16> u16(qsizetype at) const {
        if (at < 0 || at + 2 > m_data.size())
            return std::nullopt;
        const auto* p = reinterpret_cast<const uchar*>(m_data.constData()) + at;
        return quint16(p[0] | (p[1] << 8));
    }
    std::optional<quint32> u32(qsizetype at) const {
        const auto low = u16(at);
        const auto high = u16(at + 2);
        if (!low || !high)
            return std::nullopt;
        return quint32(*low) | (quint32(*high) << 16);
    }
    // Length in characters of the UTF-16 text from at up to a NUL or end; position of the first
    // unit after the NUL.
    qsizetype textLength(qsizetype at, qsizetype end, qsizetype* after) const {
        end = std::min(end, m_data.size());
        const auto* p = reinterpret_cast<const uchar*>(m_data.constData());
        qsizetype i = at;
        for (; i + 2 <= end; i += 2) {
            if (p[i] == 0 && p[i + 1] == 0) {
                *after = i + 2;
                return (i - at) / 2;
            }
        }
        *after = i;
        return (i - at) / 2;
    }
    // The length characters at at, decoded straight into the string's buffer.
    QString text(qsizetype at, qsizetype length) const {
        if (length <= 0)
            return {};
        QString out(length, Qt::Uninitialized);
        qFromLittleEndian<char16_t>(m_data.constData() + at, length, out.data());
        return out;
    }
    // UTF-16 text from at up to a NUL or end.
    QString textUpTo(qsizetype at, qsizetype end) const {
        qsizetype after = 0;
        return text(at, textLength(at, end, &after));
    }
    // Whether the length characters at at equal the ASCII name, ASCII letters folded when
    // caseSensitive is false. Text outside ASCII takes Qt's full case-insensitive comparison.
    bool textEquals(qsizetype at, qsizetype length, QLatin1StringView name, bool caseSensitive) const {
        if (length != name.size())
            return false;
        const auto* p = reinterpret_cast<const uchar*>(m_data.constData()) + at;
        for (qsizetype i = 0; i < length; ++i) {
            const char16_t c = char16_t(p[2 * i] | (p[2 * i + 1] << 8));
            if (c >= 128) {
                return caseSensitive ? false : text(at, length).compare(name, Qt::CaseInsensitive) == 0;
            }
            const char16_t n = char16_t(uchar(name[i].toLatin1()));
            if (c == n)
                continue;
            if (caseSensitive || asciiFolded(c) != asciiFolded(n))
                return false;
        }
        return true;
    }

private:
    const QByteArray& m_data;
};

// One node of the tree: wLength, wValueLength, wType, key, value, children.
// The key stays in the data until someone needs it as a string.
struct Node {
    qsizetype keyStart = 0;
    qsizetype keyLength = 0; // in characters
    qsizetype valueStart = 0;
    qsizetype valueLength = 0; // in the unit wType gives: bytes for binary, characters for text
    bool isText = false;
    qsizetype childrenStart = 0;
    qsizetype end = 0;
};

std::optional<Node> readNode(const Reader& reader, qsizetype at, qsizetype parentEnd) {
    const auto length = reader.u16(at);
    const auto valueLength = reader.u16(at + 2);
    const auto type = reader.u16(at + 4);
    if (!length || !valueLength || !type || *length < 6)
        return std::nullopt;
    Node node;
    // A length that overruns the parent is cut to it: some tools write sloppy lengths.
    node.end = std::min(at + qsizetype(*length), parentEnd);
    qsizetype afterKey = 0;
    node.keyStart = at + 6;
    node.keyLength = reader.textLength(node.keyStart, node.end, &afterKey);
    node.valueStart = align4(afterKey);
    node.valueLength = *valueLength;
    node.isText = *type == 1;
    const qsizetype valueBytes = node.isText ? node.valueLength * 2 : node.valueLength;
    node.childrenStart = std::min(align4(node.valueStart + valueBytes), node.end);
    return node;
}

template <typename Visit> void forEachChild(const Reader& reader, const Node& parent, Visit visit) {
    qsizetype at = parent.childrenStart;
    while (at + 6 <= parent.end) {
        const auto child = readNode(reader, at, parent.end);
        if (!child)
            return;
        visit(*child);
        const qsizetype next = align4(child->end);
        if (next <= at)
            return;
        at = next;
    }
}

} // namespace

QString Translation::blockName() const {
    return u"%1%2"_s.arg(language, 4, 16, QLatin1Char('0')).arg(codePage, 4, 16, QLatin1Char('0')).toUpper();
}

QString VersionInfo::stringValue(const QString& block, const QString& key) const {
    const auto table = stringTables.constFind(block.toUpper());
    if (table == stringTables.cend())
        return {};
    for (auto it = table->cbegin(); it != table->cend(); ++it) {
        if (it.key().compare(key, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return {};
}

std::optional<VersionInfo> ParseVersionInfo(const QByteArray& data) {
    const Reader reader(data);
    const auto root = readNode(reader, 0, data.size());
    if (!root || !reader.textEquals(root->keyStart, root->keyLength, "VS_VERSION_INFO"_L1, true))
        return std::nullopt;
    VersionInfo info;
    if (root->valueLength >= 52 && reader.u32(root->valueStart) == FixedInfoSignature &&
        root->valueStart + 52 <= root->end) {
        const qsizetype v = root->valueStart;
        const quint32 fileMs = reader.u32(v + 8).value_or(0);
        const quint32 fileLs = reader.u32(v + 12).value_or(0);
        const quint32 productMs = reader.u32(v + 16).value_or(0);
        const quint32 productLs = reader.u32(v + 20).value_or(0);
        info.hasFixedInfo = true;
        info.fileVersion[0] = quint16(fileMs >> 16);
        info.fileVersion[1] = quint16(fileMs & 0xFFFF);
        info.fileVersion[2] = quint16(fileLs >> 16);
        info.fileVersion[3] = quint16(fileLs & 0xFFFF);
        info.productVersion[0] = quint16(productMs >> 16);
        info.productVersion[1] = quint16(productMs & 0xFFFF);
        info.productVersion[2] = quint16(productLs >> 16);
        info.productVersion[3] = quint16(productLs & 0xFFFF);
    }

    // The tree has a fixed shape, so the nesting below is the depth limit.
    static_assert(MaxDepth == 4);
    forEachChild(reader, *root, [&](const Node& section) {
        if (reader.textEquals(section.keyStart, section.keyLength, "StringFileInfo"_L1, false)) {
            forEachChild(reader, section, [&](const Node& table) {
                QHash<QString, QString>& strings =
                    info.stringTables[reader.text(table.keyStart, table.keyLength).toUpper()];
                forEachChild(reader, table, [&](const Node& entry) {
                    QString key = reader.text(entry.keyStart, entry.keyLength);
                    if (strings.contains(key))
                        return;
                    // The stated length is often in bytes instead of characters; the value
                    // ends at its NUL or at the end of its node, whichever comes first.
                    strings.emplace(std::move(key), entry.valueLength == 0
                                                        ? QString()
                                                        : reader.textUpTo(entry.valueStart, entry.end));
                });
            });
        } else if (reader.textEquals(section.keyStart, section.keyLength, "VarFileInfo"_L1, false)) {
            forEachChild(reader, section, [&](const Node& var) {
                if (!reader.textEquals(var.keyStart, var.keyLength, "Translation"_L1, false) ||
                    !info.translations.isEmpty())
                    return;
                const qsizetype end = std::min(var.valueStart + var.valueLength, var.end);
                for (qsizetype at = var.valueStart; at + 4 <= end; at += 4) {
                    const auto pair = reader.u32(at);
                    if (!pair)
                        break;
                    info.translations.append({quint16(*pair & 0xFFFF), quint16(*pair >> 16)});
                }
            });
        }
    });
    return info;
}

} // namespace quillon::pe
