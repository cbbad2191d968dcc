#include "app/locales.h"

#include <QLocale>
#include <QtGlobal>

#include <array>

namespace quillon {

namespace {

using L = QLatin1String;

constexpr std::array kLocales{
    LocaleInfo{1025, L("ARA"), L("ar_SA"), L("Arabic (Saudi Arabia)"), true},
    LocaleInfo{1026, L("BGR"), L("bg_BG"), L("Bulgarian"), true},
    LocaleInfo{1027, L("CAT"), L("ca_ES"), L("Catalan"), true},
    LocaleInfo{1028, L("CHT"), L("zh_TW"), L("Chinese (Taiwan)"), false},
    LocaleInfo{1029, L("CSY"), L("cs_CZ"), L("Czech"), true},
    LocaleInfo{1030, L("DAN"), L("da_DK"), L("Danish"), true},
    LocaleInfo{1031, L("DEU"), L("de_DE"), L("German (Germany)"), true},
    LocaleInfo{1032, L("ELL"), L("el_GR"), L("Greek"), true},
    LocaleInfo{1033, L("ENU"), L("en_US"), L("English (United States)"), true},
    LocaleInfo{1035, L("FIN"), L("fi_FI"), L("Finnish"), true},
    LocaleInfo{1036, L("FRA"), L("fr_FR"), L("French (France)"), true},
    LocaleInfo{1037, L("HEB"), L("he_IL"), L("Hebrew"), true},
    LocaleInfo{1038, L("HUN"), L("hu_HU"), L("Hungarian"), true},
    LocaleInfo{1039, L("ISL"), L("is_IS"), L("Icelandic"), true},
    LocaleInfo{1040, L("ITA"), L("it_IT"), L("Italian (Italy)"), true},
    LocaleInfo{1041, L("JPN"), L("ja_JP"), L("Japanese"), true},
    LocaleInfo{1042, L("KOR"), L("ko_KR"), L("Korean"), true},
    LocaleInfo{1043, L("NLD"), L("nl_NL"), L("Dutch (Netherlands)"), true},
    LocaleInfo{1044, L("NOR"), L("nb_NO"), L("Norwegian (Bokmal)"), true},
    LocaleInfo{1045, L("PLK"), L("pl_PL"), L("Polish"), true},
    LocaleInfo{1046, L("PTB"), L("pt_BR"), L("Portuguese (Brazil)"), true},
    LocaleInfo{1048, L("ROM"), L("ro_RO"), L("Romanian"), true},
    LocaleInfo{1049, L("RUS"), L("ru_RU"), L("Russian (Russia)"), true},
    LocaleInfo{1050, L("HRV"), L("hr_HR"), L("Croatian"), true},
    LocaleInfo{1051, L("SKY"), L("sk_SK"), L("Slovak"), true},
    LocaleInfo{1052, L("SQI"), L("sq_AL"), L("Albanian"), true},
    LocaleInfo{1053, L("SVE"), L("sv_SE"), L("Swedish (Sweden)"), true},
    LocaleInfo{1054, L("THA"), L("th_TH"), L("Thai"), true},
    LocaleInfo{1055, L("TRK"), L("tr_TR"), L("Turkish"), true},
    LocaleInfo{1056, L("URD"), L("ur_PK"), L("Urdu"), true},
    LocaleInfo{1057, L("IND"), L("id_ID"), L("Indonesian"), true},
    LocaleInfo{1058, L("UKR"), L("uk_UA"), L("Ukrainian"), true},
    LocaleInfo{1059, L("BEL"), L("be_BY"), L("Belarusian"), true},
    LocaleInfo{1060, L("SLV"), L("sl_SI"), L("Slovenian"), true},
    LocaleInfo{1061, L("ETI"), L("et_EE"), L("Estonian"), true},
    LocaleInfo{1062, L("LVI"), L("lv_LV"), L("Latvian"), true},
    LocaleInfo{1063, L("LTH"), L("lt_LT"), L("Lithuanian"), true},
    LocaleInfo{1065, L("FAR"), L("fa_IR"), L("Persian"), true},
    LocaleInfo{1066, L("VIT"), L("vi_VN"), L("Vietnamese"), true},
    LocaleInfo{1067, L("HYE"), L("hy_AM"), L("Armenian"), true},
    LocaleInfo{1069, L("EUQ"), L("eu_ES"), L("Basque"), true},
    LocaleInfo{1071, L("MKI"), L("mk_MK"), L("Macedonian"), true},
    LocaleInfo{1078, L("AFK"), L("af_ZA"), L("Afrikaans"), true},
    LocaleInfo{1079, L("KAT"), L("ka_GE"), L("Georgian"), true},
    LocaleInfo{1080, L("FOS"), L("fo_FO"), L("Faroese"), true},
    LocaleInfo{1081, L("HIN"), L("hi_IN"), L("Hindi"), true},
    LocaleInfo{1086, L("MSL"), L("ms_MY"), L("Malay"), true},
    LocaleInfo{1087, L("KKZ"), L("kk_KZ"), L("Kazakh"), true},
    LocaleInfo{1089, L("SWK"), L("sw_KE"), L("Swahili"), true},
    LocaleInfo{1110, L("GLC"), L("gl_ES"), L("Galician"), true},
    LocaleInfo{2049, L("ARI"), L("ar_IQ"), L("Arabic (Iraq)"), false},
    LocaleInfo{2052, L("CHS"), L("zh_CN"), L("Chinese (Simplified)"), true},
    LocaleInfo{2055, L("DES"), L("de_CH"), L("German (Switzerland)"), false},
    LocaleInfo{2057, L("ENG"), L("en_GB"), L("English (United Kingdom)"), false},
    LocaleInfo{2058, L("ESM"), L("es_MX"), L("Spanish (Mexico)"), false},
    LocaleInfo{2060, L("FRB"), L("fr_BE"), L("French (Belgium)"), false},
    LocaleInfo{2064, L("ITS"), L("it_CH"), L("Italian (Switzerland)"), false},
    LocaleInfo{2067, L("NLB"), L("nl_BE"), L("Dutch (Belgium)"), false},
    LocaleInfo{2068, L("NON"), L("nn_NO"), L("Norwegian (Nynorsk)"), true},
    LocaleInfo{2070, L("PTG"), L("pt_PT"), L("Portuguese (Portugal)"), false},
    LocaleInfo{2073, L("RUM"), L("ru_MD"), L("Russian (Moldova)"), false},
    LocaleInfo{2077, L("SVF"), L("sv_FI"), L("Swedish (Finland)"), false},
    LocaleInfo{3076, L("ZHH"), L("zh_HK"), L("Chinese (Hong Kong)"), false},
    LocaleInfo{3079, L("DEA"), L("de_AT"), L("German (Austria)"), false},
    LocaleInfo{3081, L("ENA"), L("en_AU"), L("English (Australia)"), false},
    LocaleInfo{3082, L("ESN"), L("es_ES"), L("Spanish (Spain)"), true},
    LocaleInfo{3084, L("FRC"), L("fr_CA"), L("French (Canada)"), false},
    LocaleInfo{4100, L("ZHI"), L("zh_SG"), L("Chinese (Singapore)"), false},
    LocaleInfo{4103, L("DEL"), L("de_LU"), L("German (Luxembourg)"), false},
    LocaleInfo{4105, L("ENC"), L("en_CA"), L("English (Canada)"), false},
    LocaleInfo{4108, L("FRS"), L("fr_CH"), L("French (Switzerland)"), false},
    LocaleInfo{5129, L("ENZ"), L("en_NZ"), L("English (New Zealand)"), false},
    LocaleInfo{6153, L("ENI"), L("en_IE"), L("English (Ireland)"), false},
    LocaleInfo{7177, L("ENS"), L("en_ZA"), L("English (South Africa)"), false},
};

constexpr quint32 kFallbackLcid = 1033;

} // namespace

std::span<const LocaleInfo> knownLocales() {
    return kLocales;
}

quint32 LcidFromShortName(const QString& shortName) {
    for (const LocaleInfo& locale : kLocales) {
        if (shortName == locale.shortName)
            return locale.lcid;
    }
    return 0;
}

QString LocaleShortName(quint32 lcid) {
    for (const LocaleInfo& locale : kLocales) {
        if (locale.lcid == lcid)
            return locale.shortName;
    }
    return {};
}

quint32 lcidFromPosixLocale(const QString& posixName) {
    // language[_TERRITORY][.codeset][@modifier]; the Windows-style "de-DE" is taken as well.
    QString name = posixName.trimmed();
    for (const QChar end : {QLatin1Char('.'), QLatin1Char('@')}) {
        if (const qsizetype at = name.indexOf(end); at >= 0)
            name.truncate(at);
    }
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    const qsizetype underscore = name.indexOf(QLatin1Char('_'));
    QString language = (underscore < 0 ? name : name.left(underscore)).toLower();
    const QString territory = underscore < 0 ? QString() : name.mid(underscore + 1).toUpper();
    if (language.isEmpty() || language == QLatin1String("c") || language == QLatin1String("posix"))
        return kFallbackLcid;
    if (language == QLatin1String("no")) // the old name of Norwegian Bokmal
        language = QStringLiteral("nb");

    const QString exact = language + QLatin1Char('_') + territory;
    for (const LocaleInfo& locale : kLocales) {
        if (locale.posixName == exact)
            return locale.lcid;
    }
    const QString languagePrefix = language + QLatin1Char('_');
    for (const LocaleInfo& locale : kLocales) {
        if (locale.primary && locale.posixName.startsWith(languagePrefix))
            return locale.lcid;
    }
    return kFallbackLcid;
}

quint32 userDefaultLcidFrom(const QString& lcAll, const QString& lcMessages, const QString& lang) {
    for (const QString* value : {&lcAll, &lcMessages, &lang}) {
        if (!value->trimmed().isEmpty())
            return lcidFromPosixLocale(*value);
    }
    return kFallbackLcid;
}

quint32 UserDefaultLcid() {
    const QString lcAll = qEnvironmentVariable("LC_ALL");
    const QString lcMessages = qEnvironmentVariable("LC_MESSAGES");
    const QString lang = qEnvironmentVariable("LANG");
    if (!lcAll.trimmed().isEmpty() || !lcMessages.trimmed().isEmpty() || !lang.trimmed().isEmpty())
        return userDefaultLcidFrom(lcAll, lcMessages, lang);
    return lcidFromPosixLocale(QLocale::system().name());
}

} // namespace quillon
