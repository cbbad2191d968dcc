#include "inventory/website_links.h"

#include <QUrl>

#include "app/settings_values.h"
#include "inventory/plugin_database.h"

using namespace Qt::StringLiterals;

namespace quillon {

SiteAddresses SiteAddresses::fromSettings(const SettingValues& values) {
    return {values.siteCatalogue, values.siteCatalogueRu, values.siteForum};
}

bool isRussianLocale(quint32 lcid) {
    return lcid == 1049 || lcid == 2073;
}

QString catalogueLanguageTag(quint32 lcid) {
    return isRussianLocale(lcid) ? u"ru"_s : u"en"_s;
}

QString websiteIdPageUrl(const QString& websiteId, const SiteAddresses& sites, bool russian) {
    const QString id = websiteId.trimmed();
    if (id.isEmpty())
        return {};
    const QString target = QString::fromLatin1(QUrl::toPercentEncoding(websiteIdTarget(id), "#"));
    switch (classifyWebsiteId(id)) {
    case WebsiteIdKind::ForumTopic:
        return sites.forum + "board/viewtopic.php?t="_L1 + target;
    case WebsiteIdKind::ForumPost:
        return sites.forum + "board/viewtopic.php?p="_L1 + target;
    case WebsiteIdKind::Catalogue:
        break;
    }
    return (russian ? sites.catalogueRu : sites.catalogue) + "plugring/"_L1 + target + ".html"_L1;
}

QString itemDetailsUrl(const QString& catalogueBase, const QString& websiteId, const QString& languageTag) {
    return catalogueBase + "get_plugin_details.php?id="_L1 +
           QString::fromLatin1(QUrl::toPercentEncoding(websiteId.trimmed())) + "&lang="_L1 + languageTag;
}

bool isOpenableWebAddress(const QString& text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == "http"_L1 || scheme == "https"_L1) && !url.host().isEmpty();
}

} // namespace quillon
