#include "ui/web_links.h"

#include <QDesktopServices>
#include <QUrl>

#include "app/locales.h"
#include "app/settings_values.h"
#include "inventory/website_links.h"

namespace quillon::ui {

bool openWebAddress(const QString& address) {
    if (!isOpenableWebAddress(address))
        return false;
    return QDesktopServices::openUrl(QUrl(address.trimmed(), QUrl::StrictMode));
}

QString websitePageFor(const SettingValues& settings, const QString& websiteId) {
    return websiteIdPageUrl(websiteId, SiteAddresses::fromSettings(settings),
                            isRussianLocale(UserDefaultLcid()));
}

} // namespace quillon::ui
