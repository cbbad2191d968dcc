#include "inventory/name_cleaning.h"

#include <QRegularExpression>

#include <algorithm>

#include "app/common/strings.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

// Phrases removed from product names, longest first where one contains another.
const QStringList& removedPhrases() {
    static const QStringList phrases = {
        u"Total Commander packer "_s,
        u"Total Commander filesystem "_s,
        u"Total Commander fs "_s,
        u"Total Commander content "_s,
        u"Total Commander lister "_s,
        u"lister plugin"_s,
        u"filesystem plugin"_s,
        u"content plugin"_s,
        u"content"_s,
        u"packer plugin"_s,
        u"WCX_"_s,
        u"WFX_"_s,
        u"WLX_"_s,
        u"WDX_"_s,
        u"WCX "_s,
        u"WFX "_s,
        u"WLX "_s,
        u"WDX "_s,
    };
    return phrases;
}

// Names that say nothing about the item.
const QStringList& genericNames() {
    static const QStringList names = {
        u"total commander"_s,
        u"tc"_s,
        u"totalcommander"_s,
        u"wincmd"_s,
        u"windows commander"_s,
        u"für total commander"_s,
        u"for total commander"_s,
        u"util"_s,
        u"utility"_s,
        u"tool"_s,
        u"app"_s,
        u"application"_s,
    };
    return names;
}

// "for" as a word: "Packer for Total Commander" loses its tail, "PlatformInfo" keeps its name.
const QRegularExpression& forWord() {
    static const QRegularExpression re(u"(?<![[:alpha:]])for(?![[:alpha:]])"_s,
                                       QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::UseUnicodePropertiesOption);
    return re;
}

const QRegularExpression& pluginWord() {
    static const QRegularExpression re(u"\\bplugin\\b"_s, QRegularExpression::CaseInsensitiveOption);
    return re;
}

const QRegularExpression& plugInWord() {
    static const QRegularExpression re(u"\\bplug-in\\b"_s, QRegularExpression::CaseInsensitiveOption);
    return re;
}

// digit "." digit "." digit: a version left over once the extension rule took the last part.
const QRegularExpression& shortVersion() {
    static const QRegularExpression re(u"^[0-9]\\.[0-9]\\.[0-9]$"_s);
    return re;
}

bool isAsciiText(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
}

char16_t asciiFolded(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

// Whether a case-insensitive search for the ASCII needle can find anything in text. Over ASCII
// text it answers exactly; other text may fold into ASCII letters, so it is always searched.
bool mayContainIgnoringCase(QStringView text, bool textIsAscii, QStringView needle) {
    if (text.size() < needle.size())
        return false;
    if (!textIsAscii)
        return true;
    for (qsizetype at = 0; at + needle.size() <= text.size(); ++at) {
        qsizetype i = 0;
        while (i < needle.size() && asciiFolded(text[at + i].unicode()) == asciiFolded(needle[i].unicode()))
            ++i;
        if (i == needle.size())
            return true;
    }
    return false;
}

// The extension without its dot; empty when the file name has none.
// What follows the last dot of the file name; one look from the end, as every caption asks it.
QStringView extensionOf(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        const QChar c = path[i];
        if (c == u'.')
            return QStringView(path).sliced(i + 1);
        if (c == u'/' || c == u'\\')
            break;
    }
    return {};
}

void dropLastIf(QString& name, QChar c) {
    if (!name.isEmpty() && name.back() == c)
        name.chop(1);
}

} // namespace

QString fileStemOf(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    return name;
}

QString CleanProductName(const QString& input, const QString& internalName, const QString& path) {
    QString name = input;

    // Most names hold none of the phrases: a plain search over ASCII text rules them out before
    // the costlier case-insensitive search and the patterns run.
    bool ascii = isAsciiText(name);
    if (mayContainIgnoringCase(name, ascii, u"for")) {
        const QRegularExpressionMatch forMatch = forWord().match(name);
        if (forMatch.hasMatch())
            name.truncate(forMatch.capturedStart());
    }

    for (const QString& phrase : removedPhrases()) {
        if (mayContainIgnoringCase(name, ascii, phrase))
            name.remove(phrase, Qt::CaseInsensitive);
    }

    if (mayContainIgnoringCase(name, ascii, u"plugin"))
        name.remove(pluginWord());
    if (mayContainIgnoringCase(name, ascii, u"plug-in"))
        name.remove(plugInWord());

    name.replace(u"  "_s, u" "_s);
    name = name.trimmed();

    for (const QChar c : {u',', u'.', u'-', u';', u':', u'('})
        dropLastIf(name, c);

    ascii = isAsciiText(name);
    if (mayContainIgnoringCase(name, ascii, u"none"))
        name.remove(u"none"_s, Qt::CaseInsensitive);

    if (name.compare(u"wincmd"_s, Qt::CaseInsensitive) == 0)
        name = internalName;

    const qsizetype cut = std::max(name.lastIndexOf(u'\\'), name.lastIndexOf(u':'));
    name = name.mid(cut + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    name = name.trimmed();

    if (!name.isEmpty() && (name.back() == u'-' || name.back() == u'_'))
        name.chop(1);

    if (genericNames().contains(name.trimmed().toLower()))
        name = fileStemOf(path);

    if (shortVersion().match(name).hasMatch() || name.size() < 3 || name.size() > 64)
        name.clear();
    return name;
}

QString CleanItemName(const QString& productName, const QString& internalName, const QString& versionPath,
                      const QString& path) {
    const QString name = productName.isEmpty() ? fileStemOf(versionPath) : productName;
    return CleanProductName(name, internalName, path);
}

QString comparedCaption(const CaptionInput& input) {
    if (input.forceUseOfFn || !input.onlineNameCorr)
        return {};
    return input.onlineName.isEmpty() ? input.cleanedName : input.onlineName;
}

QString captionKey(const QString& caption, const QString& filePath) {
    // Folded unit by unit as the case-insensitive comparison folds them; a surrogate becomes one
    // placeholder, which only makes the key coarser.
    const QStringView extension = extensionOf(filePath);
    QString key(caption.size() + extension.size() + 2, Qt::Uninitialized);
    QChar* out = key.data();
    for (const QStringView part : {QStringView(caption), extension}) {
        for (const QChar c : part) {
            if (c.unicode() < 128)
                *out++ = QChar(asciiFolded(c.unicode()));
            else
                *out++ = c.isSurrogate() ? QChar(QChar::ReplacementCharacter) : c.toCaseFolded();
        }
        *out++ = QChar(0);
    }
    return key;
}

QString ItemCaption(const CaptionInput& input, const QList<CaptionedRow>& otherRows) {
    const QString stem = fileStemOf(input.path);
    QString caption;
    if (input.forceUseOfFn) {
        caption = stem;
    } else if (input.onlineNameCorr) {
        const QString online = comparedCaption(input);
        if (!online.isEmpty()) {
            const QStringView extension = extensionOf(input.path);
            const auto sameCaption = [&](const CaptionedRow& row) {
                return row.caption.compare(online, Qt::CaseInsensitive) == 0 &&
                       extensionOf(row.filePath).compare(extension, Qt::CaseInsensitive) == 0;
            };
            const bool taken = std::any_of(otherRows.cbegin(), otherRows.cend(), sameCaption);
            if (!taken)
                caption = online;
            else if (RemoveWhitespace(stem) != RemoveWhitespace(online))
                caption = online + u" ("_s + stem + u')';
        }
    } else {
        caption = input.cleanedName;
    }
    if (caption.isEmpty())
        caption = stem;
    if (input.appendX64 && input.path.endsWith(u"64"_s))
        caption += u" (x64)"_s;
    return caption;
}

} // namespace quillon
