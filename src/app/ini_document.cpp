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
        const qsizetype length = lead < 0x80             ? 1
                                 : (lead & 0xE0) == 0xC0 ? 2
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
    const QStringList lines = text.split(QLatin1Char('\n'));
    Section* current = nullptr;
    for (int i = 0; i < lines.size(); ++i) {
        QString raw = lines[i];
        if (raw.endsWith(QLatin1Char('\r')))
            raw.chop(1);
        if (i == lines.size() - 1 && raw.isEmpty())
            break; // the newline that ends the last line
        const QString trimmed = raw.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed();
            const QString lower = name.toLower();
            if (auto it = m_sectionIndex.constFind(lower); it != m_sectionIndex.cend()) {
                current = &m_sections[*it]; // a repeated section continues the first one
            } else {
                m_sections.append(Section{name, {}, {}});
                m_sectionIndex.insert(lower, static_cast<int>(m_sections.size()) - 1);
                current = &m_sections.last();
            }
            continue;
        }
        Line line;
        const qsizetype eq = raw.indexOf(QLatin1Char('='));
        if (eq > 0 && !trimmed.startsWith(QLatin1Char(';')) && !raw.left(eq).trimmed().isEmpty()) {
            line.isEntry = true;
            line.key = raw.left(eq).trimmed();
            line.value = raw.mid(eq + 1);
        } else {
            if (trimmed.isEmpty())
                continue; // blank lines are layout; writing puts one between sections
            line.value = raw;
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
    section.firstIndex.clear();
    for (int i = static_cast<int>(section.lines.size()) - 1; i >= 0; --i) {
        const Line& l = section.lines[i];
        if (l.isEntry)
            section.firstIndex.insert(l.key.toLower(), i);
    }
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
        for (const Line& l : s.lines)
            writeLine(l);
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
    m_sections.append(Section{section, {}, {}});
    m_sectionIndex.insert(section.toLower(), static_cast<int>(m_sections.size()) - 1);
    return m_sections.last();
}

bool IniDocument::hasSection(const QString& section) const {
    return find(section) != nullptr;
}

bool IniDocument::hasKey(const QString& section, const QString& key) const {
    const Section* s = find(section);
    return s && s->firstIndex.contains(key.toLower());
}

QString IniDocument::value(const QString& section, const QString& key, const QString& defaultValue) const {
    const Section* s = find(section);
    if (!s)
        return defaultValue;
    auto it = s->firstIndex.constFind(key.toLower());
    return it == s->firstIndex.cend() ? defaultValue : s->lines[*it].value;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    Section& s = findOrAdd(section);
    if (auto it = s.firstIndex.constFind(key.toLower()); it != s.firstIndex.cend()) {
        s.lines[*it].value = value;
        return;
    }
    s.lines.append(Line{key, value, true});
    s.firstIndex.insert(key.toLower(), static_cast<int>(s.lines.size()) - 1);
}

void IniDocument::removeKey(const QString& section, const QString& key) {
    Section* s = find(section);
    if (!s)
        return;
    const QString lower = key.toLower();
    s->lines.removeIf([&lower](const Line& l) { return l.isEntry && l.key.toLower() == lower; });
    reindex(*s);
}

void IniDocument::clearSection(const QString& section) {
    if (Section* s = find(section)) {
        s->lines.clear();
        s->firstIndex.clear();
    }
}

void IniDocument::removeSection(const QString& section) {
    auto it = m_sectionIndex.constFind(section.toLower());
    if (it == m_sectionIndex.cend())
        return;
    m_sections.removeAt(*it);
    m_sectionIndex.clear();
    for (int i = 0; i < m_sections.size(); ++i)
        m_sectionIndex.insert(m_sections[i].name.toLower(), i);
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
        if (l.isEntry && s->firstIndex.value(l.key.toLower()) == i)
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
