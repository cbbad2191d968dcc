#include "app/ini_document.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "app/common/atomic_file.h"

#include "app/common/regular_file.h"

namespace quillon {

namespace {

// A byte that is no part of valid UTF-8 is held as the lone surrogate U+DC00 + byte, which no
// valid text contains, and written back as that byte: a file in another code page survives a
// read and a write unchanged instead of turning into U+FFFD for good.
constexpr char16_t kRawByteBase = 0xDC00;

// A byte-order mark is text like any other here: the file's own was taken off before, and a
// decoder that dropped one inside a line would join the stray bytes around it into a character.
constexpr QStringConverter::Flags kKeepEveryCharacter =
    QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

QString decodeUtf8Keeping(const QByteArray& bytes) {
    QStringDecoder strict(QStringConverter::Utf8, kKeepEveryCharacter);
    const QString text = strict.decode(bytes);
    if (!strict.hasError())
        return text;
    QString out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        // Most of a file in another code page is ASCII: a decoder per character would make
        // reading it many times slower than reading valid UTF-8.
        if (lead < 0x80) {
            out += QChar(char16_t(lead));
            ++i;
            continue;
        }
        const qsizetype length = (lead & 0xE0) == 0xC0   ? 2
                                 : (lead & 0xF0) == 0xE0 ? 3
                                 : (lead & 0xF8) == 0xF0 ? 4
                                                         : 0;
        if (length > 0 && i + length <= bytes.size()) {
            QStringDecoder one(QStringConverter::Utf8, kKeepEveryCharacter);
            const QString decoded = one.decode(QByteArrayView(bytes).sliced(i, length));
            if (!one.hasError()) {
                out += decoded;
                i += length;
                continue;
            }
        }
        out += QChar(char16_t(kRawByteBase + lead));
        ++i;
    }
    return out;
}

QByteArray encodeUtf8Keeping(const QString& text) {
    const bool anyRaw = std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() >= kRawByteBase + 0x80 && c.unicode() <= kRawByteBase + 0xFF;
    });
    if (!anyRaw)
        return text.toUtf8();
    QByteArray out;
    out.reserve(text.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool pairedLow = i > 0 && text[i - 1].isHighSurrogate();
        if (c < kRawByteBase + 0x80 || c > kRawByteBase + 0xFF || pairedLow)
            continue;
        out += QStringView(text).sliced(start, i - start).toUtf8();
        out += static_cast<char>(c - kRawByteBase);
        start = i + 1;
    }
    out += QStringView(text).sliced(start).toUtf8();
    return out;
}

} // namespace

IniDocument::IniDocument(QString filePath, Encoding encoding)
    : m_filePath(std::move(filePath)), m_encoding(encoding) {}

bool IniDocument::load(QString* errorText) {
    clear();
    QFile file(m_filePath);
    if (!file.exists())
        return true;
    if (!OpenRegularFile(file)) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    setBytes(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    m_savedBytes = toBytes();
    return true;
}

void IniDocument::setBytes(const QByteArray& bytes) {
    if (m_encoding == Encoding::Latin1) {
        parse(QString::fromLatin1(bytes));
        return;
    }
    QByteArray data = bytes;
    m_byteOrderMark = data.startsWith("\xEF\xBB\xBF");
    if (m_byteOrderMark)
        data.remove(0, 3);
    parse(decodeUtf8Keeping(data));
}

void IniDocument::setText(const QString& text) {
    clear();
    parse(text);
}

void IniDocument::parse(const QString& text) {
    clear();
    // Lines are looked at as views of the text: only keys, values and other kept lines become
    // strings of their own, which is most of what reading a large file costs.
    const QStringView all(text);
    Section* current = nullptr;
    qsizetype from = 0;
    for (bool more = true; more;) {
        const qsizetype newline = all.indexOf(QLatin1Char('\n'), from);
        more = newline >= 0;
        QStringView raw = all.sliced(from, (more ? newline : all.size()) - from);
        from = newline + 1;
        if (raw.endsWith(QLatin1Char('\r')))
            raw.chop(1);
        // A byte order mark among a line's leading blanks (files joined together) is not part of
        // the line: it would hide a section's name or stick to a key, and written first it would
        // read back as the document's own mark.
        qsizetype lead = 0;
        bool mark = false;
        for (; lead < raw.size() && (raw[lead].isSpace() || raw[lead] == QChar(0xFEFF)); ++lead)
            mark = mark || raw[lead] == QChar(0xFEFF);
        if (mark)
            raw = raw.sliced(lead);
        if (!more && raw.isEmpty())
            break; // the newline that ends the last line
        const QStringView trimmed = raw.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed().toString();
            const QString lower = name.toLower();
            if (auto it = m_sectionIndex.constFind(lower); it != m_sectionIndex.cend()) {
                current = &m_sections[*it]; // a repeated section continues the first one
            } else {
                m_sections.append(Section{name, {}, {}, 0});
                m_sectionIndex.insert(lower, static_cast<int>(m_sections.size()) - 1);
                current = &m_sections.last();
            }
            continue;
        }
        Line line;
        const qsizetype eq = raw.indexOf(QLatin1Char('='));
        const QStringView key = eq > 0 ? raw.left(eq).trimmed() : QStringView();
        if (eq > 0 && !trimmed.startsWith(QLatin1Char(';')) && !key.isEmpty()) {
            line.isEntry = true;
            line.key = key.toString();
            line.value = raw.mid(eq + 1).toString();
        } else {
            if (trimmed.isEmpty())
                continue; // blank lines are layout; writing puts one between sections
            line.value = raw.toString();
        }
        if (!current) {
            m_preamble.append(line);
            continue;
        }
        current->lines.append(line);
    }
    for (Section& s : m_sections)
        reindex(s);
}

void IniDocument::reindex(Section& section) {
    section.index.clear();
    for (int i = 0; i < section.lines.size(); ++i) {
        const Line& l = section.lines[i];
        if (!l.isEntry)
            continue;
        KeyLines& lines = section.index[l.key.toLower()];
        if (lines.count++ == 0)
            lines.first = i;
    }
}

void IniDocument::compact(Section& section) {
    section.lines.removeIf([](const Line& l) { return l.removed; });
    section.removedLines = 0;
    reindex(section);
}

QString IniDocument::toText() const {
    QString out;
    auto writeLine = [&out](const Line& l) {
        if (l.isEntry)
            out += l.key + QLatin1Char('=') + l.value;
        else
            out += l.value;
        out += QLatin1String("\r\n");
    };
    for (const Line& l : m_preamble)
        writeLine(l);
    bool first = true;
    for (const Section& s : m_sections) {
        if (!first)
            out += QLatin1String("\r\n");
        first = false;
        out += QLatin1Char('[') + s.name + QLatin1String("]\r\n");
        for (const Line& l : s.lines) {
            if (!l.removed)
                writeLine(l);
        }
    }
    return out;
}

QByteArray IniDocument::toBytes() const {
    const QString text = toText();
    if (m_encoding == Encoding::Latin1)
        return text.toLatin1();
    return m_byteOrderMark ? "\xEF\xBB\xBF" + encodeUtf8Keeping(text) : encodeUtf8Keeping(text);
}

bool IniDocument::save(QString* errorText) const {
    const QByteArray bytes = toBytes();
    if (!WriteFileAtomically(m_filePath, bytes, errorText))
        return false;
    m_savedBytes = bytes;
    return true;
}

bool IniDocument::saveIfChanged(QString* errorText) const {
    if (m_savedBytes && *m_savedBytes == toBytes() && QFileInfo::exists(m_filePath))
        return true;
    return save(errorText);
}

IniDocument::Section* IniDocument::find(const QString& section) {
    auto it = m_sectionIndex.constFind(section.toLower());
    return it == m_sectionIndex.cend() ? nullptr : &m_sections[*it];
}

const IniDocument::Section* IniDocument::find(const QString& section) const {
    auto it = m_sectionIndex.constFind(section.toLower());
    return it == m_sectionIndex.cend() ? nullptr : &m_sections[*it];
}

IniDocument::Section& IniDocument::findOrAdd(const QString& section) {
    if (Section* s = find(section))
        return *s;
    m_sections.append(Section{section, {}, {}, 0});
    m_sectionIndex.insert(section.toLower(), static_cast<int>(m_sections.size()) - 1);
    return m_sections.last();
}

bool IniDocument::hasSection(const QString& section) const {
    return find(section) != nullptr;
}

bool IniDocument::hasKey(const QString& section, const QString& key) const {
    const Section* s = find(section);
    return s && s->index.contains(key.toLower());
}

QString IniDocument::value(const QString& section, const QString& key, const QString& defaultValue) const {
    const Section* s = find(section);
    if (!s)
        return defaultValue;
    auto it = s->index.constFind(key.toLower());
    return it == s->index.cend() ? defaultValue : s->lines[it->first].value;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    Section& s = findOrAdd(section);
    const QString lower = key.toLower();
    if (auto it = s.index.constFind(lower); it != s.index.cend()) {
        s.lines[it->first].value = value;
        return;
    }
    s.lines.append(Line{key, value, true});
    s.index.insert(lower, KeyLines{static_cast<int>(s.lines.size()) - 1, 1});
}

void IniDocument::removeKey(const QString& section, const QString& key) {
    Section* s = find(section);
    if (!s)
        return;
    const auto it = s->index.constFind(key.toLower());
    if (it == s->index.cend())
        return;
    const auto removeLine = [s](Line& l) {
        l.removed = true;
        l.isEntry = false;
        l.key.clear();
        l.value.clear();
        ++s->removedLines;
    };
    // Only a repeated key needs the lines after its first one looked at.
    int left = it->count;
    for (qsizetype i = it->first; left > 0 && i < s->lines.size(); ++i) {
        Line& l = s->lines[i];
        if (l.isEntry && l.key.toLower() == it.key()) {
            removeLine(l);
            --left;
        }
    }
    s->index.erase(it);
    // Compacted once half the lines are gone, so a section never holds more dead lines than
    // live ones and each removal costs a constant share of one compaction.
    if (s->removedLines > 16 && s->removedLines * 2 > s->lines.size())
        compact(*s);
}

void IniDocument::clearSection(const QString& section) {
    if (Section* s = find(section)) {
        s->lines.clear();
        s->index.clear();
        s->removedLines = 0;
    }
}

void IniDocument::removeSection(const QString& section) {
    auto it = m_sectionIndex.constFind(section.toLower());
    if (it == m_sectionIndex.cend())
        return;
    const int removed = *it;
    m_sectionIndex.erase(it);
    m_sections.removeAt(removed);
    for (int& index : m_sectionIndex) {
        if (index > removed)
            --index;
    }
}

void IniDocument::clear() {
    m_preamble.clear();
    m_sections.clear();
    m_sectionIndex.clear();
}

QStringList IniDocument::sections() const {
    QStringList names;
    names.reserve(m_sections.size());
    for (const Section& s : m_sections)
        names.append(s.name);
    return names;
}

QStringList IniDocument::keys(const QString& section) const {
    QStringList names;
    const Section* s = find(section);
    if (!s)
        return names;
    for (int i = 0; i < s->lines.size(); ++i) {
        const Line& l = s->lines[i];
        if (l.isEntry && s->index.value(l.key.toLower()).first == i)
            names.append(l.key);
    }
    return names;
}

QList<std::pair<QString, QString>> IniDocument::entries(const QString& section) const {
    QList<std::pair<QString, QString>> result;
    if (const Section* s = find(section)) {
        for (const Line& l : s->lines)
            if (l.isEntry)
                result.append({l.key, l.value});
    }
    return result;
}

} // namespace quillon
