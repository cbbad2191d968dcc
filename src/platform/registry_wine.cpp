#include "platform/registry_wine.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include "platform/regular_file.h"

using namespace Qt::StringLiterals;

namespace quillon::platform {
namespace {

constexpr int kMaxLinkHops = 8;

std::string fold(QStringView text) {
    return text.toString().toCaseFolded().toStdString();
}

std::vector<QString> splitKeyPath(QStringView path) {
    std::vector<QString> parts;
    for (const QStringView part : path.split(u'\\', Qt::SkipEmptyParts))
        parts.push_back(part.toString());
    return parts;
}

std::string foldedKeyPath(QStringView path) {
    QString joined;
    for (const QString& part : splitKeyPath(path)) {
        if (!joined.isEmpty())
            joined += u'\\';
        joined += part;
    }
    return fold(joined);
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Reads escaped text up to the unescaped terminator (consumed), the way wineserver reads it back:
// C escapes, \xN..NNNN (one UTF-16 code unit), octal \N..NNN, and "\c" for any other c.
bool unescapeUntil(QStringView s, qsizetype& i, char16_t terminator, QString& out) {
    while (i < s.size()) {
        const char16_t c = s[i].unicode();
        if (c == terminator) {
            ++i;
            return true;
        }
        if (c != u'\\') {
            out += s[i++];
            continue;
        }
        if (++i >= s.size())
            return false;
        const char16_t e = s[i].unicode();
        ++i;
        switch (e) {
        case u'a':
            out += QChar(u'\a');
            break;
        case u'b':
            out += QChar(u'\b');
            break;
        case u'e':
            out += QChar(char16_t(0x1b));
            break;
        case u'f':
            out += QChar(u'\f');
            break;
        case u'n':
            out += QChar(u'\n');
            break;
        case u'r':
            out += QChar(u'\r');
            break;
        case u't':
            out += QChar(u'\t');
            break;
        case u'v':
            out += QChar(u'\v');
            break;
        case u'x': {
            unsigned value = 0;
            for (int n = 0; n < 4 && i < s.size() && hexDigit(s[i]) >= 0; ++n, ++i)
                value = value * 16 + static_cast<unsigned>(hexDigit(s[i]));
            out += QChar(static_cast<char16_t>(value));
            break;
        }
        default:
            if (e >= u'0' && e <= u'7') {
                unsigned value = e - u'0';
                for (int n = 1; n < 3 && i < s.size() && s[i] >= u'0' && s[i] <= u'7'; ++n, ++i)
                    value = value * 8 + (s[i].unicode() - u'0');
                out += QChar(static_cast<char16_t>(value));
            } else {
                out += QChar(e);
            }
        }
    }
    return false;
}

// "hex:01,02,\" data (continuations already joined); nullopt on anything else.
std::optional<QByteArray> parseHexBytes(QStringView data) {
    QByteArray bytes;
    for (QStringView item : data.split(u',')) {
        item = item.trimmed();
        if (item.isEmpty())
            continue;
        if (item.size() > 2 || hexDigit(item[0]) < 0 || (item.size() == 2 && hexDigit(item[1]) < 0))
            return std::nullopt;
        int value = hexDigit(item[0]);
        if (item.size() == 2)
            value = value * 16 + hexDigit(item[1]);
        bytes.append(static_cast<char>(value));
    }
    return bytes;
}

QString utf16LeText(const QByteArray& bytes) {
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[i]);
        const auto hi = static_cast<unsigned char>(bytes[i + 1]);
        text += QChar(static_cast<char16_t>(lo | (hi << 8)));
    }
    while (text.endsWith(QChar(u'\0')))
        text.chop(1);
    return text;
}

// The link target in the same hive, relative like every stored key path.
QString relativeLinkTarget(const QString& target) {
    static const QString machine = u"\\Registry\\Machine\\"_s;
    static const QString user = u"\\Registry\\User\\"_s;
    if (target.startsWith(machine, Qt::CaseInsensitive))
        return target.mid(machine.size());
    if (target.startsWith(user, Qt::CaseInsensitive)) {
        const qsizetype sidEnd = target.indexOf(u'\\', user.size());
        return sidEnd < 0 ? QString() : target.mid(sidEnd + 1);
    }
    return {};
}

struct ParsedValue {
    RegistryValue value;
    QString linkTarget;
};

std::optional<ParsedValue> parseData(QStringView data) {
    ParsedValue parsed;
    RegistryValue& value = parsed.value;
    if (data.startsWith(u'"')) {
        QString text;
        qsizetype i = 1;
        if (!unescapeUntil(data, i, u'"', text))
            return std::nullopt;
        value.type = RegistryValue::Type::String;
        value.text = text.toStdString();
        return parsed;
    }
    if (data.startsWith(u"str(")) {
        const qsizetype close = data.indexOf(u"):\"");
        if (close < 0)
            return std::nullopt;
        bool ok = false;
        const int kind = data.mid(4, close - 4).toInt(&ok, 16);
        QString text;
        qsizetype i = close + 3;
        if (!ok || !unescapeUntil(data, i, u'"', text))
            return std::nullopt;
        value.type = kind == 1   ? RegistryValue::Type::String
                     : kind == 2 ? RegistryValue::Type::ExpandString
                                 : RegistryValue::Type::Other;
        value.text = text.toStdString();
        return parsed;
    }
    if (data.startsWith(u"dword:")) {
        const QStringView digits = data.mid(6).trimmed();
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.size() > 8)
            return std::nullopt;
        value.type = RegistryValue::Type::Dword;
        value.dword = number;
        return parsed;
    }
    if (data.startsWith(u"hex")) {
        int kind = 3; // REG_BINARY
        QStringView rest = data.mid(3);
        if (rest.startsWith(u'(')) {
            const qsizetype close = rest.indexOf(u')');
            bool ok = false;
            kind = close < 0 ? -1 : rest.mid(1, close - 1).toInt(&ok, 16);
            if (!ok)
                return std::nullopt;
            rest = rest.mid(close + 1);
        }
        if (!rest.startsWith(u':'))
            return std::nullopt;
        const std::optional<QByteArray> bytes = parseHexBytes(rest.mid(1));
        if (!bytes)
            return std::nullopt;
        value.type = RegistryValue::Type::Other;
        if (kind == 1 || kind == 2) {
            value.type = kind == 1 ? RegistryValue::Type::String : RegistryValue::Type::ExpandString;
            value.text = utf16LeText(*bytes).toStdString();
        } else if (kind == 4 && bytes->size() == 4) {
            value.type = RegistryValue::Type::Dword;
            for (int b = 3; b >= 0; --b)
                value.dword = (value.dword << 8) | static_cast<unsigned char>((*bytes)[b]);
        } else if (kind == 6) {
            parsed.linkTarget = utf16LeText(*bytes);
        }
        return parsed;
    }
    return std::nullopt;
}

// Physical lines with "\" continuations joined (Wine wraps long hex data that way).
QStringList logicalLines(const QString& content) {
    QStringList lines;
    QString pending;
    for (QStringView line : QStringView(content).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!pending.isEmpty())
            line = line.trimmed();
        if (line.endsWith(u'\\') && !line.endsWith(u"\\\\")) {
            pending += line.chopped(1);
            continue;
        }
        lines.append(pending + line);
        pending.clear();
    }
    if (!pending.isEmpty())
        lines.append(pending);
    return lines;
}

} // namespace

RegFile RegFile::parse(std::string_view content) {
    RegFile file;
    const QStringList lines =
        logicalLines(QString::fromUtf8(content.data(), static_cast<qsizetype>(content.size())));
    qsizetype first = 0;
    while (first < lines.size() && lines[first].trimmed().isEmpty())
        ++first;
    if (first == lines.size() || lines[first].trimmed() != u"WINE REGISTRY Version 2")
        return file;

    Key* current = nullptr;
    for (qsizetype n = first + 1; n < lines.size(); ++n) {
        const QStringView line = QStringView(lines[n]).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            QString name;
            qsizetype i = 1;
            current = nullptr;
            if (unescapeUntil(line, i, u']', name))
                current = &file.m_keys[foldedKeyPath(name)];
            continue;
        }
        if (!current)
            continue;
        QString name;
        qsizetype i = 0;
        if (line.startsWith(u'@')) {
            i = 1;
        } else if (!line.startsWith(u'"') || !unescapeUntil(line, ++i, u'"', name)) {
            continue;
        }
        if (i >= line.size() || line[i] != u'=')
            continue;
        std::optional<ParsedValue> parsed = parseData(line.mid(i + 1).trimmed());
        if (!parsed)
            continue;
        if (!parsed->linkTarget.isEmpty() && name.compare(u"SymbolicLinkValue", Qt::CaseInsensitive) == 0)
            current->linkTarget = foldedKeyPath(relativeLinkTarget(parsed->linkTarget));
        const std::string folded = fold(name);
        const auto found = current->index.find(folded);
        if (found != current->index.end()) {
            current->values[found->second].second = std::move(parsed->value);
        } else {
            current->index.emplace(folded, current->values.size());
            current->values.emplace_back(name.toStdString(), std::move(parsed->value));
        }
    }
    return file;
}

const RegFile::Key* RegFile::findExact(const std::string& foldedPath) const {
    const auto it = m_keys.find(foldedPath);
    return it == m_keys.end() ? nullptr : &it->second;
}

const RegFile::Key* RegFile::find(std::string_view keyPath) const {
    const QString path = QString::fromUtf8(keyPath.data(), static_cast<qsizetype>(keyPath.size()));
    std::vector<std::string> parts;
    for (const QString& part : splitKeyPath(path))
        parts.push_back(fold(part));
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        std::string prefix;
        bool redirected = false;
        for (std::size_t k = 0; k < parts.size() && !redirected; ++k) {
            prefix += (k ? "\\" : "") + parts[k];
            const Key* key = findExact(prefix);
            if (key && !key->linkTarget.empty()) {
                std::vector<std::string> target;
                for (const QString& part : splitKeyPath(QString::fromStdString(key->linkTarget)))
                    target.push_back(part.toStdString());
                target.insert(target.end(), parts.begin() + static_cast<std::ptrdiff_t>(k) + 1, parts.end());
                parts = std::move(target);
                redirected = true;
            }
        }
        if (!redirected)
            return parts.empty() ? nullptr : findExact(prefix);
    }
    return nullptr;
}

WineRegistry::WineRegistry(std::string userRegPath, std::string systemRegPath)
    : m_user(std::make_unique<LazyFile>()), m_system(std::make_unique<LazyFile>()) {
    m_user->path = std::move(userRegPath);
    m_system->path = std::move(systemRegPath);
}

const RegFile& WineRegistry::file(RegistryRoot root) const {
    LazyFile& lazy = root == RegistryRoot::CurrentUser ? *m_user : *m_system;
    std::call_once(lazy.once, [&lazy] {
        if (lazy.path.empty())
            return;
        // A FIFO in the prefix's place of user.reg must not stop the program for ever.
        const int fd = OpenRegularFileForReading(lazy.path);
        if (fd < 0)
            return;
        QFile in;
        if (in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            const QByteArray content = in.readAll();
            lazy.file = RegFile::parse(
                std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
        } else {
            CloseFileDescriptor(fd);
        }
    });
    return lazy.file;
}

std::optional<RegistryValue> WineRegistry::read(RegistryRoot root, std::string_view keyPath,
                                                std::string_view valueName) const {
    const RegFile::Key* key = file(root).find(keyPath);
    if (!key)
        return std::nullopt;
    const auto it =
        key->index.find(fold(QString::fromUtf8(valueName.data(), static_cast<qsizetype>(valueName.size()))));
    if (it == key->index.end())
        return std::nullopt;
    return key->values[it->second].second;
}

std::vector<std::pair<std::string, RegistryValue>> WineRegistry::values(RegistryRoot root,
                                                                        std::string_view keyPath) const {
    const RegFile::Key* key = file(root).find(keyPath);
    return key ? key->values : std::vector<std::pair<std::string, RegistryValue>>{};
}

} // namespace quillon::platform
