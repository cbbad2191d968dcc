#pragma once
// The web pages an item's database entry leads to: its catalogue page, a forum topic or a forum
// post, and which addresses from files or the network may be opened at all.
#include <QString>

namespace quillon {

struct SettingValues;

struct SiteAddresses {
    QString catalogue;   // [Sites] Catalogue, ends in "/"
    QString catalogueRu; // [Sites] CatalogueRu
    QString forum;       // [Sites] Forum
    static SiteAddresses fromSettings(const SettingValues& values);
};

// Russian systems (locale 1049 or 2073) read the catalogue's Russian mirror.
bool isRussianLocale(quint32 lcid);
// "ru" on Russian systems, else "en": the language the catalogue's details are asked in.
QString catalogueLanguageTag(quint32 lcid);

// The page of a WebsiteID: the catalogue's "/plugring/" page (its Russian mirror's when
// russian), a forum topic for digits, a forum post for "#" and digits; empty for an empty id.
QString websiteIdPageUrl(const QString& websiteId, const SiteAddresses& sites, bool russian);

// The catalogue's details of an item: its description, "|", its version history.
QString itemDetailsUrl(const QString& catalogueBase, const QString& websiteId, const QString& languageTag);

// Only an http or https address with a host may be opened for the user: text read from a
// database or a page never names a local file or another scheme to the desktop.
bool isOpenableWebAddress(const QString& text);

} // namespace quillon
