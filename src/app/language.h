#pragma once
// The user-interface language: the loaded language file (`LanguageStore`), the text lookup
// every caption and message goes through, and the entries of the language menu.
//
// A language file is 8-bit INI text in the code page named by its own `Language`/`Codepage`.
// The store keeps the raw bytes (one character per byte); `Trim2` reinterprets them in that
// code page when a text is taken, so any file shows correctly whatever the system's code page.
#include <QList>
#include <QString>

#include <optional>

#include "app/ini_document.h"

namespace quillon {

// The values put in place of "%s", "%s1" and "%s2"; a placeholder without a value stays.
struct Placeholders {
    std::optional<QString> s;
    std::optional<QString> s1;
    std::optional<QString> s2;
};

struct LanguageMenuEntry {
    QString LngNameEng;
    QString LngName; // decoded from the file's code page
    QString LngShortID;
    quint32 LCID = 0; // 0: the external file
    bool checked = false;
    bool external = false;

    // "German (Deutsch)\tDEU"; the external file: "Quillon.lng\tLNG".
    QString caption() const;
};

class Language {
public:
    static constexpr auto kBuiltInDir = ":/languages";

    // programDir and programBaseName locate the external file programBaseName + ".lng";
    // builtInDir holds the built-in files "LNG_" + LCID + ".lng".
    explicit Language(QString programDir = {}, QString programBaseName = {},
                      QString builtInDir = QString::fromLatin1(kBuiltInDir));

    // "0" loads the external file; otherwise a locale identifier in decimal, whose built-in
    // file is loaded, or English when there is none. False when the external file was asked
    // for but could not be read: English is loaded instead and the choice is not external.
    bool LoadLanguage(const QString& lngCode);
    // Start-up's choice: the external file when it exists, else the saved short name
    // (`CurrentLng`) as a locale, else the user's default locale.
    void loadStartLanguage(const QString& currentLng);

    // The file's bytes of input read in the language's code page, trimmed. Text that cannot be
    // converted is given back trimmed as it stands.
    QString Trim2(const QString& input) const;
    // (section, key) of the loaded file, decoded; englishDefault when the key is missing.
    QString text(const QString& section, const QString& key, const QString& englishDefault) const;
    // text() with its placeholders replaced.
    QString format(const QString& section, const QString& key, const QString& englishDefault,
                   const Placeholders& values) const;
    // Every "%s1", "%s2" and "%s" (any letter case) replaced in one pass, so "%s1" is never
    // taken for "%s" followed by "1" and an inserted value is never replaced again.
    static QString ReplacePlaceholders(const QString& text, const Placeholders& values);

    // The update list's three state texts of the loaded language.
    const QString& statusOk() const { return m_statusOk; }
    const QString& statusUpdate() const { return m_statusUpdate; }
    const QString& statusUnknown() const { return m_statusUnknown; }

    // Upper-case `LngShortID` ("ENG" when the file has none).
    const QString& currentShortName() const { return m_shortName; }
    // The locale of the short name, or the user's default locale when the short name is
    // empty; 0 for a short name no locale has.
    quint32 currentLcid() const { return m_lcid; }
    // What the language button shows: the short name, or "LNG" for the external file.
    QString buttonCaption() const;
    // Set once the external file was loaded; stays set for the life of the program.
    bool ExternalLanguage() const { return m_external; }
    // The file that was loaded: a resource path or the external file's path.
    const QString& loadedFile() const { return m_loadedFile; }

    QString externalFilePath() const;
    bool externalFileExists() const;

    // The built-in languages sorted by English name (letter case ignored), then the external
    // file when it exists. A built-in entry is checked when it is the current language and no
    // external file exists; the external entry is always checked.
    QList<LanguageMenuEntry> menuEntries() const;

    const IniDocument& LanguageStore() const { return m_store; }

private:
    bool loadFile(const QString& path);
    void afterLoad();

    QString m_programDir;
    QString m_programBaseName;
    QString m_builtInDir;
    IniDocument m_store{QStringLiteral("language.ini"), IniDocument::Encoding::Latin1};
    QByteArray m_codec; // decoder name of the loaded file's code page
    QString m_loadedFile;
    QString m_shortName = QStringLiteral("ENG");
    quint32 m_lcid = 0;
    bool m_external = false;          // ever loaded the external file
    bool m_currentIsExternal = false; // the loaded file is the external one
    QString m_statusOk;
    QString m_statusUpdate;
    QString m_statusUnknown;
};

// The decoder name of a Windows code page ("1251" -> "windows-1251", "936" -> "GBK");
// windows-1252 for anything non-numeric or unknown.
QByteArray codecForCodepage(const QString& codepage);
// The bytes of a Latin-1 store value (one character per byte) read in that code page, with
// surrounding blanks removed; nullopt when the text holds other characters or the bytes are
// not valid in the code page.
std::optional<QString> decodeCodepageText(const QString& latin1Text, const QByteArray& codec);

} // namespace quillon
