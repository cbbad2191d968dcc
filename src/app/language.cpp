#include "app/language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "app/common/code_pages.h"
#include "app/common/regular_file.h"
#include "app/locales.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

const QString kHeader = u"Language"_s;
const QString kEnglishCode = u"1033"_s;

bool isAsciiBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Only characters that can be part of a resource name: a code like "../x" must not reach
// another resource folder.
bool isPlainCode(const QString& code) {
    return !code.isEmpty() && std::all_of(code.cbegin(), code.cend(), [](QChar c) {
        return c.isDigit() || (c >= u'A' && c <= u'Z') || c == u'_';
    });
}

} // namespace

QByteArray codecForCodepage(const QString& codepage) {
    bool ok = false;
    const uint number = codepage.trimmed().toUInt(&ok);
    QByteArray name;
    if (ok) {
        if (number == 874 || (number >= 1250 && number <= 1258))
            name = "windows-" + QByteArray::number(number);
        else if (number >= 28591 && number <= 28599)
            name = "ISO-8859-" + QByteArray::number(number - 28590);
        else if (number == 28605)
            name = "ISO-8859-15";
        else if (number == 932)
            name = "Shift_JIS";
        else if (number == 936)
            name = "GBK";
        else if (number == 949)
            name = "windows-949";
        else if (number == 950)
            name = "Big5";
        else if (number == 20866)
            name = "KOI8-R";
        else if (number == 21866)
            name = "KOI8-U";
        else if (number == 65001)
            name = "UTF-8";
    }
    if (!IsKnownCodePage(name))
        name = "windows-1252";
    return name;
}

std::optional<QString> decodeCodepageText(const QString& latin1Text, const QByteArray& codec) {
    QByteArray bytes;
    bytes.reserve(latin1Text.size());
    for (const QChar c : latin1Text) {
        if (c.unicode() > 0xFF)
            return std::nullopt; // not the bytes of a file: nothing to reinterpret
        bytes.append(static_cast<char>(c.unicode()));
    }
    // Only ASCII blanks are cut before decoding: 0x85 and 0xA0 are "..." and a lead byte in
    // some code pages, not blanks.
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isAsciiBlank(bytes[begin]))
        ++begin;
    while (end > begin && isAsciiBlank(bytes[end - 1]))
        --end;
    // Stateless: a multi-byte character cut off at the end is an error, not left pending.
    const std::optional<QString> decoded =
        DecodeCodePage(codec, QByteArrayView(bytes).sliced(begin, end - begin), true);
    if (!decoded)
        return std::nullopt;
    return decoded->trimmed();
}

QString LanguageMenuEntry::caption() const {
    if (external)
        return LngNameEng + u'\t' + LngShortID;
    return LngNameEng + u" ("_s + LngName + u")\t"_s + LngShortID;
}

Language::Language(QString programDir, QString programBaseName, QString builtInDir)
    : m_programDir(std::move(programDir)), m_programBaseName(std::move(programBaseName)),
      m_builtInDir(std::move(builtInDir)) {
    afterLoad(); // an empty store: every text is its English default
}

QString Language::externalFilePath() const {
    if (m_programDir.isEmpty() || m_programBaseName.isEmpty())
        return {};
    return QDir(m_programDir).filePath(m_programBaseName + u".lng"_s);
}

bool Language::externalFileExists() const {
    const QString path = externalFilePath();
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool Language::loadFile(const QString& path) {
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!OpenRegularFile(file))
        return false;
    QByteArray bytes = file.readAll();
    // A file saved by an editor that adds a UTF-8 mark would otherwise lose its header line.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    m_store.setBytes(bytes);
    m_loadedFile = path;
    return true;
}

bool Language::LoadLanguage(const QString& lngCode) {
    const QString code = lngCode.trimmed().toUpper();
    const auto builtIn = [this](const QString& lcid) -> QString {
        return m_builtInDir + u"/LNG_"_s + lcid + u".lng"_s;
    };
    bool ok = true;
    if (code == u"0"_s) {
        if (loadFile(externalFilePath())) {
            m_external = true;
            m_currentIsExternal = true;
            afterLoad();
            return true;
        }
        ok = false;
    } else if (isPlainCode(code) && loadFile(builtIn(code))) {
        m_currentIsExternal = false;
        afterLoad();
        return true;
    }
    m_currentIsExternal = false;
    if (!loadFile(builtIn(kEnglishCode))) {
        m_store.clear(); // no English file either: the defaults at the point of use remain
        m_loadedFile.clear();
    }
    afterLoad();
    return ok;
}

void Language::loadStartLanguage(const QString& currentLng) {
    if (externalFileExists() && LoadLanguage(u"0"_s))
        return;
    const QString shortName = currentLng.trimmed().toUpper();
    const quint32 lcid = shortName.isEmpty() ? UserDefaultLcid() : LcidFromShortName(shortName);
    // 0 (a short name no locale has) would otherwise ask for the external file.
    LoadLanguage(lcid == 0 ? kEnglishCode : QString::number(lcid));
}

void Language::afterLoad() {
    m_codec = codecForCodepage(m_store.value(kHeader, u"Codepage"_s, u"1252"_s));
    m_shortName = Trim2(m_store.value(kHeader, u"LngShortID"_s, u"ENG"_s)).toUpper();
    m_lcid = m_shortName.isEmpty() ? UserDefaultLcid() : LcidFromShortName(m_shortName);
    m_statusOk = text(u"CaptionsMainFrm"_s, u"UpdateList_OK"_s, u"OK."_s);
    m_statusUpdate = text(u"CaptionsMainFrm"_s, u"UpdateList_Update"_s, u"Update available!"_s);
    m_statusUnknown = text(u"CaptionsMainFrm"_s, u"UpdateList_Unknown"_s, u"Unknown."_s);
}

QString Language::Trim2(const QString& input) const {
    return decodeCodepageText(input, m_codec).value_or(input.trimmed());
}

QString Language::text(const QString& section, const QString& key, const QString& englishDefault) const {
    // The default is already Unicode; only the file's bytes need the code page.
    if (!m_store.hasKey(section, key))
        return englishDefault.trimmed();
    return Trim2(m_store.value(section, key));
}

QString Language::format(const QString& section, const QString& key, const QString& englishDefault,
                         const Placeholders& values) const {
    return ReplacePlaceholders(text(section, key, englishDefault), values);
}

QString Language::ReplacePlaceholders(const QString& text, const Placeholders& values) {
    QString result;
    result.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        if (text[i] == u'%' && i + 1 < n && (text[i + 1] == u's' || text[i + 1] == u'S')) {
            const QChar digit = i + 2 < n ? text[i + 2] : QChar();
            if (digit == u'1' && values.s1) {
                result += *values.s1;
                i += 3;
                continue;
            }
            if (digit == u'2' && values.s2) {
                result += *values.s2;
                i += 3;
                continue;
            }
            if (values.s) {
                result += *values.s;
                i += 2;
                continue;
            }
        }
        result += text[i];
        ++i;
    }
    return result;
}

QString Language::buttonCaption() const {
    return m_currentIsExternal ? u"LNG"_s : m_shortName;
}

QList<LanguageMenuEntry> Language::menuEntries() const {
    struct Sorted {
        QString key;
        LanguageMenuEntry entry;
    };
    QList<Sorted> builtIn;
    const bool external = externalFileExists();
    const QDir dir(m_builtInDir);
    for (const QString& name : dir.entryList({u"LNG_*"_s}, QDir::Files, QDir::Name)) {
        if (!name.startsWith(u"LNG_"_s))
            continue;
        QFile file(dir.filePath(name));
        if (!OpenRegularFile(file))
            continue;
        IniDocument doc(QString(), IniDocument::Encoding::Latin1);
        doc.setBytes(file.readAll());
        const QByteArray codec = codecForCodepage(doc.value(kHeader, u"Codepage"_s, u"1252"_s));
        const auto field = [&](const QString& key, const QString& fallback) -> QString {
            const QString raw = doc.value(kHeader, key, fallback);
            return decodeCodepageText(raw, codec).value_or(raw.trimmed());
        };
        LanguageMenuEntry entry;
        entry.LngNameEng = field(u"LngNameEng"_s, u"English"_s);
        entry.LngName = field(u"LngName"_s, u"English"_s);
        entry.LngShortID = field(u"LngShortID"_s, u"ENG"_s);
        const QString lcid = field(u"LCID"_s, kEnglishCode);
        entry.LCID = lcid.toUInt();
        entry.checked = !external && entry.LngShortID.compare(m_shortName, Qt::CaseInsensitive) == 0;
        const QString key = entry.LngNameEng + u'|' + entry.LngName + u'|' + entry.LngShortID + u'|' + lcid;
        builtIn.append({key, entry});
    }
    std::stable_sort(builtIn.begin(), builtIn.end(), [](const Sorted& a, const Sorted& b) {
        return a.key.compare(b.key, Qt::CaseInsensitive) < 0;
    });

    QList<LanguageMenuEntry> entries;
    for (const Sorted& item : builtIn)
        entries.append(item.entry);
    if (external) {
        LanguageMenuEntry entry;
        entry.LngNameEng = m_programBaseName + u".lng"_s;
        entry.LngName = entry.LngNameEng;
        entry.LngShortID = u"LNG"_s;
        entry.checked = true;
        entry.external = true;
        entries.append(entry);
    }
    return entries;
}

} // namespace quillon
