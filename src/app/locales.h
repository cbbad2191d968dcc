#pragma once
// The locales the program knows: locale identifier, the three-letter short name Windows gives
// it, and the POSIX name that stands for it on Linux. Language files name their language by
// the short name; the saved choice (`Language`/`CurrentLng`) is a short name too.
#include <QLatin1String>
#include <QString>

#include <span>

namespace quillon {

struct LocaleInfo {
    quint32 lcid;
    QLatin1String shortName;   // as Windows abbreviates the locale ("DEU", "ENU", "ENG")
    QLatin1String posixName;   // "de_DE"
    QLatin1String englishName; // "German (Germany)"
    // The locale a bare POSIX language ("de") stands for.
    bool primary;
};

// In Windows' enumeration order (ascending identifier).
std::span<const LocaleInfo> knownLocales();

// The first locale whose short name equals shortName exactly (case-sensitive); 0 when none.
// "ENG" is English (United Kingdom), 2057; "ENU" is English (United States), 1033.
quint32 LcidFromShortName(const QString& shortName);
// Empty when the identifier is not known.
QString LocaleShortName(quint32 lcid);

// A POSIX locale name ("de_CH.UTF-8", "ru_RU@latin", "pt") as a locale identifier: the exact
// language and territory when known, else the language's primary locale; "C", "POSIX", empty
// and unknown languages give 1033.
quint32 lcidFromPosixLocale(const QString& posixName);
// The first non-empty of LC_ALL, LC_MESSAGES and LANG decides, as the C library would.
quint32 userDefaultLcidFrom(const QString& lcAll, const QString& lcMessages, const QString& lang);
// The user's default locale: the environment variables above, else the system's locale
// (Windows, where those variables are normally unset).
quint32 UserDefaultLcid();

} // namespace quillon
